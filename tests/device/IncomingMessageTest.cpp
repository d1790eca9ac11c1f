// The MIDI-thread handler, called directly on the test thread: each step on its own.

#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"
#include "support/SimulatedUnit.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = SimulatedUnit::Bytes;
using Model = SimulatedUnit::Model;

struct Flags
{
    int startup;
    bool name, ack, capturing;

    bool operator== (const Flags& other) const
    {
        return startup == other.startup && name == other.name && ack == other.ack && capturing == other.capturing;
    }
};

std::ostream& operator<< (std::ostream& os, const Flags& f)
{
    return os << "{startup " << f.startup << ", name " << f.name << ", ack " << f.ack << ", capturing " << f.capturing << "}";
}

constexpr Flags allRaised { 1, true, true, true };
constexpr Flags noneRaised { 0, false, false, false };
constexpr Flags onlyCapturing { 0, false, false, true };

// F0 00 01 74 10 <function>, filler, checksum, F7: totalLength bytes in all.
Bytes fractal (juce::uint8 function, int totalLength, juce::uint8 maker = 0x01)
{
    Bytes bytes { 0xF0, 0x00, maker, maker == 0x01 ? (juce::uint8) 0x74 : (juce::uint8) 0x00, 0x10, function };

    while ((int) bytes.size() < totalLength - 2)
        bytes.push_back ((juce::uint8) (bytes.size() & 0x7F));

    bytes.push_back (SimulatedUnit::checksumOf (bytes));
    bytes.push_back (0xF7);
    bytes.resize ((size_t) totalLength);
    return bytes;
}

Bytes withFirstByte (Bytes bytes, juce::uint8 first)
{
    bytes[0] = first;
    return bytes;
}

Bytes nameReply (const juce::String& name)
{
    return SimulatedUnit::bytesOf (SimulatedUnit::makeNameReply (Model::axeFxIII, 1, SimulatedUnit::makeNameField (name)));
}

struct HostListener final : juce::AudioProcessorListener
{
    std::atomic<int> programChanges { 0 }, otherChanges { 0 };

    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
    {
        ++(details.programChanged ? programChanges : otherChanges);
    }
};

class IncomingMessage : public testing::Test
{
protected:
    IncomingMessage() { processor.addListener (&listener); }
    ~IncomingMessage() override { processor.removeListener (&listener); }

    void setFlags (Flags f)
    {
        processor.awaitingStartupReply = f.startup;
        processor.awaitingNameReply = f.name;
        processor.awaitingAck = f.ack;
        processor.capturing = f.capturing;
    }

    Flags flags() const
    {
        return { processor.awaitingStartupReply.load(), processor.awaitingNameReply.load(), processor.awaitingAck.load(),
                 processor.capturing.load() };
    }

    void feed (const Bytes& bytes) { processor.handleIncomingMidiMessage (nullptr, SimulatedUnit::messageOf (bytes)); }
    void feed (const juce::MidiMessage& message) { processor.handleIncomingMidiMessage (nullptr, message); }

    HostListener listener;
    BasaltProcessor processor { std::make_unique<RecordingPorts> (std::make_shared<RecordingPorts::Calls>()) };
};

struct FlagCase
{
    const char* description;
    Bytes message;
    Flags before, after;
    bool stored;
};

