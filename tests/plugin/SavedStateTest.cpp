#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<juce::uint8>;

struct Instance
{
    std::shared_ptr<RecordingPorts::Calls> calls = std::make_shared<RecordingPorts::Calls>();
    BasaltProcessor processor { std::make_unique<RecordingPorts> (calls) };

    juce::MemoryBlock save()
    {
        juce::MemoryBlock block;
        processor.getStateInformation (block);
        return block;
    }

    void restore (const juce::MemoryBlock& block) { processor.setStateInformation (block.getData(), (int) block.getSize()); }

    std::vector<Bytes> dump() const
    {
        std::vector<Bytes> result;

        for (const auto& m : processor.storedMessages.getMessages())
            result.emplace_back (m.getRawData(), m.getRawData() + m.getRawDataSize());

        return result;
    }

    float mode() const { return processor.parameters.getRawParameterValue ("MODE")->load(); }
};

juce::MidiMessage messageOf (const Bytes& bytes)
{
    return juce::MidiMessage (bytes.data(), (int) bytes.size(), 0.0);
}

// A block in the saved-state wrapping around any XML text.
juce::MemoryBlock blockFromXml (const juce::String& xmlText)
{
    juce::MemoryBlock block;
    const auto xml = juce::parseXML (xmlText);
    jassert (xml != nullptr);
    juce::AudioProcessor::copyXmlToBinary (*xml, block);
    return block;
}

juce::String xmlTextOf (const juce::MemoryBlock& block)
{
    return juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8, (int) block.getSize() - 9);
}

// A block with the given header and text, built by hand.
juce::MemoryBlock rawBlock (juce::uint32 magic, juce::int32 length, const char* text)
{
    juce::MemoryBlock block;
    juce::MemoryOutputStream out (block, false);
    out.writeInt ((int) magic);
    out.writeInt (length);
    out.write (text, std::strlen (text));
    out.writeByte (0);
    return block;
}

// An Axe-Fx III-like dump: 0x77, sixteen 0x78s, an 11-byte 0x79.
std::vector<Bytes> axeFxDump()
{
    std::vector<Bytes> dump;
    auto make = [] (juce::uint8 function, size_t length, int seed)
    {
        Bytes bytes (length);
        bytes[0] = 0xF0;
        bytes[1] = 0x00;
        bytes[2] = 0x01;
        bytes[3] = 0x74;
        bytes[4] = 0x10;
        bytes[5] = function;

        for (size_t i = 6; i < length - 1; ++i)
            bytes[i] = (juce::uint8) ((seed * 31 + (int) i * 7) & 0x7F);

        bytes[length - 1] = 0xF7;
        return bytes;
    };

    dump.push_back (make (0x77, 13, 0));

    for (int i = 1; i <= 16; ++i)
        dump.push_back (make (0x78, 200 + (size_t) i, i));

    dump.push_back (make (0x79, 11, 17));
    return dump;
}

void fill (BasaltProcessor& processor, const std::vector<Bytes>& dump)
{
    processor.storedMessages.clear();

    for (const auto& bytes : dump)
        processor.storedMessages.append (messageOf (bytes));
}

TEST (SavedState, FreshInstanceWritesTheWrappedParameterTreeOnly)
{
    Instance instance;
    instance.processor.presetName.set ("Shown but not saved");
    const auto block = instance.save();
    const auto* bytes = static_cast<const juce::uint8*> (block.getData());

    ASSERT_GT (block.getSize(), 9u);
    EXPECT_EQ (Bytes (bytes, bytes + 4), (Bytes { 'V', 'C', '2', '!' }));
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), block.getSize() - 9);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);

    EXPECT_EQ (xmlTextOf (block),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <Parameters><PARAM id=\"MODE\" value=\"1.0\"/></Parameters>");
}

