#include "device/PresetDump.h"

#include <gtest/gtest.h>

namespace
{
juce::MidiMessage numbered (int n, int length = 20)
{
    std::vector<juce::uint8> bytes ((size_t) length, (juce::uint8) (n & 0x7F));
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return juce::MidiMessage (bytes.data(), length, 0.0);
}

bool sameBytes (const juce::MidiMessage& a, const juce::MidiMessage& b)
{
    return a.getRawDataSize() == b.getRawDataSize()
           && std::memcmp (a.getRawData(), b.getRawData(), (size_t) a.getRawDataSize()) == 0;
}

TEST (PresetDump, KeepsMessagesInOrderUpToItsCapacity)
{
    PresetDump dump;

    for (int i = 0; i < PresetDump::capacity; ++i)
        ASSERT_TRUE (dump.append (numbered (i, 10 + i)));

    EXPECT_FALSE (dump.append (numbered (999)));
    EXPECT_EQ (dump.size(), PresetDump::capacity);

    const auto messages = dump.getMessages();
    ASSERT_EQ ((int) messages.size(), PresetDump::capacity);

    for (int i = 0; i < PresetDump::capacity; ++i)
    {
        EXPECT_TRUE (sameBytes (messages[(size_t) i], numbered (i, 10 + i))) << i;
        EXPECT_TRUE (sameBytes (*dump.getMessage (i), numbered (i, 10 + i))) << i;
    }

    EXPECT_FALSE (dump.getMessage (-1).has_value());
    EXPECT_FALSE (dump.getMessage (PresetDump::capacity).has_value());
}

TEST (PresetDump, ClearAndReplaceStartOver)
{
    PresetDump dump;
    dump.append (numbered (1));
    dump.append (numbered (2));

    dump.clear();
    EXPECT_EQ (dump.size(), 0);
    EXPECT_TRUE (dump.getMessages().empty());
    EXPECT_FALSE (dump.getMessage (0).has_value());

    std::vector<juce::MidiMessage> tooMany;
    for (int i = 0; i < PresetDump::capacity + 5; ++i)
        tooMany.push_back (numbered (i));

    dump.replace (tooMany);
    EXPECT_EQ (dump.size(), PresetDump::capacity);
    EXPECT_TRUE (sameBytes (*dump.getMessage (PresetDump::capacity - 1), numbered (PresetDump::capacity - 1)));

    dump.replace ({ numbered (7) });
    EXPECT_EQ (dump.size(), 1);
    EXPECT_TRUE (sameBytes (*dump.getMessage (0), numbered (7)));
}
} // namespace