TEST_F (IncomingMessage, EachStepTestsTheMessageOnItsOwn)
{
    const FlagCase cases[] {
        // Name replies: the start-up flag, and the name flag when raised.
        { "name reply clears the start-up flag", nameReply ("Lead"), { 1, false, false, false }, noneRaised, false },
        { "name reply with every flag raised clears start-up and name only", nameReply ("Lead"), allRaised, { 0, false, true, true }, false },
        { "another maker's 42-byte 0x0D counts as a name reply", fractal (0x0D, 42, 0x43), { 1, false, false, false }, noneRaised, false },
        { "41-byte 0x0D matches nothing", fractal (0x0D, 41), allRaised, allRaised, false },
        { "43-byte 0x0D matches nothing", fractal (0x0D, 43), allRaised, allRaised, false },
        { "42-byte 0x0D not starting with F0 matches nothing", withFirstByte (nameReply ("Lead"), 0xF1), allRaised, allRaised, false },

        // Acknowledgements: only the ack flag.
        { "ack clears the ack flag and nothing else", fractal (0x64, 10), allRaised, { 1, true, false, true }, false },
        { "6-byte ack", { 0xF0, 0x00, 0x01, 0x74, 0x10, 0x64 }, { 0, false, true, false }, noneRaised, false },
        { "another maker's ack", fractal (0x64, 8, 0x43), { 0, false, true, false }, noneRaised, false },
        { "ack without F0", withFirstByte (fractal (0x64, 10), 0x00), { 0, false, true, false }, noneRaised, false },

        // Preset messages: stored only while capturing.
        { "0x78 while capturing is stored", fractal (0x78, 300), onlyCapturing, onlyCapturing, true },
        { "0x78 while not capturing is dropped", fractal (0x78, 300), { 1, true, true, false }, { 1, true, true, false }, false },
        { "6-byte 0x77 is stored", { 0xF0, 0x00, 0x01, 0x74, 0x10, 0x77 }, onlyCapturing, onlyCapturing, true },
        { "another maker's 0x78 is stored", fractal (0x78, 64, 0x43), onlyCapturing, onlyCapturing, true },
        { "11-byte 0x79 is stored and ends the capture", fractal (0x79, 11), onlyCapturing, noneRaised, true },
        { "another maker's 11-byte 0x79 ends the capture", fractal (0x79, 11, 0x43), onlyCapturing, noneRaised, true },
        { "12-byte 0x79 is stored and the capture goes on", fractal (0x79, 12), onlyCapturing, onlyCapturing, true },
        { "10-byte 0x79 is stored and the capture goes on", fractal (0x79, 10), onlyCapturing, onlyCapturing, true },
        { "11-byte 0x79 not starting with F0 is stored and the capture goes on", withFirstByte (fractal (0x79, 11), 0xF1), onlyCapturing, onlyCapturing, true },
        { "11-byte 0x79 while not capturing changes nothing", fractal (0x79, 11), { 1, true, true, false }, { 1, true, true, false }, false },
        { "0x76 is not a preset message", fractal (0x76, 40), allRaised, allRaised, false },
        { "0x7A is not a preset message", fractal (0x7A, 40), allRaised, allRaised, false },
        { "name reply while capturing is not stored", nameReply ("Lead"), onlyCapturing, onlyCapturing, false },
        { "ack while capturing is not stored", fractal (0x64, 10), { 0, false, true, true }, onlyCapturing, false },

        // Fewer than 6 bytes: no function code, so nothing at all.
        { "5-byte SysEx", { 0xF0, 0x00, 0x01, 0x74, 0xF7 }, allRaised, allRaised, false },
        { "5 bytes ending in a model byte", { 0xF0, 0x00, 0x01, 0x74, 0x10 }, allRaised, allRaised, false },
        { "note-on", SimulatedUnit::bytesOf (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100)), allRaised, allRaised, false },
        { "clock byte", { 0xF8 }, allRaised, allRaised, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        processor.storedMessages.clear();
        processor.presetName.set ("Before");
        setFlags (c.before);

        feed (c.message);

        EXPECT_EQ (flags(), c.after);
        ASSERT_EQ (processor.storedMessages.size(), c.stored ? 1 : 0);

        if (c.stored)
        {
            EXPECT_EQ (SimulatedUnit::bytesOf (*processor.storedMessages.getMessage (0)), c.message);
        }

        // Only a name reply that was asked for may touch the name.
        const bool nameWasTaken = c.before.name && ! c.after.name;
        EXPECT_EQ (processor.presetName.toString(), nameWasTaken ? "Lead" : "Before");
    }
}

struct NameCase
{
    const char* description;
    std::string field; // the 32 bytes 8..39 of the reply; shorter strings are padded with spaces
    const char* expected;
};

TEST_F (IncomingMessage, NameReplyTakesBytes8To38TrimmedAndCutAtZero)
{
    const NameCase cases[] {
        { "inner spaces kept, trailing spaces trimmed", "Clean  Lead", "Clean  Lead" },
        { "leading spaces kept", "  Lead", "  Lead" },
        { "all spaces give an empty name", "", "" },
        { "every C-locale space is trimmed", std::string ("Lead\t\n\v\f\r \t"), "Lead" },
        { "a full 31-byte name", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234" },
        { "byte 39 never reaches the name", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234X", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234" },
        { "byte 39 does not stop the trim", std::string (31, ' ') + "X", "" },
        { "trim starts at byte 38", std::string ("Name") + std::string (27, ' ') + "X", "Name" },
        { "cut at the first zero byte", std::string ("AB\0CD", 5), "AB" },
        { "trim stops at a zero byte", std::string ("AB  \0", 5), "AB  " },
        { "zeros only", std::string (32, '\0'), "" },
        { "a zero byte first", std::string ("\0Name", 5), "" },
    };

    int expectedChanges = 0;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        auto field = SimulatedUnit::makeNameField ({});
        std::copy (c.field.begin(), c.field.begin() + (std::ptrdiff_t) std::min<size_t> (c.field.size(), 32), field.begin());

        processor.presetName.set ("Before");
        processor.awaitingNameReply = true;

        feed (SimulatedUnit::makeNameReply (Model::axeFxIII, 1, field));

        EXPECT_FALSE (processor.awaitingNameReply.load());
        EXPECT_EQ (processor.presetName.toString(), juce::String (c.expected));
        EXPECT_EQ (processor.getProgramName (0), juce::String (c.expected));
        EXPECT_EQ (listener.programChanges.load(), ++expectedChanges) << "the host hears of every taken name, an empty one too";
    }

    EXPECT_EQ (listener.otherChanges.load(), 0);
}

