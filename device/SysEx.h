#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// The unit's SysEx dialect: F0 00 01 74, model byte, function code, payload,
// checksum, F7. Only the short requests are built here; everything else the
// plug-in sends is a message the unit sent earlier, kept byte for byte.
namespace SysEx
{
constexpr juce::uint8 axeFxIIIModel = 0x10;
constexpr juce::uint8 fm9Model = 0x12;

enum FunctionCode : juce::uint8
{
    presetRequest = 0x03,
    presetName = 0x0D,
    acknowledgement = 0x64,
    presetHeader = 0x77,
    presetBody = 0x78,
    presetFooter = 0x79
};

constexpr int nameReplyLength = 42;
constexpr int lastPresetMessageLength = 11;
constexpr int nameFieldOffset = 8;
constexpr int nameFieldLength = 31; // of the 32-byte field, the last byte is never read

/** XOR of every byte given, masked to 7 bits. */
juce::uint8 checksum (const juce::uint8* bytes, size_t numBytes) noexcept;

juce::MidiMessage makePresetNameQuery (juce::uint8 modelByte);
juce::MidiMessage makePresetRequest (juce::uint8 modelByte);

bool isNameReply (const juce::MidiMessage&) noexcept;
bool isPresetMessage (const juce::MidiMessage&) noexcept;
bool isLastPresetMessage (const juce::MidiMessage&) noexcept;
bool isAcknowledgement (const juce::MidiMessage&) noexcept;

/** The preset name carried by a name reply, with trailing whitespace trimmed
    and cut at the first zero byte. Call only for a message that isNameReply. */
juce::String readPresetName (const juce::MidiMessage& nameReply);

/** How many preset messages a unit of this model sends; used only to draw progress. */
int expectedPresetMessages (juce::uint8 modelByte) noexcept;
} // namespace SysEx
