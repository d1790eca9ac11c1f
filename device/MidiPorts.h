#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

/** An open MIDI output: all sending to the unit goes through one of these. */
class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;
    virtual void sendMessageNow (const juce::MidiMessage& message) = 0;
};

/** The system's MIDI ports, as the device link uses them.

    The plug-in's default is JuceMidiPorts (the framework's MidiInput, MidiOutput
    and AudioDeviceManager); tests and tools hand the processor a simulated unit.
    Lists come in the system's order. Inputs deliver through the callbacks
    registered for them, on a thread of the implementation's own.
*/
class MidiPorts
{
public:
    virtual ~MidiPorts() = default;

    virtual juce::Array<juce::MidiDeviceInfo> getAvailableOutputs() = 0;
    virtual juce::Array<juce::MidiDeviceInfo> getAvailableInputs() = 0;

    /** Null when the output cannot be opened. */
    virtual std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) = 0;

    virtual bool isInputEnabled (const juce::String& identifier) = 0;
    virtual void setInputEnabled (const juce::String& identifier, bool enabled) = 0;

    /** Registers a callback; an input that is not enabled delivers nothing. */
    virtual void addInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback) = 0;

    /** Once this returns, the callback is not running and will not be called again for this input. */
    virtual void removeInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback) = 0;
};
