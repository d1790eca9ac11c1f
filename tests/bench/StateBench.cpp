// Save and restore of a caught preset, as a host does on every project save and load.

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

struct ProcessorWithPorts
{
    std::shared_ptr<RecordingPorts::Calls> calls = std::make_shared<RecordingPorts::Calls>();
    BasaltProcessor processor { std::make_unique<RecordingPorts> (calls) };
};

juce::MidiMessage fractalMessage (juce::uint8 function, int payloadSize, juce::Random& random)
{
    juce::MemoryBlock bytes;
    juce::MemoryOutputStream out (bytes, false);
    const juce::uint8 header[] { 0xF0, 0x00, 0x01, 0x74, 0x10, function };
    out.write (header, sizeof (header));

    for (int i = 0; i < payloadSize; ++i)
        out.writeByte ((char) random.nextInt (128));

    juce::uint8 sum = 0;

    for (size_t i = 0; i < out.getDataSize(); ++i)
        sum ^= static_cast<const juce::uint8*> (out.getData())[i];

    out.writeByte ((char) (sum & 0x7F));
    out.writeByte ((char) 0xF7);
    return juce::MidiMessage (out.getData(), (int) out.getDataSize());
}

// Sizes as the unit sends them: a 15-byte 0x77 header, 0x78 chunks of 200-400
// bytes, an 11-byte 0x79 footer.
std::vector<juce::MidiMessage> presetDump (int numMessages)
{
    juce::Random random (numMessages);
    std::vector<juce::MidiMessage> dump { fractalMessage (0x77, 7, random) };

    while ((int) dump.size() < numMessages - 1)
        dump.push_back (fractalMessage (0x78, 200 + random.nextInt (200), random));

    dump.push_back (fractalMessage (0x79, 3, random));
    return dump;
}

void holdDump (BasaltProcessor& processor, int numMessages)
{
    processor.storedMessages.replace (presetDump (numMessages));
    processor.presetName.set ("Clean  Lead");
}

void BM_SaveState (benchmark::State& state)
{
    initialiseJuce();
    ProcessorWithPorts p;
    holdDump (p.processor, (int) state.range (0));
    juce::MemoryBlock block;

    for (auto _ : state)
    {
        block.reset();
        p.processor.getStateInformation (block);
        benchmark::DoNotOptimize (block.getData());
    }

    state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) block.getSize());
    state.counters["stateBytes"] = (double) block.getSize();
}

void BM_RestoreState (benchmark::State& state)
{
    initialiseJuce();
    const auto numMessages = (int) state.range (0);
    juce::MemoryBlock block;

    {
        ProcessorWithPorts writer;
        holdDump (writer.processor, numMessages);
        writer.processor.getStateInformation (block);
    }

    ProcessorWithPorts p;

    for (auto _ : state)
        p.processor.setStateInformation (block.getData(), (int) block.getSize());

    // A restore that silently dropped the dump would make the figure meaningless.
    if (p.processor.storedMessages.size() != numMessages)
        state.SkipWithError ("the restore did not bring the dump back");

    state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) block.getSize());
    state.counters["stateBytes"] = (double) block.getSize();
}
} // namespace

BENCHMARK (BM_SaveState)->Arg (18)->Arg (200)->Unit (benchmark::kMicrosecond);
BENCHMARK (BM_RestoreState)->Arg (18)->Arg (200)->Unit (benchmark::kMicrosecond);
