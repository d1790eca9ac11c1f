// End to end through the simulated unit's own thread: connect, catch a preset
// the way the Catch button does, give it back the way Release does.

#include "device/SysEx.h"
#include "plugin/BasaltProcessor.h"
#include "support/SimulatedUnit.h"

#include <gtest/gtest.h>

namespace
{
using namespace std::chrono_literals;
using Model = SimulatedUnit::Model;

struct Session
{
    explicit Session (Model model, bool strays = false) : unit (SimulatedUnit::create (model))
    {
        const juce::String prefix = model == Model::fm9 ? "FM9" : "Axe-Fx III";
        unit->addOutput ("Midi Through Port-0", true, false);
        output = unit->addOutput (prefix + " MIDI Out");
        unit->addInput ("Midi Through Port-0", false);
        unit->addInput (prefix + " MIDI In");
        unit->setStrays (strays);
        processor = std::make_unique<BasaltProcessor> (unit->makePorts());
    }

    bool connect()
    {
        processor->prepareToPlay (48000.0, 512);

        // Connected shows as soon as the handler has seen the reply; idle means it has finished with it.
        return waitUntil ([this] { return processor->isConnected(); }) && unit->waitUntilIdle();
    }

    // As the Catch button does it: ask for the name, then for the preset.
    bool catchPreset()
    {
        auto& p = *processor;
        const auto out = p.getMidiOutput();

        if (out == nullptr)
            return false;

        p.storedMessages.clear();
        p.awaitingNameReply = true;
        out->sendMessageNow (SysEx::makePresetNameQuery (p.modelByte));
        std::this_thread::sleep_for (10ms);
        p.storedMessages.clear();
        p.capturing = true;
        out->sendMessageNow (SysEx::makePresetRequest (p.modelByte));

        return waitUntil ([&p] { return ! p.capturing.load() && ! p.awaitingNameReply.load(); });
    }

    // As Release does it: one message at a time, each waiting for its acknowledgement.
    bool releasePreset (const std::vector<juce::MidiMessage>& messages)
    {
        auto& p = *processor;
        const auto out = p.getMidiOutput();

        for (const auto& message : messages)
        {
            p.awaitingAck = true;
            out->sendMessageNow (message);

            if (! waitUntil ([&p] { return ! p.awaitingAck.load(); }, 5s))
                return false;
        }

        return true;
    }

