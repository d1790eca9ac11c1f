// The start-up search, against a simulated unit: which ports are taken, which
// model byte goes out, and when the thread waits.

#include "plugin/BasaltProcessor.h"
#include "support/SimulatedUnit.h"

#include <gtest/gtest.h>

namespace
{
using namespace std::chrono_literals;
using Bytes = SimulatedUnit::Bytes;
using Model = SimulatedUnit::Model;

const juce::String unrelatedPort = "Midi Through Port-0";

Bytes nameQuery (juce::uint8 model, juce::uint8 checksum)
{
    return { 0xF0, 0x00, 0x01, 0x74, model, 0x0D, 0x7F, 0x7F, checksum, 0xF7 };
}

int countEvents (const juce::StringArray& events, const juce::String& prefix)
{
    int n = 0;

    for (const auto& e : events)
        n += e.startsWith (prefix) ? 1 : 0;

    return n;
}

bool isRegistered (const SimulatedUnit& unit, const juce::String& input, const BasaltProcessor& processor)
{
    for (const auto& [identifier, callback] : unit.getRegistrations())
        if (identifier == input && callback == &processor)
            return true;

    return false;
}

struct Rig
{
    explicit Rig (Model model = Model::axeFxIII) : unit (SimulatedUnit::create (model)) {}

    BasaltProcessor& makeProcessor()
    {
        processor = std::make_unique<BasaltProcessor> (unit->makePorts());
        return *processor;
    }

    bool searchAndWait()
    {
        processor->prepareToPlay (48000.0, 512);
        return processor->initMidiThread.waitForThreadToExit (5000);
    }

