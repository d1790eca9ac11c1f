#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "device/MidiPorts.h"
#include "device/PresetDump.h"
#include "device/PresetName.h"

#include <atomic>
#include <memory>

/** The one object per plug-in instance: the host contract, the saved state and
    every piece of the device link.

    Threads, and what each may touch:
    - message thread: construction, destruction, the editor;
    - host's state thread: getStateInformation / setStateInformation;
    - audio thread: processBlock only, which reads no field below;
    - initMidiThread: the one-shot port search and start-up query;
    - the MIDI input thread (the ports' own): handleIncomingMidiMessage.
*/
class BasaltProcessor : public juce::AudioProcessor, public juce::MidiInputCallback
{
public:
    /** An instance that talks to the system's MIDI ports. */
    BasaltProcessor();

    /** An instance that talks to the given ports (a simulated unit in tests). */
    explicit BasaltProcessor (std::unique_ptr<MidiPorts> portsToUse);

    ~BasaltProcessor() override;

    //==============================================================================
    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    //==============================================================================
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}

    //==============================================================================
    /** Searches the ports once, opens the unit and asks it for its preset name. */
    class InitMidiThread : public juce::Thread
    {
    public:
        InitMidiThread();
        void run() override;

        // Set by prepareToPlay before each start, read by the thread.
        std::atomic<BasaltProcessor*> owner { nullptr };
    };

    /** The unit's output, or null. Safe on any thread: the caller shares ownership,
        so an output is never deleted while someone still sends on it. */
    std::shared_ptr<MidiOutputPort> getMidiOutput() const;

    /** True once an output is open and the unit has answered a name query. */
    bool isConnected() const;

    //==============================================================================
    // Written by the Release sequence (message thread), read by the editor's timer.
    std::atomic<float> releaseProgress { 0.0f };

    // The system's MIDI ports; owns the device manager that keeps the unit's inputs open.
    // The destructor removes our callbacks first; the inputs themselves close when this goes, last but one.
    const std::unique_ptr<MidiPorts> ports;

    // The host's one parameter, "MODE"; its state tree is the root of the saved state.
    juce::AudioProcessorValueTreeState parameters;

    // Written by the MIDI thread and by restores; read anywhere (guarded inside).
    PresetName presetName;

    // Written by initMidiThread; read by every thread that builds a request.
    std::atomic<juce::uint8> modelByte { 0x10 };

    // initMidiThread's run-once guard.
    std::atomic<bool> midiInitStarted { false };

    InitMidiThread initMidiThread;

    // Flags handed between the asking thread and the MIDI thread, which clears them.
    std::atomic<int> awaitingStartupReply { 0 };
    std::atomic<bool> awaitingNameReply { false };
    std::atomic<bool> awaitingAck { false };
    std::atomic<bool> capturing { false };

    // The caught preset (guarded inside; see PresetDump).
    PresetDump storedMessages;

private:
    void setMidiOutput (std::unique_ptr<MidiOutputPort> newOutput);
    void registerForInput (const juce::String& identifier);
    void removeInputRegistrations();

    // Published with std::atomic_load / std::atomic_store only.
    std::shared_ptr<MidiOutputPort> midiOutput;

    // Inputs this processor is registered with. Written by initMidiThread and read
    // by the destructor, both under registrationLock, which also keeps the thread
    // from registering anything once teardown has begun.
    juce::CriticalSection registrationLock;
    juce::StringArray registeredInputs;
    juce::String midiInputIdentifier;
    bool tearingDown = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasaltProcessor)
};