    std::shared_ptr<SimulatedUnit> unit;
    juce::String output;
    std::unique_ptr<BasaltProcessor> processor;
};

void expectSameMessages (const std::vector<juce::MidiMessage>& actual, const std::vector<juce::MidiMessage>& expected)
{
    ASSERT_EQ (actual.size(), expected.size());

    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ (SimulatedUnit::bytesOf (actual[i]), SimulatedUnit::bytesOf (expected[i])) << "message " << i;
}

struct SessionCase
{
    Model model;
    bool strays;
};

class UnitSession : public testing::TestWithParam<SessionCase>
{
};

TEST_P (UnitSession, CatchThenReleaseLeavesTheUnitHoldingThePresetAgain)
{
    const auto [model, strays] = GetParam();
    Session s (model, strays);
    ASSERT_TRUE (s.connect());

    s.unit->loadPreset (42, "Clean  Lead");
    const auto original = s.unit->getPresetMessages();
    ASSERT_EQ ((int) original.size(), model == Model::fm9 ? 10 : 18);
    s.unit->clearRecords();

    ASSERT_TRUE (s.catchPreset());
    const auto caught = s.processor->storedMessages.getMessages();
    expectSameMessages (caught, original);
    EXPECT_EQ (s.processor->presetName.toString(), "Clean  Lead");
    EXPECT_EQ (s.processor->getProgramName (0), "Clean  Lead");

    // Exactly two requests went out, both for this model.
    const auto requests = s.unit->getReceived();
    ASSERT_EQ (requests.size(), 2u);
    EXPECT_EQ (requests[0].message.getRawData()[5], 0x0D);
    EXPECT_EQ (requests[1].message.getRawData()[5], 0x03);

    for (const auto& r : requests)
    {
        EXPECT_EQ (r.outputIdentifier, s.output);
        EXPECT_EQ (r.message.getRawData()[4], s.unit->getModelByte());
    }

    // The player moves on to another preset, then gives the caught one back.
    s.unit->loadPreset (7, "Other Preset");
    ASSERT_EQ (s.unit->getPresetName(), "Other Preset");
    ASSERT_TRUE (s.unit->waitUntilIdle());
    s.unit->clearRecords();

    ASSERT_TRUE (s.releasePreset (caught));
    ASSERT_TRUE (s.unit->waitUntilIdle());

    std::vector<juce::MidiMessage> sent;

    for (const auto& r : s.unit->getReceived())
        sent.push_back (r.message);

    expectSameMessages (sent, original);
    expectSameMessages (s.unit->getPresetMessages(), original);
    EXPECT_EQ (s.unit->getPresetName(), "Clean  Lead");

    // A second catch brings the very same bytes back.
    ASSERT_TRUE (s.catchPreset());
    expectSameMessages (s.processor->storedMessages.getMessages(), original);
}

INSTANTIATE_TEST_SUITE_P (ModelsAndStrays, UnitSession,
                          testing::Values (SessionCase { Model::axeFxIII, false }, SessionCase { Model::fm9, false },
                                           SessionCase { Model::axeFxIII, true }, SessionCase { Model::fm9, true }),
                          [] (const auto& p)
                          {
                              return std::string (p.param.model == Model::fm9 ? "FM9" : "AxeFxIII")
                                     + (p.param.strays ? "WithStrays" : "");
                          });

TEST (UnitSessionFaults, ADumpWithoutItsClosingMessageLeavesTheCaptureOpen)
{
    for (const auto model : { Model::axeFxIII, Model::fm9 })
    {
        Session s (model, true);
        ASSERT_TRUE (s.connect());
        s.unit->setDropLastPresetMessage (true);

        s.processor->storedMessages.clear();
        s.processor->capturing = true;
        s.processor->getMidiOutput()->sendMessageNow (SysEx::makePresetRequest (s.processor->modelByte));
        ASSERT_TRUE (s.unit->waitUntilIdle());

        auto expected = s.unit->getPresetMessages();
        expected.pop_back();

        expectSameMessages (s.processor->storedMessages.getMessages(), expected);
        EXPECT_TRUE (s.processor->capturing.load());
    }
}

TEST (UnitSessionFaults, AMissingAcknowledgementLeavesTheFlagRaised)
{
    struct AckCase
    {
        const char* description;
        std::function<bool (int)> acknowledges;
    };

    const AckCase cases[] {
        { "all acknowledged", [] (int) { return true; } },
        { "none acknowledged", [] (int) { return false; } },
        { "the fourth not acknowledged", [] (int i) { return i != 3; } },
        { "every other acknowledged", [] (int i) { return i % 2 == 0; } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        Session s (Model::axeFxIII, true);
        ASSERT_TRUE (s.connect());
        s.unit->setAcknowledgement (c.acknowledges);

        const auto preset = SimulatedUnit::makePreset (Model::axeFxIII, 3, "Acks");
        const auto out = s.processor->getMidiOutput();

        for (int i = 0; i < (int) preset.size(); ++i)
        {
            s.processor->awaitingAck = true;
            out->sendMessageNow (preset[(size_t) i]);
            ASSERT_TRUE (s.unit->waitUntilIdle());
            EXPECT_EQ (s.processor->awaitingAck.load(), ! c.acknowledges (i)) << "message " << i;
        }

        // Acknowledged or not, the unit kept what it was given.
        expectSameMessages (s.unit->getPresetMessages(), preset);
    }
}

TEST (UnitSessionFaults, ASilentUnitNeitherConnectsNorFillsTheDump)
{
    Session s (Model::axeFxIII);
    s.unit->setSilent (true);
    s.processor->prepareToPlay (48000.0, 512);
    ASSERT_TRUE (s.processor->initMidiThread.waitForThreadToExit (5000));
    EXPECT_FALSE (s.processor->isConnected());

    s.processor->capturing = true;
    s.processor->awaitingNameReply = true;
    s.processor->getMidiOutput()->sendMessageNow (SysEx::makePresetNameQuery (s.processor->modelByte));
    s.processor->getMidiOutput()->sendMessageNow (SysEx::makePresetRequest (s.processor->modelByte));
    ASSERT_TRUE (s.unit->waitUntilIdle());

    EXPECT_EQ (s.processor->storedMessages.size(), 0);
    EXPECT_TRUE (s.processor->capturing.load());
    EXPECT_TRUE (s.processor->awaitingNameReply.load());
    EXPECT_EQ (s.unit->getReceived().size(), 3u);
}

TEST (UnitSessionFaults, StrayTrafficAloneChangesNoFlag)
{
    Session s (Model::fm9);
    ASSERT_TRUE (s.connect());

    auto& p = *s.processor;
    p.awaitingStartupReply = 1;
    p.awaitingNameReply = true;
    p.awaitingAck = true;
    p.capturing = true;
    p.presetName.set ("Kept");

    const auto strays = s.unit->getStrayMessages();
    ASSERT_GE (strays.size(), 8u);

    for (int round = 0; round < 3; ++round)
        for (const auto& m : strays)
            s.unit->sendFromUnit (m);

    ASSERT_TRUE (s.unit->waitUntilIdle());
    EXPECT_GE (s.unit->getDeliveryCount(), (int) strays.size() * 3);
    EXPECT_EQ (p.awaitingStartupReply.load(), 1);
    EXPECT_TRUE (p.awaitingNameReply.load());
    EXPECT_TRUE (p.awaitingAck.load());
    EXPECT_TRUE (p.capturing.load());
    EXPECT_EQ (p.storedMessages.size(), 0);
    EXPECT_EQ (p.presetName.toString(), "Kept");
}
} // namespace
