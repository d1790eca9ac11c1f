// The audio path and the cost of an instance, with ports that reach no real MIDI.

#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"

#include <benchmark/benchmark.h>

namespace
{
// The parameter tree runs a timer, which needs a message manager on this thread.
void initialiseJuce()
{
    static juce::ScopedJuceInitialiser_GUI juce;
}

std::unique_ptr<BasaltProcessor> makeProcessor()
{
    return std::make_unique<BasaltProcessor> (
        std::make_unique<RecordingPorts> (std::make_shared<RecordingPorts::Calls>()));
}

void BM_ProcessBlockStereo512 (benchmark::State& state)
{
    initialiseJuce();
    constexpr int numSamples = 512;
    auto processor = makeProcessor();
    processor->prepareToPlay (48000.0, numSamples);

    // Measure the audio path alone, not the one-off port search that prepare starts.
    if (! processor->initMidiThread.waitForThreadToExit (5000))
        state.SkipWithError ("the port search did not finish");

    juce::AudioBuffer<float> buffer (2, numSamples);
    juce::Random random (1);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);

    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        processor->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
        benchmark::ClobberMemory();
    }

    state.SetItemsProcessed ((int64_t) state.iterations() * numSamples);
    processor->releaseResources();
}

void BM_ConstructAndDestroy (benchmark::State& state)
{
    initialiseJuce();

    for (auto _ : state)
    {
        auto processor = makeProcessor();
        benchmark::DoNotOptimize (processor.get());
        processor.reset();
    }
}
} // namespace

BENCHMARK (BM_ProcessBlockStereo512);
BENCHMARK (BM_ConstructAndDestroy)->Unit (benchmark::kMicrosecond);
