#include "device/SysEx.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<juce::uint8>;

Bytes bytesOf (const juce::MidiMessage& message)
{
    return { message.getRawData(), message.getRawData() + message.getRawDataSize() };
}

juce::MidiMessage messageOf (const Bytes& bytes)
{
    return juce::MidiMessage (bytes.data(), (int) bytes.size(), 0.0);
}

// A message of the given length: F0 00 01 74 10 <function>, filler, F7.
Bytes frame (juce::uint8 function, size_t length, juce::uint8 first = 0xF0)
{
    Bytes bytes (length, 0x20);
    const juce::uint8 head[] { first, 0x00, 0x01, 0x74, 0x10, function };

    for (size_t i = 0; i < std::min (length, sizeof (head)); ++i)
        bytes[i] = head[i];

    if (length > sizeof (head))
        bytes.back() = 0xF7;

    return bytes;
}

TEST (SysEx, RequestsByteForByte)
{
    struct Case
    {
        juce::uint8 model;
        Bytes nameQuery, presetRequest;
    };

    const Case cases[] {
        { 0x10,
          { 0xF0, 0x00, 0x01, 0x74, 0x10, 0x0D, 0x7F, 0x7F, 0x18, 0xF7 },
          { 0xF0, 0x00, 0x01, 0x74, 0x10, 0x03, 0x7F, 0x7F, 0x16, 0xF7 } },
        { 0x12,
          { 0xF0, 0x00, 0x01, 0x74, 0x12, 0x0D, 0x7F, 0x7F, 0x1A, 0xF7 },
          { 0xF0, 0x00, 0x01, 0x74, 0x12, 0x03, 0x7F, 0x7F, 0x14, 0xF7 } },
    };

    for (const auto& c : cases)
    {
        const auto query = SysEx::makePresetNameQuery (c.model);
        const auto request = SysEx::makePresetRequest (c.model);

        EXPECT_EQ (bytesOf (query), c.nameQuery) << int (c.model);
        EXPECT_EQ (bytesOf (request), c.presetRequest) << int (c.model);
        EXPECT_EQ (query.getTimeStamp(), 0.0);
        EXPECT_TRUE (query.isSysEx());
    }
}

TEST (SysEx, ChecksumIsTheXorOfEveryByteMaskedTo7Bits)
{
    const juce::uint8 bytes[] { 0xF0, 0x00, 0x01, 0x74, 0x10, 0x0D, 0x7F, 0x7F };
    EXPECT_EQ (SysEx::checksum (bytes, sizeof (bytes)), 0x18);

    // The F0 sets the top bit of the running XOR; the mask takes it off.
    const juce::uint8 single[] { 0xF0 };
    EXPECT_EQ (SysEx::checksum (single, 1), 0x70);
    EXPECT_EQ (SysEx::checksum (single, 0), 0x00);

    for (juce::uint8 model : { 0x10, 0x12 })
    {
        EXPECT_EQ (bytesOf (SysEx::makePresetNameQuery (model))[8], (model & 0x7F) ^ 0x08);
        EXPECT_EQ (bytesOf (SysEx::makePresetRequest (model))[8], (model & 0x7F) ^ 0x06);
    }
}

TEST (SysEx, RecognisesIncomingMessagesByFunctionCodeLengthAndFirstByte)
{
    struct Case
    {
        const char* description;
        Bytes bytes;
        bool nameReply, preset, lastPreset, acknowledgement;
    };

    Bytes otherMaker = frame (0x78, 300);
    otherMaker[1] = 0x43;
    otherMaker[3] = 0x12;

    Bytes badChecksum = frame (0x77, 20);
    badChecksum[18] = 0x55;

    const Case cases[] {
        { "42-byte name reply", frame (0x0D, 42), true, false, false, false },
        { "41-byte 0x0D", frame (0x0D, 41), false, false, false, false },
        { "43-byte 0x0D", frame (0x0D, 43), false, false, false, false },
        { "42-byte 0x0D not starting with F0", frame (0x0D, 42, 0xF1), false, false, false, false },
        { "0x77 preset header", frame (0x77, 20), false, true, false, false },
        { "0x78 preset body", frame (0x78, 300), false, true, false, false },
        { "0x78 of another maker", otherMaker, false, true, false, false },
        { "0x77 with a wrong checksum", badChecksum, false, true, false, false },
        { "11-byte 0x79", frame (0x79, 11), false, true, true, false },
        { "12-byte 0x79", frame (0x79, 12), false, true, false, false },
        { "10-byte 0x79", frame (0x79, 10), false, true, false, false },
        { "11-byte 0x79 not starting with F0", frame (0x79, 11, 0x00), false, true, false, false },
        { "6-byte 0x64", frame (0x64, 6), false, false, false, true },
        { "0x64 of any length and maker", { 0x90, 0x40, 0x7F, 0x00, 0x00, 0x64, 0x01, 0x02 }, false, false, false, true },
        { "5 bytes: no function code", { 0xF0, 0x00, 0x01, 0x74, 0xF7 }, false, false, false, false },
        { "1 byte", { 0xF0 }, false, false, false, false },
        { "a request of our own", bytesOf (SysEx::makePresetRequest (0x10)), false, false, false, false },
        { "unknown function code", frame (0x01, 12), false, false, false, false },
    };

    for (const auto& c : cases)
    {
        const auto message = messageOf (c.bytes);
        EXPECT_EQ (SysEx::isNameReply (message), c.nameReply) << c.description;
        EXPECT_EQ (SysEx::isPresetMessage (message), c.preset) << c.description;
        EXPECT_EQ (SysEx::isLastPresetMessage (message), c.lastPreset) << c.description;
        EXPECT_EQ (SysEx::isAcknowledgement (message), c.acknowledgement) << c.description;
    }
}

TEST (SysEx, ExpectedPresetLengthFollowsTheModel)
{
    EXPECT_EQ (SysEx::expectedPresetMessages (SysEx::axeFxIIIModel), 18);
    EXPECT_EQ (SysEx::expectedPresetMessages (SysEx::fm9Model), 10);
}
} // namespace
