#pragma once

#include "device/MidiPorts.h"

/** The real ports, through the framework: ALSA on Linux, CoreMIDI on macOS.

    The device manager is never initialised for audio; it only keeps the unit's
    inputs open and calls the registered callbacks on the framework's MIDI thread.
*/
class JuceMidiPorts final : public MidiPorts
{
public:
    juce::Array<juce::MidiDeviceInfo> getAvailableOutputs() override;
    juce::Array<juce::MidiDeviceInfo> getAvailableInputs() override;
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) override;
    bool isInputEnabled (const juce::String& identifier) override;
    void setInputEnabled (const juce::String& identifier, bool enabled) override;
    void addInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback) override;
    void removeInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback) override;

private:
    juce::AudioDeviceManager deviceManager;
};