    std::shared_ptr<SimulatedUnit> unit;
    std::unique_ptr<BasaltProcessor> processor;
};

struct PortNameCase
{
    const char* name;
    bool isUnit;
    Model model;
};

TEST (Discovery, PortNamesMatchCaseInsensitively)
{
    const PortNameCase cases[] {
        { "Axe-Fx III MIDI Out", true, Model::axeFxIII },
        { "AXE-FX III MIDI Out", true, Model::axeFxIII },
        { "axe-fx iii", true, Model::axeFxIII },
        { "USB: Axe-Fx III Port 1", true, Model::axeFxIII },
        { "FM9 MIDI Out", true, Model::fm9 },
        { "fm9", true, Model::fm9 },
        { "Fractal Fm9 USB", true, Model::fm9 },
        { "FM-9 MIDI 1", true, Model::axeFxIII },
        { "fm-9", true, Model::axeFxIII },
        { "Axe Fx III", false, Model::axeFxIII },
        { "AxeFx III", false, Model::axeFxIII },
        { "Axe-Fx II XL+", false, Model::axeFxIII },
        { "Axe-FxIII", false, Model::axeFxIII },
        { "FM 9", false, Model::axeFxIII },
        { "FM3 MIDI Out", false, Model::axeFxIII },
        { "", false, Model::axeFxIII },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Rig rig (c.model);
        const auto otherOut = rig.unit->addOutput (unrelatedPort);
        const auto out = rig.unit->addOutput (c.name);
        const auto otherIn = rig.unit->addInput (unrelatedPort, false);
        const auto in = rig.unit->addInput (c.name);
        auto& processor = rig.makeProcessor();

        ASSERT_TRUE (rig.searchAndWait());

        const auto events = rig.unit->getEvents();
        EXPECT_EQ (events.contains ("open " + out), c.isUnit);
        EXPECT_EQ (isRegistered (*rig.unit, in, processor), c.isUnit);
        EXPECT_EQ (rig.unit->isInputEnabled (in), c.isUnit);
        EXPECT_EQ (processor.isConnected(), c.isUnit);
        EXPECT_EQ (processor.modelByte.load(), rig.unit->getModelByte());

        // An unrelated port is never touched.
        EXPECT_EQ (countEvents (events, "open " + otherOut), 0);
        EXPECT_FALSE (isRegistered (*rig.unit, otherIn, processor));
        EXPECT_FALSE (rig.unit->isInputEnabled (otherIn));

        const auto received = rig.unit->getReceived();
        ASSERT_EQ (received.size(), c.isUnit ? 1u : 0u);

        if (c.isUnit)
        {
            EXPECT_EQ (received[0].outputIdentifier, out);
        }
    }
}

struct ModelCase
{
    const char* description;
    const char* output;
    std::vector<const char*> inputs;
    Model unitModel;
    Bytes expectedQuery;
};

TEST (Discovery, InputNamesChooseTheModelByte)
{
    const auto fm9Query = nameQuery (0x12, 0x1A);
    const auto axeQuery = nameQuery (0x10, 0x18);

    const ModelCase cases[] {
        { "FM9 input", "FM9 MIDI Out", { "FM9 MIDI In" }, Model::fm9, fm9Query },
        { "fm9 input in lower case", "FM9 MIDI Out", { "fm9 usb in" }, Model::fm9, fm9Query },
        { "FM-9 input keeps the Axe-Fx III byte", "FM-9 MIDI Out", { "FM-9 MIDI In" }, Model::axeFxIII, axeQuery },
        { "Axe-Fx III input", "Axe-Fx III MIDI Out", { "Axe-Fx III MIDI In" }, Model::axeFxIII, axeQuery },
        { "FM9 then Axe-Fx III input", "FM9 MIDI Out", { "FM9 MIDI In", "Axe-Fx III MIDI In" }, Model::fm9, fm9Query },
        { "Axe-Fx III then FM9 input", "FM9 MIDI Out", { "Axe-Fx III MIDI In", "FM9 MIDI In" }, Model::fm9, fm9Query },
        { "FM9 named output alone does not count", "FM9 MIDI Out", { "Axe-Fx III MIDI In" }, Model::axeFxIII, axeQuery },
        { "FM9 on an input that is not the unit's", "Axe-Fx III MIDI Out", { "Axe-Fx III MIDI In", "FM9 Editor Port" }, Model::fm9, fm9Query },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        Rig rig (c.unitModel);
        rig.unit->addOutput (c.output);

        for (auto* input : c.inputs)
            rig.unit->addInput (input);

        auto& processor = rig.makeProcessor();
        ASSERT_TRUE (rig.searchAndWait());

        const auto received = rig.unit->getReceived();
        ASSERT_EQ (received.size(), 1u);
        EXPECT_EQ (SimulatedUnit::bytesOf (received[0].message), c.expectedQuery);
        EXPECT_EQ (processor.modelByte.load(), c.expectedQuery[4]);

        // The unit answers only a query with its own model byte.
        EXPECT_TRUE (waitUntil ([&] { return processor.isConnected(); }, 5s));
    }
}

TEST (Discovery, TheLastMatchingOutputWins)
{
    Rig rig;
    const auto first = rig.unit->addOutput ("Axe-Fx III MIDI Out");
    rig.unit->addOutput (unrelatedPort);
    const auto last = rig.unit->addOutput ("Axe-Fx III MIDI Out 2");
    rig.unit->addInput ("Axe-Fx III MIDI In");
    auto& processor = rig.makeProcessor();

    ASSERT_TRUE (rig.searchAndWait());
    EXPECT_TRUE (processor.isConnected());

    // Both were opened in list order; the first was let go when the second replaced it.
    const auto events = rig.unit->getEvents();
    const auto openFirst = events.indexOf ("open " + first), openLast = events.indexOf ("open " + last);
    const auto closeFirst = events.indexOf ("close " + first);
    ASSERT_GE (openFirst, 0);
    EXPECT_LT (openFirst, openLast);
    EXPECT_GT (closeFirst, openFirst);
    EXPECT_EQ (rig.unit->getOpenOutputCount(), 1);

    processor.getMidiOutput()->sendMessageNow (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 1));

    const auto received = rig.unit->getReceived();
    ASSERT_EQ (received.size(), 2u);

    for (const auto& r : received)
        EXPECT_EQ (r.outputIdentifier, last);
}

struct FailingOutputCase
{
    const char* description;
    bool firstOpens, lastOpens;
    bool connected;
};

