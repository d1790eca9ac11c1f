#include "plugin/BasaltProcessor.h"

#include "device/SysEx.h"

// MIDI input thread. Each step tests the message on its own, so one message can
// take part in several. Nothing here waits on another thread.
void BasaltProcessor::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    const bool isNameReply = SysEx::isNameReply (message);

    // The unit answers: the link is alive.
    if (isNameReply)
        awaitingStartupReply = 0;

    if (capturing.load() && SysEx::isPresetMessage (message))
    {
        // A full dump ends the capture rather than drop the rest in silence.
        const bool stored = storedMessages.append (message);

        if (! stored || SysEx::isLastPresetMessage (message))
            capturing = false;
    }

    if (isNameReply && awaitingNameReply.exchange (false))
    {
        const auto name = presetName.set (SysEx::readPresetName (message));

        // On Linux the clipboard belongs to the message thread; hand it the name
        // as this reply stored it.
        juce::MessageManager::callAsync ([name]
                                         { juce::SystemClipboard::copyTextToClipboard (name); });

        updateHostDisplay (juce::AudioProcessorListener::ChangeDetails().withProgramChanged (true));
    }

    if (SysEx::isAcknowledgement (message))
        awaitingAck = false;
}