TEST_F (IncomingMessage, NameReplyNobodyAskedForChangesNothing)
{
    processor.presetName.set ("Kept");
    processor.awaitingNameReply = false;

    feed (nameReply ("Other"));

    EXPECT_EQ (processor.presetName.toString(), "Kept");
    EXPECT_EQ (listener.programChanges.load(), 0);

    // The same reply, asked for, is taken.
    processor.awaitingNameReply = true;
    feed (nameReply ("Other"));
    EXPECT_EQ (processor.presetName.toString(), "Other");
    EXPECT_EQ (listener.programChanges.load(), 1);
}

class WholeDump : public IncomingMessage, public testing::WithParamInterface<Model>
{
};

TEST_P (WholeDump, IsStoredInOrderAndTheClosingMessageEndsTheCapture)
{
    const auto preset = SimulatedUnit::makePreset (GetParam(), 12, "Dump");
    ASSERT_EQ (preset.size(), GetParam() == Model::fm9 ? 10u : 18u);

    processor.capturing = true;

    for (size_t i = 0; i < preset.size(); ++i)
    {
        feed (preset[i]);
        EXPECT_EQ (processor.capturing.load(), i + 1 < preset.size()) << "after message " << i;
    }

    // Once the capture has ended, a late body is not kept.
    feed (preset[1]);

    const auto stored = processor.storedMessages.getMessages();
    ASSERT_EQ (stored.size(), preset.size());

    for (size_t i = 0; i < preset.size(); ++i)
        EXPECT_EQ (SimulatedUnit::bytesOf (stored[i]), SimulatedUnit::bytesOf (preset[i])) << "message " << i;
}

INSTANTIATE_TEST_SUITE_P (Models, WholeDump, testing::Values (Model::axeFxIII, Model::fm9),
                          [] (const auto& p) { return p.param == Model::fm9 ? "FM9" : "AxeFxIII"; });

TEST_F (IncomingMessage, CaptureNeverHoldsMoreThanTheDumpCapacity)
{
    constexpr int capacity = PresetDump::capacity;
    ASSERT_EQ (capacity, 200);

    auto body = [] (int i)
    {
        auto bytes = fractal (0x78, 300);
        bytes[6] = (juce::uint8) (i & 0x7F);
        bytes[7] = (juce::uint8) (i >> 7);
        return bytes;
    };

    processor.capturing = true;

    for (int i = 0; i < 250; ++i)
    {
        feed (body (i));
        ASSERT_LE (processor.storedMessages.size(), capacity) << "after message " << i;
        EXPECT_EQ (processor.capturing.load(), i < capacity) << "after message " << i;
    }

    EXPECT_EQ (processor.storedMessages.size(), capacity);

    // The first 200, in order: nothing was overwritten by the ones past the end.
    for (int i = 0; i < capacity; i += 37)
        EXPECT_EQ (SimulatedUnit::bytesOf (*processor.storedMessages.getMessage (i)), body (i)) << i;

    EXPECT_EQ (SimulatedUnit::bytesOf (*processor.storedMessages.getMessage (capacity - 1)), body (capacity - 1));
}

TEST_F (IncomingMessage, ClosingMessageThatFillsTheDumpIsStoredAndEndsTheCapture)
{
    processor.capturing = true;

    for (int i = 0; i < PresetDump::capacity - 1; ++i)
        feed (fractal (0x78, 100));

    ASSERT_TRUE (processor.capturing.load());
    feed (fractal (0x79, 11));

    EXPECT_FALSE (processor.capturing.load());
    ASSERT_EQ (processor.storedMessages.size(), PresetDump::capacity);
    EXPECT_EQ (SimulatedUnit::bytesOf (*processor.storedMessages.getMessage (PresetDump::capacity - 1)), fractal (0x79, 11));
}
} // namespace