TEST (Discovery, AnOutputThatFailsToOpenCountsOnlyWhenItIsTheLast)
{
    const FailingOutputCase cases[] {
        { "the last fails: no output at all", true, false, false },
        { "the first fails: the last is used", false, true, true },
        { "both fail", false, false, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        Rig rig;
        rig.unit->addOutput ("Axe-Fx III MIDI Out", c.firstOpens);
        const auto last = rig.unit->addOutput ("FM-9 MIDI Out", c.lastOpens);
        rig.unit->addInput ("Axe-Fx III MIDI In");
        auto& processor = rig.makeProcessor();

        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE (rig.searchAndWait());
        const auto elapsed = std::chrono::steady_clock::now() - start;

        EXPECT_EQ (processor.getMidiOutput() != nullptr, c.connected);
        EXPECT_EQ (processor.isConnected(), c.connected);
        EXPECT_EQ (rig.unit->getOpenOutputCount(), c.connected ? 1 : 0);

        const auto received = rig.unit->getReceived();
        ASSERT_EQ (received.size(), c.connected ? 1u : 0u);

        if (c.connected)
        {
            EXPECT_EQ (received[0].outputIdentifier, last);
        }
        else
        {
            // Nothing to ask on, so nothing to wait for.
            EXPECT_EQ (processor.awaitingStartupReply.load(), 1);
            EXPECT_LT (elapsed, 500ms);
        }
    }
}

TEST (Discovery, EveryMatchingInputDelivers)
{
    Rig rig;
    rig.unit->addOutput ("Axe-Fx III MIDI Out");
    const auto first = rig.unit->addInput ("Axe-Fx III MIDI In");
    const auto unrelated = rig.unit->addInput (unrelatedPort, false);
    const auto second = rig.unit->addInput ("FM-9 Port 2");
    auto& processor = rig.makeProcessor();

    // Already enabled, and already holding this processor's callback: neither is doubled.
    auto ports = rig.unit->makePorts();
    ports->setInputEnabled (second, true);
    ports->addInputCallback (second, &processor);

    ASSERT_TRUE (rig.searchAndWait());

    EXPECT_TRUE (isRegistered (*rig.unit, first, processor));
    EXPECT_TRUE (isRegistered (*rig.unit, second, processor));
    EXPECT_FALSE (isRegistered (*rig.unit, unrelated, processor));
    EXPECT_EQ (rig.unit->getRegistrations().size(), 2u);

    const auto events = rig.unit->getEvents();
    EXPECT_EQ (countEvents (events, "enable " + first), 1);
    EXPECT_EQ (countEvents (events, "enable " + second), 1) << "enabled once, by the test";
    EXPECT_EQ (countEvents (events, "enable " + unrelated), 0);

    const auto ack = SimulatedUnit::messageOf ({ 0xF0, 0x00, 0x01, 0x74, 0x10, 0x64, 0x78, 0x00, 0x79, 0xF7 });

    for (const auto& input : { first, second })
    {
        SCOPED_TRACE (input);
        const auto deliveriesBefore = rig.unit->getDeliveryCount();
        processor.awaitingAck = true;
        rig.unit->sendFromUnit (ack, input);

        ASSERT_TRUE (rig.unit->waitUntilIdle());
        EXPECT_FALSE (processor.awaitingAck.load());
        EXPECT_EQ (rig.unit->getDeliveryCount(), deliveriesBefore + 1) << "one registration per input";
    }

    // The unrelated input was left alone, so it delivers nothing.
    processor.awaitingAck = true;
    rig.unit->sendFromUnit (ack, unrelated);
    ASSERT_TRUE (rig.unit->waitUntilIdle());
    EXPECT_TRUE (processor.awaitingAck.load());
}

TEST (Discovery, ManyPreparesSearchOnce)
{
    Rig rig;
    rig.unit->addOutput ("Axe-Fx III MIDI Out");
    rig.unit->addInput ("Axe-Fx III MIDI In");
    auto& processor = rig.makeProcessor();

    for (int i = 0; i < 30; ++i)
        processor.prepareToPlay (44100.0 + i, 32 + i);

    ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));
    ASSERT_TRUE (waitUntil ([&] { return processor.isConnected(); }, 5s));

    for (int i = 0; i < 5; ++i)
    {
        processor.prepareToPlay (96000.0, 1024);
        ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));
    }

    const auto events = rig.unit->getEvents();
    EXPECT_EQ (countEvents (events, "list-outputs"), 1);
    EXPECT_EQ (countEvents (events, "list-inputs"), 1);
    EXPECT_EQ (countEvents (events, "open "), 1);
    EXPECT_EQ (rig.unit->getReceived().size(), 1u);
    EXPECT_EQ (rig.unit->getRegistrations().size(), 1u);
}

