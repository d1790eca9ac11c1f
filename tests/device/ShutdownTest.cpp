// Tearing a processor down while the device link is busy: prompt, no callback
// left behind, nothing sent on an output once it is gone.

#include "device/SysEx.h"
#include "plugin/BasaltProcessor.h"
#include "support/SimulatedUnit.h"

#include <gtest/gtest.h>

namespace
{
using namespace std::chrono_literals;
using Model = SimulatedUnit::Model;

struct Rig
{
    Rig() : unit (SimulatedUnit::create (Model::axeFxIII))
    {
        output = unit->addOutput ("Axe-Fx III MIDI Out");
        input = unit->addInput ("Axe-Fx III MIDI In");
        processor = std::make_unique<BasaltProcessor> (unit->makePorts());
    }

    std::chrono::steady_clock::duration destroyProcessor()
    {
        const auto start = std::chrono::steady_clock::now();
        processor.reset();
        return std::chrono::steady_clock::now() - start;
    }

    std::shared_ptr<SimulatedUnit> unit;
    juce::String output, input;
    std::unique_ptr<BasaltProcessor> processor;
};

// Nothing is sent on an output after it closed, and every removal comes before the close.
void expectOrderlyTeardown (const SimulatedUnit& unit, const juce::String& output)
{
    const auto events = unit.getEvents();
    const auto close = events.indexOf ("close " + output);
    ASSERT_GE (close, 0) << events.joinIntoString (", ");

    for (int i = close + 1; i < events.size(); ++i)
        EXPECT_FALSE (events[i].startsWith ("send ") || events[i].startsWith ("add ")) << events[i];

    for (int i = 0; i < events.size(); ++i)
    {
        if (events[i].startsWith ("remove "))
        {
            EXPECT_LT (i, close) << events[i];
        }
    }

    EXPECT_EQ (unit.getSendsAfterClose(), 0);
    EXPECT_EQ (unit.getOpenOutputCount(), 0);
    EXPECT_TRUE (unit.getRegistrations().empty());
}

TEST (Shutdown, DestroyingDuringTheStartupWaitReturnsPromptly)
{
    Rig rig;
    rig.unit->setSilent (true);
    rig.processor->prepareToPlay (48000.0, 512);

    // Once the query is out, the thread is in its one-second wait.
    ASSERT_TRUE (waitUntil ([&] { return rig.unit->getReceived().size() == 1; }, 5s));
    ASSERT_FALSE (rig.unit->getRegistrations().empty());

    EXPECT_LT (rig.destroyProcessor(), 300ms);
    expectOrderlyTeardown (*rig.unit, rig.output);

    // The input is still there and still enabled, but nobody is called any more.
    const auto deliveries = rig.unit->getDeliveryCount();
    rig.unit->sendFromUnit (SimulatedUnit::makeNameReply (Model::axeFxIII, 1, SimulatedUnit::makeNameField ("Gone")));
    ASSERT_TRUE (rig.unit->waitUntilIdle());
    EXPECT_EQ (rig.unit->getDeliveryCount(), deliveries);
}

TEST (Shutdown, DestroyingWhileTheSearchListsInputsRegistersNothing)
{
    Rig rig;
    rig.unit->setInputListingDelay (150ms);
    rig.processor->prepareToPlay (48000.0, 512);

    // The thread is inside the slow input listing when teardown begins.
    ASSERT_TRUE (waitUntil ([&] { return rig.unit->getEvents().contains ("list-inputs"); }, 5s));

    EXPECT_LT (rig.destroyProcessor(), 450ms);

    const auto events = rig.unit->getEvents();

    for (const auto& e : events)
        EXPECT_FALSE (e.startsWith ("add") || e.startsWith ("enable")) << e;

    expectOrderlyTeardown (*rig.unit, rig.output);
}

TEST (Shutdown, ASenderKeepsTheOutputOpenUntilItLetsGo)
{
    Rig rig;
    rig.processor->prepareToPlay (48000.0, 512);
    ASSERT_TRUE (waitUntil ([&] { return rig.processor->isConnected(); }));

    std::atomic<bool> stop { false };
    std::atomic<int> sent { 0 };

    std::thread sender ([out = rig.processor->getMidiOutput(), &stop, &sent]() mutable
                        {
                            while (! stop.load())
                            {
                                out->sendMessageNow (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 1));
                                ++sent;
                                std::this_thread::sleep_for (200us);
                            }

                            out.reset();
                        });

    ASSERT_TRUE (waitUntil ([&] { return sent.load() > 20; }, 5s));
    EXPECT_LT (rig.destroyProcessor(), 300ms);

    // The processor has let go; the sender still holds the output and keeps sending on it.
    EXPECT_EQ (rig.unit->getOpenOutputCount(), 1);
    const auto sentAtTeardown = sent.load();
    EXPECT_TRUE (waitUntil ([&] { return sent.load() > sentAtTeardown + 20; }, 5s));

    stop = true;
    sender.join();

    expectOrderlyTeardown (*rig.unit, rig.output);
}

TEST (Shutdown, DestroyingWhileMessagesArriveStopsDeliveryAtOnce)
{
    for (int round = 0; round < 5; ++round)
    {
        SCOPED_TRACE (round);
        Rig rig;
        rig.processor->prepareToPlay (48000.0, 512);
        ASSERT_TRUE (waitUntil ([&] { return rig.processor->isConnected(); }));

        rig.processor->capturing = true;
        const auto preset = SimulatedUnit::makePreset (Model::axeFxIII, round, "Flood");

        for (int i = 0; i < 200; ++i)
            for (size_t j = 1; j + 1 < preset.size(); ++j)
                rig.unit->sendFromUnit (preset[j]);

        ASSERT_TRUE (waitUntil ([&] { return rig.processor->storedMessages.size() > 10 * round; }, 5s));

        EXPECT_LT (rig.destroyProcessor(), 300ms);
        const auto deliveries = rig.unit->getDeliveryCount();

        ASSERT_TRUE (rig.unit->waitUntilIdle());
        EXPECT_EQ (rig.unit->getDeliveryCount(), deliveries);
        expectOrderlyTeardown (*rig.unit, rig.output);
    }
}
} // namespace
