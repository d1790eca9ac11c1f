#include "device/SysEx.h"

namespace SysEx
{
namespace
{
constexpr int functionCodeIndex = 5;

int functionCodeOf (const juce::MidiMessage& message) noexcept
{
    if (message.getRawDataSize() <= functionCodeIndex)
        return -1;

    return message.getRawData()[functionCodeIndex];
}

bool startsWithSysExStatus (const juce::MidiMessage& message) noexcept
{
    return message.getRawDataSize() > 0 && message.getRawData()[0] == 0xF0;
}

juce::MidiMessage makeRequest (juce::uint8 modelByte, FunctionCode function)
{
    juce::uint8 bytes[] { 0xF0, 0x00, 0x01, 0x74, modelByte, function, 0x7F, 0x7F, 0x00, 0xF7 };
    bytes[8] = checksum (bytes, 8);
    return juce::MidiMessage (bytes, (int) sizeof (bytes), 0.0);
}

// The C locale's space class.
bool isWhitespace (juce::uint8 byte) noexcept
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}
} // namespace

juce::uint8 checksum (const juce::uint8* bytes, size_t numBytes) noexcept
{
    juce::uint8 sum = 0;

    for (size_t i = 0; i < numBytes; ++i)
        sum ^= bytes[i];

    return (juce::uint8) (sum & 0x7F);
}

juce::MidiMessage makePresetNameQuery (juce::uint8 modelByte) { return makeRequest (modelByte, presetName); }
juce::MidiMessage makePresetRequest (juce::uint8 modelByte) { return makeRequest (modelByte, presetRequest); }

bool isNameReply (const juce::MidiMessage& message) noexcept
{
    return functionCodeOf (message) == presetName && message.getRawDataSize() == nameReplyLength
           && startsWithSysExStatus (message);
}

bool isPresetMessage (const juce::MidiMessage& message) noexcept
{
    const auto function = functionCodeOf (message);
    return function == presetHeader || function == presetBody || function == presetFooter;
}

bool isLastPresetMessage (const juce::MidiMessage& message) noexcept
{
    return functionCodeOf (message) == presetFooter && message.getRawDataSize() == lastPresetMessageLength
           && startsWithSysExStatus (message);
}

bool isAcknowledgement (const juce::MidiMessage& message) noexcept
{
    return functionCodeOf (message) == acknowledgement;
}

juce::String readPresetName (const juce::MidiMessage& nameReply)
{
    jassert (isNameReply (nameReply));

    juce::uint8 field[nameFieldLength];
    std::memcpy (field, nameReply.getRawData() + nameFieldOffset, sizeof (field));

    // Trim from the right only; the walk stops at the first byte that is not
    // whitespace (a zero byte included), so inner spaces survive.
    for (int i = nameFieldLength - 1; i >= 0 && isWhitespace (field[i]); --i)
        field[i] = 0;

    // The unit sends 7-bit text; any other byte is taken as the character of that code.
    juce::String name;

    for (auto byte : field)
    {
        if (byte == 0)
            break;

        name += juce::String::charToString ((juce::juce_wchar) byte);
    }

    return name;
}

int expectedPresetMessages (juce::uint8 modelByte) noexcept
{
    return modelByte == fm9Model ? 10 : 18;
}
} // namespace SysEx
