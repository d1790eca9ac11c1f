#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"

#include <gtest/gtest.h>

namespace
{
using Set = juce::AudioChannelSet;

struct ProcessorWithPorts
{
    std::shared_ptr<RecordingPorts::Calls> calls = std::make_shared<RecordingPorts::Calls>();
    BasaltProcessor processor { std::make_unique<RecordingPorts> (calls) };
};

TEST (HostContract, IdentityBusesAndMidiFlags)
{
    ProcessorWithPorts p;
    auto& processor = p.processor;

    EXPECT_EQ (processor.getName(), "Snapwell");
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_EQ (processor.getLatencySamples(), 0);

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getBus (true, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getCurrentLayout(), Set::stereo());
    EXPECT_TRUE (processor.getBus (true, 0)->isEnabledByDefault());
    EXPECT_TRUE (processor.getBus (false, 0)->isEnabledByDefault());
}

struct LayoutCase
{
    const char* description;
    juce::Array<Set> inputs, outputs;
    bool accepted;
};

TEST (HostContract, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    const LayoutCase cases[] {
        { "stereo in, stereo out", { Set::stereo() }, { Set::stereo() }, true },
        { "mono in, mono out", { Set::mono() }, { Set::mono() }, true },
        { "stereo in, mono out", { Set::stereo() }, { Set::mono() }, false },
        { "mono in, stereo out", { Set::mono() }, { Set::stereo() }, false },
        { "quad in, quad out", { Set::quadraphonic() }, { Set::quadraphonic() }, false },
        { "5.1 in, 5.1 out", { Set::create5point1() }, { Set::create5point1() }, false },
        { "stereo in, disabled out", { Set::stereo() }, { Set::disabled() }, false },
        { "no input bus, stereo out", {}, { Set::stereo() }, false },
        { "disabled in, mono out", { Set::disabled() }, { Set::mono() }, false },
        { "no buses at all", {}, {}, false },
        { "stereo pair plus an ignored side-chain", { Set::stereo(), Set::mono() }, { Set::stereo() }, true },
    };

    ProcessorWithPorts p;

    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses = c.inputs;
        layout.outputBuses = c.outputs;
        EXPECT_EQ (p.processor.isBusesLayoutSupported (layout), c.accepted) << c.description;
    }
}

TEST (HostContract, OneProgramNamedAfterThePresetWhateverTheIndex)
{
    ProcessorWithPorts p;
    auto& processor = p.processor;

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    for (int index : { 0, 5, -1 })
        EXPECT_EQ (processor.getProgramName (index), "") << index;

    processor.presetName.set ("Clean  Lead");

    for (int index : { 0, 5, -1 })
        EXPECT_EQ (processor.getProgramName (index), "Clean  Lead") << index;

    processor.setCurrentProgram (3);
    processor.changeProgramName (0, "Renamed");

    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "Clean  Lead");
}

class PassThrough : public testing::TestWithParam<Set>
{
};

TEST_P (PassThrough, AudioLeavesBitForBitUnchanged)
{
    ProcessorWithPorts p;
    auto& processor = p.processor;
    const auto set = GetParam();

    ASSERT_TRUE (processor.setChannelLayoutOfBus (true, 0, set));
    ASSERT_TRUE (processor.setChannelLayoutOfBus (false, 0, set));

    constexpr int numSamples = 512;
    juce::AudioBuffer<float> buffer (set.size(), numSamples);
    juce::Random random (42);

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);

    // Values that arithmetic would disturb: denormals, infinities, NaN, -0.
    buffer.setSample (0, 0, std::numeric_limits<float>::denorm_min());
    buffer.setSample (0, 1, std::numeric_limits<float>::infinity());
    buffer.setSample (0, 2, std::numeric_limits<float>::quiet_NaN());
    buffer.setSample (0, 3, -0.0f);

    juce::AudioBuffer<float> original (buffer);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.5f), 10);

    processor.prepareToPlay (48000.0, numSamples);
    processor.processBlock (buffer, midi);

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        EXPECT_EQ (std::memcmp (buffer.getReadPointer (ch), original.getReadPointer (ch), sizeof (float) * numSamples), 0)
            << "channel " << ch;

    EXPECT_EQ (midi.getNumEvents(), 1);
}

INSTANTIATE_TEST_SUITE_P (MonoAndStereo, PassThrough, testing::Values (Set::mono(), Set::stereo()),
                          [] (const auto& param) { return param.param.size() == 1 ? "Mono" : "Stereo"; });

TEST (HostContract, ConstructionTouchesNoPortAndPrepareSearchesOnce)
{
    ProcessorWithPorts p;
    auto& processor = p.processor;

    EXPECT_EQ (p.calls->total(), 0);
    EXPECT_FALSE (processor.initMidiThread.isThreadRunning());
    EXPECT_FALSE (processor.getMidiOutput());
    EXPECT_EQ (processor.modelByte.load(), 0x10);
    EXPECT_EQ (processor.storedMessages.size(), 0);

    for (int i = 0; i < 50; ++i)
        processor.prepareToPlay (44100.0 + i, 64 + i);

    ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));

    // Later starts find the run-once guard and end at once.
    processor.prepareToPlay (48000.0, 256);
    ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));

    EXPECT_EQ (p.calls->listOutputs.load(), 1);
    EXPECT_EQ (p.calls->listInputs.load(), 1);
    EXPECT_EQ (processor.awaitingStartupReply.load(), 1);
    EXPECT_FALSE (processor.isConnected());
}

// Ports whose listing blocks until the test opens the gate, like a slow MIDI driver.
class GatedPorts final : public MidiPorts
{
public:
    explicit GatedPorts (juce::WaitableEvent& gateToWaitFor) : gate (gateToWaitFor) {}

    juce::Array<juce::MidiDeviceInfo> getAvailableOutputs() override
    {
        listing = true;
        gate.wait();
        return {};
    }

    juce::Array<juce::MidiDeviceInfo> getAvailableInputs() override { return {}; }
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String&) override { return nullptr; }
    bool isInputEnabled (const juce::String&) override { return false; }
    void setInputEnabled (const juce::String&, bool) override {}
    void addInputCallback (const juce::String&, juce::MidiInputCallback*) override {}
    void removeInputCallback (const juce::String&, juce::MidiInputCallback*) override {}

    std::atomic<bool> listing { false };

private:
    juce::WaitableEvent& gate;
};

TEST (HostContract, PrepareToPlayNeverWaitsForTheSearch)
{
    juce::WaitableEvent gate;
    auto ports = std::make_unique<GatedPorts> (gate);
    auto& gated = *ports;
    BasaltProcessor processor { std::move (ports) };

    // Every call returns while the search is stuck in the port listing.
    for (int i = 0; i < 10; ++i)
        processor.prepareToPlay (48000.0, 512);

    while (! gated.listing)
        juce::Thread::yield();

    for (int i = 0; i < 10; ++i)
        processor.prepareToPlay (96000.0, 128);

    EXPECT_TRUE (processor.initMidiThread.isThreadRunning());

    gate.signal();
    EXPECT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));
}

TEST (HostContract, DestroyingAnUnpreparedProcessorTouchesNothing)
{
    auto calls = std::make_shared<RecordingPorts::Calls>();
    std::make_unique<BasaltProcessor> (std::make_unique<RecordingPorts> (calls)).reset();
    EXPECT_EQ (calls->total(), 0);
}
} // namespace
