// Feeds the MIDI-thread handler any run of messages, in any flag state, and checks
// after each one that the dump never passes its capacity, that the name stays
// short valid UTF-8, and that each step only does what it may.
//
// Input layout, repeated: a control byte, a length byte, then message bytes.
//   control bit 7: set the four flags from bits 0..3 (capturing, name, ack, start-up)
//   control bit 6: build a message of this maker from bits 4..5
//                  (0: 42-byte 0x0D, 1: 0x78, 2: 0x79, 3: 0x64), the data filling it
//   otherwise the message is the next (length + 1) bytes as they are.

#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <cstring>

namespace
{
struct Harness
{
    juce::ScopedJuceInitialiser_GUI juce; // callAsync posts only while a message manager exists
    BasaltProcessor processor { std::make_unique<RecordingPorts> (std::make_shared<RecordingPorts::Calls>()) };
};

Harness* harness = nullptr;

void check (bool condition, const char* what)
{
    if (! condition)
    {
        std::fprintf (stderr, "HandlerFuzz: %s\n", what);
        __builtin_trap();
    }
}

struct State
{
    int startup;
    bool name, ack, capturing;
    int stored;
    PresetName::Bytes nameBytes;

    bool sameFlags (const State& o) const
    {
        return startup == o.startup && name == o.name && ack == o.ack && capturing == o.capturing;
    }
};

State stateOf (const BasaltProcessor& p)
{
    return { p.awaitingStartupReply.load(), p.awaitingNameReply.load(), p.awaitingAck.load(), p.capturing.load(),
             p.storedMessages.size(), p.presetName.getBytes() };
}

class Reader
{
public:
    Reader (const uint8_t* d, size_t s) : data (d), size (s) {}

    bool empty() const { return pos >= size; }
    uint8_t next() { return pos < size ? data[pos++] : 0x20; }
    size_t remaining() const { return size - pos; }

private:
    const uint8_t* data;
    size_t size, pos = 0;
};

std::vector<juce::uint8> buildMessage (Reader& in, juce::uint8 control)
{
    const int length = in.next();
    std::vector<juce::uint8> bytes;

    if ((control & 0x40) == 0)
    {
        const auto total = std::min<size_t> ((size_t) length + 1, std::max<size_t> (in.remaining(), 1));

        for (size_t i = 0; i < total; ++i)
            bytes.push_back (in.next());

        return bytes;
    }

    static constexpr juce::uint8 functions[] { 0x0D, 0x78, 0x79, 0x64 };
    const auto function = functions[(control >> 4) & 3];
    bytes = { 0xF0, 0x00, 0x01, 0x74, 0x10, function };

    size_t total = 6 + (size_t) length;

    if (function == 0x0D)
        total = 42;
    else if (function == 0x79)
        total = (length & 1) != 0 ? 11 : 6 + (size_t) (length >> 1);

    while (bytes.size() < total)
        bytes.push_back (in.next());

    return bytes;
}

bool isNameReply (const std::vector<juce::uint8>& m)
{
    return m.size() == 42 && m[0] == 0xF0 && m[5] == 0x0D;
}

bool isPresetMessage (const std::vector<juce::uint8>& m)
{
    return m.size() >= 6 && m[5] >= 0x77 && m[5] <= 0x79;
}

void checkName (const PresetName::Bytes& bytes)
{
    check (bytes[PresetName::maxBytes] == 0, "name buffer not terminated");
    const auto length = std::strlen (bytes.data());
    check (length <= PresetName::maxBytes, "name longer than 31 bytes");
    check (juce::CharPointer_UTF8::isValidString (bytes.data(), (int) length), "name is not valid UTF-8");
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    // Kept for the whole run: one processor serves every input.
    harness = new Harness();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& p = harness->processor;
    p.storedMessages.clear();
    p.presetName.set ({});
    p.awaitingStartupReply = 0;
    p.awaitingNameReply = false;
    p.awaitingAck = false;
    p.capturing = false;

    Reader in (data, size);
    bool namesPosted = false;

    while (! in.empty())
    {
        const auto control = in.next();

        if ((control & 0x80) != 0)
        {
            p.capturing = (control & 1) != 0;
            p.awaitingNameReply = (control & 2) != 0;
            p.awaitingAck = (control & 4) != 0;
            p.awaitingStartupReply = (control & 8) != 0 ? 1 : 0;
        }

        if (in.empty())
            break;

        const auto bytes = buildMessage (in, control);
        const auto before = stateOf (p);

        p.handleIncomingMidiMessage (nullptr, juce::MidiMessage (bytes.data(), (int) bytes.size(), 0.0));

        const auto after = stateOf (p);

        check (after.stored <= PresetDump::capacity, "dump holds more than its capacity");
        check (after.stored == before.stored || after.stored == before.stored + 1, "more than one message stored");
        checkName (after.nameBytes);

        if (bytes.size() < 6)
        {
            check (before.sameFlags (after) && after.stored == before.stored && after.nameBytes == before.nameBytes,
                   "a message shorter than 6 bytes changed something");
        }

        if (after.stored > before.stored)
            check (before.capturing && isPresetMessage (bytes), "stored something that is not a captured preset message");

        if (after.nameBytes != before.nameBytes || (before.name && ! after.name))
            check (before.name && isNameReply (bytes), "name taken without a name reply that was asked for");

        if (before.startup != after.startup)
            check (isNameReply (bytes) && after.startup == 0, "start-up flag changed by something other than a name reply");

        if (before.capturing && ! after.capturing)
            check (isPresetMessage (bytes), "capture ended by something other than a preset message");

        check (after.capturing == before.capturing || ! after.capturing, "capture started by a message");
        check (after.ack == before.ack || ! after.ack, "ack flag raised by a message");

        namesPosted = namesPosted || (before.name && ! after.name);
    }

    // Let the message thread run the clipboard copies the replies posted, so they never pile up.
    if (namesPosted)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (0);

    return 0;
}
