// What the device link costs: the MIDI-thread handler per preset message, and a
// whole capture from a simulated unit, thread hand-offs included.

#include "device/SysEx.h"
#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"
#include "support/SimulatedUnit.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <benchmark/benchmark.h>

namespace
{
using Model = SimulatedUnit::Model;

void BM_HandlerPresetBodyWhileCapturing (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    BasaltProcessor processor (std::make_unique<RecordingPorts> (std::make_shared<RecordingPorts::Calls>()));

    // A body of the length a unit really sends.
    const auto preset = SimulatedUnit::makePreset (Model::axeFxIII, 1, "Bench");
    const auto& body = preset[1];
    processor.capturing = true;

    for (auto _ : state)
    {
        processor.handleIncomingMidiMessage (nullptr, body);

        if (processor.storedMessages.size() == PresetDump::capacity)
        {
            state.PauseTiming();
            processor.storedMessages.clear();
            processor.capturing = true;
            state.ResumeTiming();
        }
    }

    state.SetItemsProcessed (state.iterations());
    state.SetBytesProcessed (state.iterations() * body.getRawDataSize());
    state.counters["messageBytes"] = body.getRawDataSize();
}

BENCHMARK (BM_HandlerPresetBodyWhileCapturing);

// Per iteration: ask the unit for its preset, wait until the dump is complete.
// Arg 0: Axe-Fx III (18 messages), arg 1: FM9 (10).
void BM_WholeCaptureFromSimulatedUnit (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto model = state.range (0) == 1 ? Model::fm9 : Model::axeFxIII;
    auto unit = SimulatedUnit::create (model);
    unit->addOutput (model == Model::fm9 ? "FM9 MIDI Out" : "Axe-Fx III MIDI Out");
    unit->addInput (model == Model::fm9 ? "FM9 MIDI In" : "Axe-Fx III MIDI In");

    auto processor = std::make_unique<BasaltProcessor> (unit->makePorts());
    processor->prepareToPlay (48000.0, 512);

    if (! waitUntil ([&] { return processor->isConnected(); }) || ! unit->waitUntilIdle())
    {
        state.SkipWithError ("the simulated unit did not connect");
        return;
    }

    const auto output = processor->getMidiOutput();
    const auto request = SysEx::makePresetRequest (processor->modelByte);
    const auto expected = unit->getMessagesPerPreset();
    double firstByteToCompleteSeconds = 0.0;

    for (auto _ : state)
    {
        state.PauseTiming();
        unit->waitUntilIdle();
        processor->storedMessages.clear();
        state.ResumeTiming();

        processor->capturing = true;
        output->sendMessageNow (request);

        while (processor->capturing.load())
            std::this_thread::yield();

        const auto complete = SimulatedUnit::Clock::now();
        firstByteToCompleteSeconds += std::chrono::duration<double> (complete - unit->getLastAnswerTimes().first).count();

        if (processor->storedMessages.size() != expected)
        {
            state.SkipWithError ("the dump was incomplete");
            break;
        }
    }

    state.SetItemsProcessed (state.iterations() * expected);
    state.counters["firstByteToComplete_us"] =
        benchmark::Counter (firstByteToCompleteSeconds * 1e6 / (double) std::max<benchmark::IterationCount> (state.iterations(), 1));

    processor.reset();
}

BENCHMARK (BM_WholeCaptureFromSimulatedUnit)->Arg (0)->Arg (1)->UseRealTime();
} // namespace