TEST (SavedState, DumpIsWrittenAsNumberedChildrenWithTheNameAfterTheFirst)
{
    Instance instance;
    fill (instance.processor, { { 240, 5, 247 }, { 240, 0, 1, 116, 16, 121, 0, 0, 0, 0, 247 }, { 0, 127, 128, 255 } });
    instance.processor.presetName.set ("Clean  Lead");

    EXPECT_EQ (xmlTextOf (instance.save()),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <Parameters><PARAM id=\"MODE\" value=\"1.0\"/>"
               "<PresetMsg0 theProperty=\"[240, 5, 247]\"/>"
               "<PresetName theProperty=\"Clean  Lead\"/>"
               "<PresetMsg1 theProperty=\"[240, 0, 1, 116, 16, 121, 0, 0, 0, 0, 247]\"/>"
               "<PresetMsg2 theProperty=\"[0, 127, 128, 255]\"/>"
               "</Parameters>");
}

TEST (SavedState, RoundTripIntoAFreshInstanceByteForByteAndSendsNothing)
{
    Instance source;
    const auto dump = axeFxDump();
    fill (source.processor, dump);
    source.processor.presetName.set (juce::String::fromUTF8 ("Caf\xc3\xa9 Crunch"));
    *source.processor.parameters.getRawParameterValue ("MODE") = 0.25f;
    source.processor.parameters.getParameter ("MODE")->setValueNotifyingHost (0.25f);

    const auto block = source.save();

    Instance target;
    target.restore (block);

    EXPECT_EQ (target.dump(), dump);
    EXPECT_EQ (target.processor.getProgramName (0), juce::String::fromUTF8 ("Caf\xc3\xa9 Crunch"));
    EXPECT_FLOAT_EQ (target.mode(), 0.25f);
    EXPECT_EQ (target.save(), block);

    EXPECT_EQ (target.calls->total(), 0);
    EXPECT_FALSE (target.processor.capturing.load());
    EXPECT_FALSE (target.processor.awaitingAck.load());
    EXPECT_FALSE (target.processor.awaitingNameReply.load());
    EXPECT_EQ (target.processor.awaitingStartupReply.load(), 0);
}

TEST (SavedState, RestoreRules)
{
    struct Case
    {
        const char* description;
        juce::String children;
        std::vector<Bytes> dump;
        juce::String name;
    };

    const Case cases[] {
        { "a gap ends the reading",
          "<PresetMsg0 theProperty='[1]'/><PresetMsg1 theProperty='[2]'/><PresetMsg3 theProperty='[4]'/>",
          { { 1 }, { 2 } }, "kept" },
        { "[], abc and {} give nothing, reading goes on",
          "<PresetMsg0 theProperty='[]'/><PresetMsg1 theProperty='abc'/><PresetMsg2 theProperty='{}'/>"
          "<PresetMsg3 theProperty='[9, 8]'/>",
          { { 9, 8 } }, "kept" },
        { "a missing property gives nothing", "<PresetMsg0/><PresetMsg1 theProperty='[3]'/>", { { 3 } }, "kept" },
        { "elements keep their low 8 bits", "<PresetMsg0 theProperty='[256, -1, 511, 300, 1.9]'/>",
          { { 0, 255, 255, 44, 1 } }, "kept" },
        { "numbers too large for the conversion give 0", "<PresetMsg0 theProperty='[1e300, -1e300, 4294967551]'/>",
          { { 0, 0, 255 } }, "kept" },
        { "a name of 40 characters keeps its first 31 bytes",
          "<PresetMsg0 theProperty='[1]'/><PresetName theProperty='0123456789012345678901234567890123456789'/>",
          { { 1 } }, "0123456789012345678901234567890" },
        { "a name comes back even with no messages", "<PresetName theProperty='Solo'/>", {}, "Solo" },
        { "a name child without its property gives the empty name", "<PresetName/>", {}, "" },
        { "references to no character are dropped from the name",
          "<PresetName theProperty='A&#1114112;B&#55296;C&#233;'/>", {}, juce::String::fromUTF8 ("ABC\xc3\xa9") },
        { "no children: an empty dump, the name kept", "", {}, "kept" },
    };

    for (const auto& c : cases)
    {
        Instance instance;
        fill (instance.processor, axeFxDump());
        instance.processor.presetName.set ("kept");

        instance.restore (blockFromXml ("<Parameters><PARAM id='MODE' value='0.5'/>" + c.children + "</Parameters>"));

        EXPECT_EQ (instance.dump(), c.dump) << c.description;
        EXPECT_EQ (instance.processor.getProgramName (0), c.name) << c.description;
        EXPECT_FLOAT_EQ (instance.mode(), 0.5f) << c.description;
    }
}

