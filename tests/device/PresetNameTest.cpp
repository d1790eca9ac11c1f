#include "device/PresetName.h"

#include <gtest/gtest.h>

namespace
{
TEST (PresetName, StartsEmptyAndKeepsAtMost31BytesOfWholeCharacters)
{
    struct Case
    {
        const char* description;
        juce::String text;
        juce::String stored;
    };

    const auto e = juce::String::fromUTF8 ("\xc3\xa9");     // two bytes
    const auto note = juce::String::fromUTF8 ("\xe2\x99\xab"); // three bytes

    const Case cases[] {
        { "empty", "", "" },
        { "short", "Clean  Lead", "Clean  Lead" },
        { "exactly 31 bytes", juce::String::repeatedString ("a", 31), juce::String::repeatedString ("a", 31) },
        { "40 characters", "0123456789012345678901234567890123456789", "0123456789012345678901234567890" },
        { "two-byte character across the cut", juce::String::repeatedString ("a", 30) + e, juce::String::repeatedString ("a", 30) },
        { "two-byte character ending at the cut", juce::String::repeatedString ("a", 29) + e + "b", juce::String::repeatedString ("a", 29) + e },
        { "three-byte character across the cut", juce::String::repeatedString ("a", 29) + note, juce::String::repeatedString ("a", 29) },
        { "all multi-byte", juce::String::repeatedString (e, 20), juce::String::repeatedString (e, 15) },
    };

    for (const auto& c : cases)
    {
        PresetName name;
        EXPECT_EQ (name.toString(), "");

        EXPECT_EQ (name.set (c.text), c.stored) << c.description;
        EXPECT_EQ (name.toString(), c.stored) << c.description;

        const auto bytes = name.getBytes();
        EXPECT_EQ (bytes[31], 0) << c.description;
        EXPECT_TRUE (juce::CharPointer_UTF8::isValidString (bytes.data(), 32)) << c.description;

        // Zero-filled after the text.
        const auto length = std::strlen (bytes.data());
        for (size_t i = length; i < bytes.size(); ++i)
            EXPECT_EQ (bytes[i], 0) << c.description << " at " << i;
    }
}

TEST (PresetName, ReplacingALongNameWithAShortOneLeavesNoTail)
{
    PresetName name;
    name.set ("A very long preset name indeed!");
    name.set ("Hi");
    EXPECT_EQ (name.toString(), "Hi");
    EXPECT_EQ (name.getBytes()[2], 0);
    EXPECT_EQ (name.getBytes()[3], 0);
}
} // namespace
