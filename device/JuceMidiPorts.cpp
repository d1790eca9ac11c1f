#include "device/JuceMidiPorts.h"

namespace
{
class JuceMidiOutputPort final : public MidiOutputPort
{
public:
    explicit JuceMidiOutputPort (std::unique_ptr<juce::MidiOutput> outputToUse) : output (std::move (outputToUse)) {}

    void sendMessageNow (const juce::MidiMessage& message) override { output->sendMessageNow (message); }

private:
    std::unique_ptr<juce::MidiOutput> output;
};
} // namespace

juce::Array<juce::MidiDeviceInfo> JuceMidiPorts::getAvailableOutputs()
{
    return juce::MidiOutput::getAvailableDevices();
}

juce::Array<juce::MidiDeviceInfo> JuceMidiPorts::getAvailableInputs()
{
    return juce::MidiInput::getAvailableDevices();
}

std::unique_ptr<MidiOutputPort> JuceMidiPorts::openOutput (const juce::String& identifier)
{
    if (auto output = juce::MidiOutput::openDevice (identifier))
        return std::make_unique<JuceMidiOutputPort> (std::move (output));

    return nullptr;
}

bool JuceMidiPorts::isInputEnabled (const juce::String& identifier)
{
    return deviceManager.isMidiInputDeviceEnabled (identifier);
}

void JuceMidiPorts::setInputEnabled (const juce::String& identifier, bool enabled)
{
    deviceManager.setMidiInputDeviceEnabled (identifier, enabled);
}

void JuceMidiPorts::addInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback)
{
    deviceManager.addMidiInputDeviceCallback (identifier, callback);
}

void JuceMidiPorts::removeInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback)
{
    deviceManager.removeMidiInputDeviceCallback (identifier, callback);
}