TEST (SavedState, ARestoredNameIsAlwaysWholeUtf8)
{
    // The framework's reader turns a malformed reference into a number beyond Unicode.
    Instance instance;
    instance.restore (blockFromXml ("<Parameters><PresetName theProperty='&#233#233;&#233;x'/></Parameters>"));

    const auto bytes = instance.processor.presetName.getBytes();
    EXPECT_TRUE (juce::CharPointer_UTF8::isValidString (bytes.data(), (int) bytes.size()));
    EXPECT_TRUE (instance.processor.getProgramName (0).endsWith (juce::String::fromUTF8 ("\xc3\xa9x")))
        << instance.processor.getProgramName (0);
}

TEST (SavedState, RestoresAsManyMessagesAsTheDumpHolds)
{
    for (int written : { 150, 200, 250 })
    {
        juce::String children;

        for (int k = 0; k < written; ++k)
            children << "<PresetMsg" << k << " theProperty='[240, " << (k & 0x7F) << ", 247]'/>";

        Instance instance;
        instance.restore (blockFromXml ("<Parameters><PARAM id='MODE' value='1'/>" + children + "</Parameters>"));

        const auto dump = instance.dump();
        ASSERT_EQ ((int) dump.size(), std::min (written, PresetDump::capacity)) << written;
        EXPECT_EQ (dump.back(), (Bytes { 240, (juce::uint8) ((dump.size() - 1) & 0x7F), 247 })) << written;
    }
}

TEST (SavedState, BlocksThatAreNotOurStateChangeNothing)
{
    constexpr juce::uint32 magic = 0x21324356; // "VC2!"
    const char* otherwiseValid = "<Parameters><PARAM id='MODE' value='0.9'/><PresetMsg0 theProperty='[1]'/></Parameters>";
    const auto validLength = (juce::int32) std::strlen (otherwiseValid);
    const char* badUtf8 = "<Parameters><PresetName theProperty='\xc3('/></Parameters>";

    struct Case
    {
        const char* description;
        juce::MemoryBlock block;
    };

    const Case cases[] {
        { "empty", {} },
        { "8 bytes", juce::MemoryBlock (rawBlock (magic, validLength, otherwiseValid).getData(), 8) },
        { "reversed magic", rawBlock (0x56433221, validLength, otherwiseValid) },
        { "zero length", rawBlock (magic, 0, otherwiseValid) },
        { "negative length", rawBlock (magic, -5, otherwiseValid) },
        { "text that is not XML", rawBlock (magic, 12, "not xml at all") },
        { "another root tag", blockFromXml ("<Preset><PresetMsg0 theProperty='[1]'/></Preset>") },
        { "malformed UTF-8", rawBlock (magic, (juce::int32) std::strlen (badUtf8), badUtf8) },
    };

    // The same text under a good header is taken, so each case above is refused for its own fault.
    {
        Instance instance;
        instance.restore (rawBlock (magic, validLength, otherwiseValid));
        EXPECT_EQ (instance.dump(), (std::vector<Bytes> { { 1 } }));
    }

    for (const auto& c : cases)
    {
        Instance instance;
        fill (instance.processor, axeFxDump());
        instance.processor.presetName.set ("Keep me");
        instance.processor.parameters.getParameter ("MODE")->setValueNotifyingHost (0.3f);
        const auto before = instance.save();

        instance.processor.setStateInformation (c.block.getData(), (int) c.block.getSize());

        EXPECT_EQ (instance.dump(), axeFxDump()) << c.description;
        EXPECT_EQ (instance.processor.getProgramName (0), "Keep me") << c.description;
        EXPECT_FLOAT_EQ (instance.mode(), 0.3f) << c.description;
        EXPECT_EQ (instance.save(), before) << c.description;
    }

    Instance instance;
    instance.processor.setStateInformation (nullptr, 0);
    EXPECT_EQ (instance.dump().size(), 0u);
}