TEST (Discovery, WithNoUnitNothingIsSentAndNothingAwaited)
{
    struct NoUnitCase
    {
        const char* description;
        bool withUnrelatedPorts;
    };

    for (const auto& c : { NoUnitCase { "no ports at all", false }, NoUnitCase { "unrelated ports only", true } })
    {
        SCOPED_TRACE (c.description);
        Rig rig;

        if (c.withUnrelatedPorts)
        {
            rig.unit->addOutput (unrelatedPort);
            rig.unit->addOutput ("FM3 MIDI Out");
            rig.unit->addInput (unrelatedPort);
        }

        auto& processor = rig.makeProcessor();

        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE (rig.searchAndWait());
        EXPECT_LT (std::chrono::steady_clock::now() - start, 500ms);

        EXPECT_TRUE (rig.unit->getReceived().empty());
        EXPECT_EQ (countEvents (rig.unit->getEvents(), "open"), 0);
        EXPECT_TRUE (rig.unit->getRegistrations().empty());
        EXPECT_EQ (processor.getMidiOutput(), nullptr);
        EXPECT_EQ (processor.awaitingStartupReply.load(), 1);
        EXPECT_FALSE (processor.isConnected());
    }
}

TEST (Discovery, ASilentUnitIsWaitedForThenALateReplyStillConnects)
{
    Rig rig;
    rig.unit->addOutput ("Axe-Fx III MIDI Out");
    rig.unit->addInput ("Axe-Fx III MIDI In");
    rig.unit->setSilent (true);
    auto& processor = rig.makeProcessor();

    processor.prepareToPlay (48000.0, 512);
    ASSERT_TRUE (waitUntil ([&] { return rig.unit->getReceived().size() == 1; }, 5s));

    // The query is out, and the thread now waits up to a second for the answer.
    EXPECT_TRUE (processor.initMidiThread.isThreadRunning());
    ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));
    EXPECT_EQ (processor.awaitingStartupReply.load(), 1);
    EXPECT_FALSE (processor.isConnected());

    rig.unit->sendFromUnit (SimulatedUnit::makeNameReply (Model::axeFxIII, 1, SimulatedUnit::makeNameField ("Late")));
    EXPECT_TRUE (waitUntil ([&] { return processor.isConnected(); }, 5s));
    EXPECT_EQ (processor.presetName.toString(), "") << "nobody asked for the name";
}

TEST (Discovery, NotConnectedWhileTheSearchRunsAndNothingHasAnswered)
{
    Rig rig;
    const auto out = rig.unit->addOutput ("Axe-Fx III MIDI Out");
    rig.unit->addInput ("Axe-Fx III MIDI In");
    rig.unit->setSilent (true);
    rig.unit->setInputListingDelay (200ms);
    auto& processor = rig.makeProcessor();

    processor.prepareToPlay (48000.0, 512);

    // The output is open while the inputs are still being listed; the unit has said nothing.
    ASSERT_TRUE (waitUntil ([&] { return rig.unit->getEvents().contains ("list-inputs"); }, 5s));
    ASSERT_TRUE (rig.unit->getEvents().contains ("open " + out));
    EXPECT_FALSE (processor.isConnected());

    ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));
    EXPECT_FALSE (processor.isConnected());
}

TEST (Discovery, AUnitAnsweringAfterOneAndAHalfSecondsEndsUpConnected)
{
    Rig rig;
    rig.unit->addOutput ("Axe-Fx III MIDI Out");
    rig.unit->addInput ("Axe-Fx III MIDI In");
    rig.unit->setReplyDelay (1500ms);
    auto& processor = rig.makeProcessor();

    processor.prepareToPlay (48000.0, 512);

    // The thread gives up waiting after a second; the answer still counts when it comes.
    ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));
    EXPECT_TRUE (waitUntil ([&] { return processor.isConnected(); }, 10s));
    EXPECT_EQ (rig.unit->getReceived().size(), 1u);
}
} // namespace
