#include "plugin/BasaltProcessor.h"

#include "plugin/Parameters.h"
#include "plugin/StateReading.h"

// The saved state is the parameter tree in the framework's binary XML wrapping,
// with one "PresetMsgN" child per stored message and a "PresetName" child:
//
//   <Parameters><PARAM id="MODE" value="1.0"/>
//     <PresetMsg0 theProperty="[240, 0, 1, ...]"/><PresetName theProperty="..."/>
//     <PresetMsg1 .../>...</Parameters>
//
// Projects written by every earlier build must keep loading the same, so the
// names, the text form and the order of the children are fixed.

namespace
{
const juce::Identifier presetNameType { "PresetName" };
const juce::Identifier valueProperty { "theProperty" };
const juce::String presetMessagePrefix { "PresetMsg" };

juce::Identifier presetMessageType (int index)
{
    return presetMessagePrefix + juce::String (index);
}

juce::String messageToText (const juce::MidiMessage& message)
{
    juce::Array<juce::var> bytes;

    for (int i = 0; i < message.getRawDataSize(); ++i)
        bytes.add ((int) message.getRawData()[i]);

    return juce::JSON::toString (bytes, true);
}

// Drops the message children at or above the live count, so that a save never
// carries the tail of an older, longer dump.
void removeStaleMessages (juce::ValueTree& state, int liveCount)
{
    for (int i = state.getNumChildren(); --i >= 0;)
    {
        const auto type = state.getChild (i).getType().toString();
        const auto index = type.fromFirstOccurrenceOf (presetMessagePrefix, false, false);

        if (type.startsWith (presetMessagePrefix) && index.isNotEmpty() && index.containsOnly ("0123456789")
            && index.getIntValue() >= liveCount)
            state.removeChild (i, nullptr);
    }
}
} // namespace

//==============================================================================
// Host's state thread.
void BasaltProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto state = parameters.copyState();
    const auto messages = storedMessages.getMessages();

    removeStaleMessages (state, (int) messages.size());

    for (size_t k = 0; k < messages.size(); ++k)
    {
        state.getOrCreateChildWithName (presetMessageType ((int) k), nullptr)
            .setProperty (valueProperty, messageToText (messages[k]), nullptr);

        // Earlier builds put the name right after the first message; keep that order.
        if (k == 0)
            state.getOrCreateChildWithName (presetNameType, nullptr);
    }

    // Also refreshes a name that an earlier restore left in the tree, so the saved
    // name always agrees with the program name.
    if (auto nameChild = state.getChildWithName (presetNameType); nameChild.isValid())
        nameChild.setProperty (valueProperty, presetName.toString(), nullptr);

    if (const auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void BasaltProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // A block that is not one of our states leaves everything as it was.
    const auto xml = readStateXml (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (parameters.state.getType().toString()))
        return;

    const auto newState = juce::ValueTree::fromXml (*xml);
    std::vector<juce::MidiMessage> messages;

    // Reads as many messages as a save can write; a gap in the indices ends the reading.
    for (int k = 0; k < PresetDump::capacity; ++k)
    {
        const auto child = newState.getChildWithName (presetMessageType (k));

        if (! child.isValid())
            break;

        if (auto message = messageFromText (child.getProperty (valueProperty).toString()))
            messages.push_back (std::move (*message));
    }

    const auto nameChild = newState.getChildWithName (presetNameType);

    parameters.replaceState (newState);
    storedMessages.replace (messages);

    if (nameChild.isValid())
        presetName.set (nameChild.getProperty (valueProperty).toString());
}