TEST (SavedState, ASaveWritesExactlyTheLiveDump)
{
    // A project with 18 messages, re-caught from a unit that sends 10.
    Instance instance;
    fill (instance.processor, axeFxDump());
    instance.processor.presetName.set ("Old");
    instance.restore (instance.save());

    auto shorter = axeFxDump();
    shorter.resize (10);
    fill (instance.processor, shorter);
    instance.processor.presetName.set ("New");

    const auto block = instance.save();
    const auto text = xmlTextOf (block);
    EXPECT_TRUE (text.contains ("<PresetMsg9 "));
    EXPECT_FALSE (text.contains ("<PresetMsg10 "));
    EXPECT_FALSE (text.contains ("<PresetMsg17 "));

    Instance reopened;
    reopened.restore (block);
    EXPECT_EQ (reopened.dump(), shorter);
    EXPECT_EQ (reopened.processor.getProgramName (0), "New");

    // Emptied since the restore: the saved name still follows the live one.
    instance.processor.storedMessages.clear();
    instance.processor.presetName.set ("Newer");
    Instance emptied;
    emptied.restore (instance.save());
    EXPECT_TRUE (emptied.dump().empty());
    EXPECT_EQ (emptied.processor.getProgramName (0), "Newer");
}

TEST (SavedState, NameSurvivesRepeatedSaveAndRestoreUnchanged)
{
    const juce::String names[] {
        "Clean  Lead",
        juce::String::fromUTF8 ("Caf\xc3\xa9"),
        juce::String::fromUTF8 ("\xe2\x99\xab Ballad \xe2\x99\xab"),
        juce::String::repeatedString (juce::String::fromUTF8 ("\xc3\xa9"), 15),
    };

    for (const auto& name : names)
    {
        Instance instance;
        fill (instance.processor, { { 240, 1, 247 } });
        instance.processor.presetName.set (name);
        const auto first = instance.save();

        for (int cycle = 0; cycle < 5; ++cycle)
        {
            Instance next;
            next.restore (instance.save());
            instance.restore (next.save());
        }

        EXPECT_EQ (instance.save(), first) << name;
        EXPECT_EQ (instance.processor.getProgramName (0), name) << name;
        EXPECT_EQ (juce::parseXML (xmlTextOf (first))->getChildByName ("PresetName")->getStringAttribute ("theProperty"), name);
    }
}

TEST (SavedState, UnitNamesOfEarlierProjectsLoadTheSame)
{
    // Text as earlier builds wrote it: seven-bit names, and one byte 0xE9 written as C3 A9.
    Instance instance;
    instance.restore (blockFromXml (juce::String::fromUTF8 (
        "<Parameters><PARAM id='MODE' value='1'/><PresetMsg0 theProperty='[240, 247]'/>"
        "<PresetName theProperty='Caf\xc3\xa9 ~ 100%'/></Parameters>")));

    const auto bytes = instance.processor.presetName.getBytes();
    EXPECT_STREQ (bytes.data(), "Caf\xc3\xa9 ~ 100%");
    // The framework's writer escapes characters outside ASCII as numeric references.
    EXPECT_TRUE (xmlTextOf (instance.save()).contains ("<PresetName theProperty=\"Caf&#233; ~ 100%\"/>"));
}
} // namespace
