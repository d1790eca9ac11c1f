// Feeds arbitrary blocks to the state restore, as a damaged or hostile project would.
// After each block the processor must still hold a sane preset, save without harm,
// and restore a good state exactly.

#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize (int*, char***);
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

namespace
{
// One processor for the whole run, as a host keeps one instance across many restores.
struct FuzzHost
{
    juce::ScopedJuceInitialiser_GUI juce;
    std::shared_ptr<RecordingPorts::Calls> calls = std::make_shared<RecordingPorts::Calls>();
    BasaltProcessor processor { std::make_unique<RecordingPorts> (calls) };
    juce::MemoryBlock knownGood; // written by the processor itself
    int knownGoodMessages = 0;
    juce::uint64 runs = 0;
};

FuzzHost& host()
{
    static FuzzHost h;
    return h;
}

[[noreturn]] void fail (const char* what, const juce::String& detail = {})
{
    std::fprintf (stderr, "StateFuzz: %s %s\n", what, detail.toRawUTF8());
    std::abort();
}

juce::MemoryBlock save (BasaltProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

juce::MidiMessage sysEx (std::initializer_list<int> bytes)
{
    juce::MemoryBlock data;

    for (auto b : bytes)
        data.append (&b, 1);

    return juce::MidiMessage (data.getData(), (int) data.getSize());
}

void checkInvariants (BasaltProcessor& processor)
{
    const auto count = processor.storedMessages.size();

    if (count < 0 || count > PresetDump::capacity)
        fail ("dump size out of range:", juce::String (count));

    if ((int) processor.storedMessages.getMessages().size() != count)
        fail ("dump copy disagrees with its count");

    const auto bytes = processor.presetName.getBytes();
    const auto length = std::strlen (bytes.data());

    if (length > PresetName::maxBytes)
        fail ("name longer than 31 bytes");

    if (! juce::CharPointer_UTF8::isValidString (bytes.data(), (int) length))
        fail ("name is not valid UTF-8");
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    auto& h = host();

    // A known state: a short dump, a name and a non-default parameter.
    h.processor.storedMessages.replace ({ sysEx ({ 0xF0, 0x00, 0x01, 0x74, 0x10, 0x77, 0x01, 0x02, 0x03, 0x62, 0xF7 }),
                                          sysEx ({ 0xF0, 0x00, 0x01, 0x74, 0x10, 0x78, 0x7F, 0x00, 0x40, 0x3D, 0xF7 }),
                                          sysEx ({ 0xF0, 0x00, 0x01, 0x74, 0x10, 0x79, 0x11, 0x22, 0x5E, 0xF7 }) });
    h.processor.presetName.set ("Known Good");

    if (auto* mode = h.processor.parameters.getParameter ("MODE"))
        mode->setValueNotifyingHost (0.25f);

    h.knownGood = save (h.processor);
    h.knownGoodMessages = h.processor.storedMessages.size();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t) std::numeric_limits<int>::max())
        return 0;

    auto& h = host();
    auto& processor = h.processor;

    processor.setStateInformation (data, (int) size);
    checkInvariants (processor);

    // Whatever was accepted must save, and that save must restore to itself.
    const auto saved = save (processor);
    processor.setStateInformation (saved.getData(), (int) saved.getSize());
    checkInvariants (processor);

    if (save (processor) != saved)
        fail ("a saved state does not restore to itself");

    // Every few inputs (and on the first, so a single saved input reproduces): a good
    // state still restores exactly, whatever came before it.
    if (h.runs++ % 8 == 0)
    {
        processor.setStateInformation (h.knownGood.getData(), (int) h.knownGood.getSize());

        if (processor.storedMessages.size() != h.knownGoodMessages)
            fail ("known state restored the wrong number of messages");

        if (processor.presetName.toString() != "Known Good")
            fail ("known state restored the wrong name:", processor.presetName.toString());

        if (save (processor) != h.knownGood)
            fail ("known state does not save back byte for byte");
    }

    return 0;
}
