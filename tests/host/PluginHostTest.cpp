// What a DAW sees of the built bundles: each test loads the VST3 or the LV2 through
// the framework's own hosting, as a separate binary with no access to our code.

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int maxBlockSize = 512;

enum class Kind
{
    vst3,
    lv2
};

struct Format
{
    const char* label;
    Kind kind;
    juce::String modeParameterID;
    juce::String defaultText; // the VST3 host asks the plug-in; the LV2 host formats the number itself
};

void PrintTo (const Format& format, std::ostream* os) { *os << format.label; }

// A JUCE VST3 names each parameter by a hash of its ID (cleared top bit): hosts store
// automation under that number, so the ID "MODE" must never change.
juce::String vst3IdFor (const juce::String& parameterID)
{
    return juce::String ((juce::uint32) parameterID.hashCode() & 0x7fffffffu);
}

// The framework's LV2 host marks a parameter described by a URI with "des:"; the
// URI itself (ours plus ":MODE") is what other LV2 hosts store, so it must not change either.
const Format formats[] {
    { "VST3", Kind::vst3, vst3IdFor ("MODE"), "1.00" },
    { "LV2", Kind::lv2, "des:" SNAPWELL_LV2_URI ":MODE", "1" },
};

//==============================================================================
// A loaded plug-in and the format that made it (declared first, so it goes last).
struct Hosted
{
    std::unique_ptr<juce::AudioPluginFormat> format;
    juce::PluginDescription description;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
};

Hosted load (Kind kind)
{
    Hosted hosted;
    juce::String identifier;

    if (kind == Kind::vst3)
    {
        hosted.format = std::make_unique<juce::VST3PluginFormat>();
        identifier = SNAPWELL_VST3_BUNDLE;
    }
    else
    {
        // LV2 plug-ins are found by URI once their folder has been searched.
        auto lv2 = std::make_unique<juce::LV2PluginFormat>();
        const auto folder = juce::File (SNAPWELL_LV2_BUNDLE).getParentDirectory();
        const auto uris = lv2->searchPathsForPlugins (juce::FileSearchPath (folder.getFullPathName()), true, false);

        hosted.format = std::move (lv2);

        if (! uris.contains (SNAPWELL_LV2_URI))
        {
            hosted.error << "LV2 search of " << folder.getFullPathName() << " found: " << uris.joinIntoString (" ");
            return hosted;
        }

        identifier = SNAPWELL_LV2_URI;
    }

    juce::OwnedArray<juce::PluginDescription> types;
    hosted.format->findAllTypesForFile (types, identifier);

    if (types.size() != 1)
    {
        hosted.error << " " << identifier << " gave " << types.size() << " descriptions";
        return hosted;
    }

    hosted.description = *types[0];
    hosted.instance = hosted.format->createInstanceFromDescription (hosted.description, sampleRate, maxBlockSize,
                                                                    hosted.error);
    return hosted;
}

//==============================================================================
// The plug-in's own state block: "VC2!", length, XML text, as the framework writes it.
juce::MemoryBlock makePluginState (double mode, const std::vector<std::vector<juce::uint8>>& messages,
                                   const juce::String& name)
{
    juce::XmlElement root ("Parameters");
    auto* param = root.createNewChildElement ("PARAM");
    param->setAttribute ("id", "MODE");
    // Written the way a value-tree property becomes text.
    param->setAttribute ("value", juce::var (mode).toString());

    for (size_t k = 0; k < messages.size(); ++k)
    {
        juce::Array<juce::var> bytes;

        for (auto b : messages[k])
            bytes.add ((int) b);

        root.createNewChildElement ("PresetMsg" + juce::String ((int) k))
            ->setAttribute ("theProperty", juce::JSON::toString (bytes, true));

        // The name follows the first message, as every saved project has it.
        if (k == 0)
            root.createNewChildElement ("PresetName")->setAttribute ("theProperty", name);
    }

    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (root, block);
    return block;
}

// A Fractal-style SysEx message: F0 00 01 74 model function payload checksum F7,
// the checksum being the XOR of everything before it, masked to 7 bits.
std::vector<juce::uint8> fractalMessage (juce::uint8 model, juce::uint8 function, int payloadSize, juce::Random& random)
{
    std::vector<juce::uint8> m { 0xF0, 0x00, 0x01, 0x74, model, function };

    for (int i = 0; i < payloadSize; ++i)
        m.push_back ((juce::uint8) random.nextInt (128));

    juce::uint8 sum = 0;

    for (auto b : m)
        sum ^= b;

    m.push_back (sum & 0x7F);
    m.push_back (0xF7);
    return m;
}

// A preset dump as the unit sends it: a 0x77 header, 0x78 chunks, an 0x79 footer.
std::vector<std::vector<juce::uint8>> presetDump (juce::uint8 model, int numMessages, int seed)
{
    juce::Random random (seed);
    std::vector<std::vector<juce::uint8>> dump;
    dump.push_back (fractalMessage (model, 0x77, 7, random));

    while ((int) dump.size() < numMessages - 1)
        dump.push_back (fractalMessage (model, 0x78, 200 + random.nextInt (200), random));

    dump.push_back (fractalMessage (model, 0x79, 3, random));
    return dump;
}

struct StateCase
{
    const char* label;
    double mode;
    std::vector<std::vector<juce::uint8>> messages;
    juce::String name;
};

std::vector<StateCase> stateCases()
{
    return {
        { "no dump", 1.0, {}, {} },
        { "Axe-Fx III, 18 messages", 0.25, presetDump (0x10, 18, 1), "Clean  Lead" },
        { "FM9, 10 messages, non-ASCII name", 0.5, presetDump (0x12, 10, 2),
          juce::String::fromUTF8 ("Crunch B\xc3\xa5ss \xe2\x80\x94 2") },
        { "header and footer only, no name yet", 0.0, presetDump (0x10, 2, 3), {} },
        { "a full 200-message dump", 0.75, presetDump (0x10, 200, 4), "Full House" },
    };
}

//==============================================================================
// What each format wraps around the plug-in's own block.
//
// VST3 (the framework's host): XML "VST3PluginState" with the component state in
// base 64; the framework's VST3 client appends its private data (bypass) after our block.
// LV2: a Turtle document in which our block is a base-64 string property.
const char* const vst3PrivateDataMagic = "JUCEPrivateData";
const juce::String lv2StateProperty = juce::String (SNAPWELL_LV2_URI) + ":StateString";

std::optional<juce::MemoryBlock> pluginBlockFromHostState (Kind kind, const juce::MemoryBlock& hostState)
{
    if (kind == Kind::vst3)
    {
        const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());

        if (xml == nullptr || ! xml->hasTagName ("VST3PluginState"))
            return std::nullopt;

        const auto* component = xml->getChildByName ("IComponent");

        if (component == nullptr)
            return std::nullopt;

        juce::MemoryBlock block;

        if (! block.fromBase64Encoding (component->getAllSubText()))
            return std::nullopt;

        // [our block][int64 0][private data][int64 private size][magic]
        const auto magicLength = std::strlen (vst3PrivateDataMagic);
        const auto size = block.getSize();

        if (size < magicLength + 16
            || std::memcmp (juce::addBytesToPointer (block.getData(), size - magicLength), vst3PrivateDataMagic, magicLength) != 0)
            return std::nullopt;

        const auto privateSize = (size_t) juce::ByteOrder::littleEndianInt64 (
            juce::addBytesToPointer (block.getData(), size - magicLength - 8));

        if (privateSize + magicLength + 16 > size)
            return std::nullopt;

        block.setSize (size - magicLength - 16 - privateSize);
        return block;
    }

    const auto text = hostState.toString();
    const auto at = text.indexOf (lv2StateProperty);

    if (at < 0)
        return std::nullopt;

    const auto open = text.indexOfChar (at, '"');
    const auto close = text.indexOfChar (open + 1, '"');

    if (open < 0 || close < 0)
        return std::nullopt;

    juce::MemoryBlock block;

    if (! block.fromBase64Encoding (text.substring (open + 1, close)))
        return std::nullopt;

    return block;
}

// A host state that carries the given block; LV2 fills it into a state the host wrote.
std::optional<juce::MemoryBlock> hostStateWith (Kind kind, const juce::MemoryBlock& pluginBlock,
                                                const juce::MemoryBlock& hostTemplate)
{
    if (kind == Kind::vst3)
    {
        juce::XmlElement state ("VST3PluginState");
        state.createNewChildElement ("IComponent")->addTextElement (pluginBlock.toBase64Encoding());
        juce::MemoryBlock result;
        juce::AudioProcessor::copyXmlToBinary (state, result);
        return result;
    }

    const auto text = hostTemplate.toString();
    const auto at = text.indexOf (lv2StateProperty);
    const auto open = at < 0 ? -1 : text.indexOfChar (at, '"');
    const auto close = open < 0 ? -1 : text.indexOfChar (open + 1, '"');

    if (close < 0)
        return std::nullopt;

    const auto filled = text.substring (0, open + 1) + pluginBlock.toBase64Encoding() + text.substring (close);
    return juce::MemoryBlock (filled.toRawUTF8(), filled.getNumBytesAsUTF8());
}

// Any text in the plug-in's wrapping, written by hand: the framework's own XML writer
// would recurse through deep nesting just as its reader does.
juce::MemoryBlock wrapText (const juce::String& text)
{
    juce::MemoryOutputStream out;
    out.write ("VC2!", 4);
    out.writeInt ((int) text.getNumBytesAsUTF8());
    out.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
    out.writeByte (0);
    return out.getMemoryBlock();
}

juce::String describe (const juce::MemoryBlock& pluginBlock)
{
    if (auto xml = juce::AudioProcessor::getXmlFromBinary (pluginBlock.getData(), (int) pluginBlock.getSize()))
        return xml->toString (juce::XmlElement::TextFormat().singleLine()).substring (0, 600);

    return "(" + juce::String ((int) pluginBlock.getSize()) + " bytes, not a state)";
}

//==============================================================================
class HostedPlugin : public testing::TestWithParam<Format>
{
protected:
    void SetUp() override
    {
        hosted = load (GetParam().kind);
        ASSERT_NE (hosted.instance, nullptr) << hosted.error;
        plugin().prepareToPlay (sampleRate, maxBlockSize);
    }

    void TearDown() override
    {
        if (hosted.instance != nullptr)
            hosted.instance->releaseResources();
    }

    juce::AudioPluginInstance& plugin() { return *hosted.instance; }

    // An LV2 host hands parameter changes over at the next block; one block settles both formats.
    static void runOneBlock (juce::AudioPluginInstance& instance)
    {
        juce::AudioBuffer<float> buffer (2, 64);
        buffer.clear();
        juce::MidiBuffer midi;
        instance.processBlock (buffer, midi);
    }

    static juce::MemoryBlock hostStateOf (juce::AudioPluginInstance& instance)
    {
        juce::MemoryBlock block;
        instance.getStateInformation (block);
        return block;
    }

    std::optional<juce::MemoryBlock> pluginBlockOf (juce::AudioPluginInstance& instance)
    {
        return pluginBlockFromHostState (GetParam().kind, hostStateOf (instance));
    }

    // Sets the plug-in's own block the way a DAW restores a project.
    void setPluginBlock (juce::AudioPluginInstance& instance, const juce::MemoryBlock& block)
    {
        const auto hostState = hostStateWith (GetParam().kind, block, hostStateOf (instance));
        ASSERT_TRUE (hostState.has_value());
        instance.setStateInformation (hostState->getData(), (int) hostState->getSize());
    }

    static juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& processor, const juce::String& name)
    {
        juce::AudioProcessorParameter* found = nullptr;

        for (auto* parameter : processor.getParameters())
            if (parameter->getName (1024) == name)
            {
                EXPECT_EQ (found, nullptr) << "two parameters named " << name;
                found = parameter;
            }

        return found;
    }

    static void expectSameAudio (const juce::AudioBuffer<float>& actual, const juce::AudioBuffer<float>& expected,
                                 const juce::String& where)
    {
        ASSERT_EQ (actual.getNumChannels(), expected.getNumChannels()) << where;
        ASSERT_EQ (actual.getNumSamples(), expected.getNumSamples()) << where;

        for (int ch = 0; ch < expected.getNumChannels(); ++ch)
            for (int i = 0; i < expected.getNumSamples(); ++i)
            {
                const auto a = actual.getSample (ch, i), e = expected.getSample (ch, i);

                // Bit patterns, so that NaN, -0 and denormals count too.
                if (std::memcmp (&a, &e, sizeof (float)) != 0)
                {
                    ADD_FAILURE() << where << ", channel " << ch << ", sample " << i << ": " << a << " instead of " << e;
                    return;
                }
            }
    }

    Hosted hosted;
};

//==============================================================================
TEST_P (HostedPlugin, NameAndStereoBusesAsTheHostListsThem)
{
    EXPECT_EQ (hosted.description.name, "Snapwell");
    EXPECT_EQ (hosted.description.manufacturerName, "Snapwell");
    EXPECT_EQ (hosted.description.pluginFormatName, GetParam().label);
    EXPECT_EQ (hosted.description.fileOrIdentifier,
               GetParam().kind == Kind::vst3 ? SNAPWELL_VST3_BUNDLE : SNAPWELL_LV2_URI);
    EXPECT_FALSE (hosted.description.isInstrument);
    EXPECT_EQ (hosted.description.numInputChannels, 2);
    EXPECT_EQ (hosted.description.numOutputChannels, 2);

    EXPECT_EQ (plugin().getName(), "Snapwell");
    ASSERT_EQ (plugin().getBusCount (true), 1);
    ASSERT_EQ (plugin().getBusCount (false), 1);
    EXPECT_EQ (plugin().getBus (true, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (plugin().getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (plugin().getTotalNumInputChannels(), 2);
    EXPECT_EQ (plugin().getTotalNumOutputChannels(), 2);
    EXPECT_EQ (plugin().getLatencySamples(), 0);
}

TEST_P (HostedPlugin, ModeParameterFoundByNameWithItsDefault)
{
    juce::StringArray names;

    for (auto* parameter : plugin().getParameters())
        names.add (parameter->getName (1024));

    // Ours, and the bypass that both wrappers add for the host.
    names.sort (false);
    EXPECT_EQ (names.joinIntoString ("|"), "Bypass|Mode");

    auto* mode = findParameter (plugin(), "Mode");
    ASSERT_NE (mode, nullptr);

    auto* hostedMode = dynamic_cast<juce::HostedAudioProcessorParameter*> (mode);
    ASSERT_NE (hostedMode, nullptr);
    EXPECT_EQ (hostedMode->getParameterID(), GetParam().modeParameterID);

    EXPECT_EQ (mode->getDefaultValue(), 1.0f);
    EXPECT_EQ (mode->getValue(), 1.0f);
    EXPECT_TRUE (mode->isAutomatable());
    EXPECT_FALSE (mode->isDiscrete());
    EXPECT_EQ (mode->getCurrentValueAsText(), GetParam().defaultText);
}

TEST_P (HostedPlugin, ModeSetByTheHostIsSavedInTheState)
{
    auto* mode = findParameter (plugin(), "Mode");
    ASSERT_NE (mode, nullptr);

    mode->setValueNotifyingHost (0.25f);
    runOneBlock (plugin());

    EXPECT_EQ (mode->getValue(), 0.25f);
    EXPECT_EQ (mode->getCurrentValueAsText(), "0.25");

    const auto block = pluginBlockOf (plugin());
    ASSERT_TRUE (block.has_value());
    const auto xml = juce::AudioProcessor::getXmlFromBinary (block->getData(), (int) block->getSize());
    ASSERT_NE (xml, nullptr);
    const auto* param = xml->getChildByAttribute ("id", "MODE");
    ASSERT_NE (param, nullptr) << describe (*block);
    EXPECT_EQ (param->getDoubleAttribute ("value", -1.0), 0.25) << describe (*block);
}

TEST_P (HostedPlugin, RandomStereoBlocksPassBitForBit)
{
    juce::Random random (0x5eed);
    const int blockSizes[] { 512, 480, 1, 333, 64, 512, 7, 256 };

    for (int round = 0; round < 4; ++round)
        for (auto blockSize : blockSizes)
        {
            juce::AudioBuffer<float> buffer (2, blockSize);

            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < blockSize; ++i)
                    buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);

            if (round == 0 && blockSize >= 6)
            {
                // Values that any arithmetic on the way would disturb.
                buffer.setSample (0, 0, std::numeric_limits<float>::denorm_min());
                buffer.setSample (1, 1, -std::numeric_limits<float>::infinity());
                buffer.setSample (0, 2, std::numeric_limits<float>::quiet_NaN());
                buffer.setSample (1, 3, -0.0f);
                buffer.setSample (0, 4, 1.0e30f);
                buffer.setSample (1, 5, -std::numeric_limits<float>::min());
            }

            const juce::AudioBuffer<float> input (buffer);
            juce::MidiBuffer midi;
            plugin().processBlock (buffer, midi);

            expectSameAudio (buffer, input, "round " + juce::String (round) + ", block of " + juce::String (blockSize));
        }
}

TEST_P (HostedPlugin, SoundFilePassesBitForBitBlockByBlock)
{
    constexpr int numSamples = 60000;
    juce::TemporaryFile wav (".wav");
    juce::WavAudioFormat wavFormat;

    {
        // A decaying two-voice tone with a little noise, 24-bit like a typical recording.
        juce::AudioBuffer<float> sound (2, numSamples);
        juce::Random random (7);

        for (int i = 0; i < numSamples; ++i)
        {
            const auto t = (double) i / sampleRate;
            const auto decay = std::exp (-2.0 * t);
            sound.setSample (0, i, (float) (0.5 * decay * std::sin (2.0 * juce::MathConstants<double>::pi * 110.0 * t)
                                            + 0.02 * (random.nextDouble() - 0.5)));
            sound.setSample (1, i, (float) (0.4 * decay * std::sin (2.0 * juce::MathConstants<double>::pi * 164.81 * t)
                                            + 0.02 * (random.nextDouble() - 0.5)));
        }

        std::unique_ptr<juce::AudioFormatWriter> writer (
            wavFormat.createWriterFor (new juce::FileOutputStream (wav.getFile()), sampleRate, 2, 24, {}, 0));
        ASSERT_NE (writer, nullptr);
        ASSERT_TRUE (writer->writeFromAudioSampleBuffer (sound, 0, numSamples));
    }

    std::unique_ptr<juce::AudioFormatReader> reader (
        wavFormat.createReaderFor (new juce::FileInputStream (wav.getFile()), true));
    ASSERT_NE (reader, nullptr);
    ASSERT_EQ (reader->numChannels, 2u);
    ASSERT_EQ (reader->lengthInSamples, numSamples);

    const int blockSizes[] { 512, 441, 128, 500, 1 };
    float loudest = 0.0f;
    int blockIndex = 0;

    for (juce::int64 position = 0; position < reader->lengthInSamples; ++blockIndex)
    {
        const auto blockSize = (int) juce::jmin ((juce::int64) blockSizes[blockIndex % 5], reader->lengthInSamples - position);
        juce::AudioBuffer<float> block (2, blockSize);
        ASSERT_TRUE (reader->read (&block, 0, blockSize, position, true, true));
        loudest = juce::jmax (loudest, block.getMagnitude (0, blockSize));

        const juce::AudioBuffer<float> input (block);
        juce::MidiBuffer midi;
        plugin().processBlock (block, midi);

        expectSameAudio (block, input, "sample " + juce::String (position));

        if (HasFailure())
            return;

        position += blockSize;
    }

    // The file really carried sound: a silent one would pass through any plug-in.
    EXPECT_GT (loudest, 0.3f);
}

TEST_P (HostedPlugin, StateReadBackRightAfterItWasSetIsByteIdentical)
{
    for (const auto& c : stateCases())
    {
        SCOPED_TRACE (c.label);
        const auto block = makePluginState (c.mode, c.messages, c.name);

        setPluginBlock (plugin(), block);
        const auto readBack = pluginBlockOf (plugin());

        ASSERT_TRUE (readBack.has_value());
        EXPECT_TRUE (*readBack == block) << "set: " << describe (block) << "\ngot: " << describe (*readBack);

        runOneBlock (plugin());
        auto* mode = findParameter (plugin(), "Mode");
        ASSERT_NE (mode, nullptr);
        EXPECT_EQ (mode->getValue(), (float) c.mode);
    }
}

TEST_P (HostedPlugin, StateSavedFromOneInstanceRestoresIntoAnother)
{
    const auto block = makePluginState (0.25, presetDump (0x10, 18, 11), "Clean  Lead");
    setPluginBlock (plugin(), block);
    const auto saved = hostStateOf (plugin());

    auto other = load (GetParam().kind);
    ASSERT_NE (other.instance, nullptr) << other.error;
    other.instance->prepareToPlay (sampleRate, maxBlockSize);

    // The second instance starts from another state, so equality below means something.
    ASSERT_FALSE (hostStateOf (*other.instance) == saved);

    other.instance->setStateInformation (saved.getData(), (int) saved.getSize());
    const auto restored = hostStateOf (*other.instance);

    EXPECT_TRUE (restored == saved) << restored.toString().substring (0, 400) << "\n----\n" << saved.toString().substring (0, 400);

    const auto restoredBlock = pluginBlockFromHostState (GetParam().kind, restored);
    ASSERT_TRUE (restoredBlock.has_value());
    EXPECT_TRUE (*restoredBlock == block) << describe (*restoredBlock);

    runOneBlock (*other.instance);
    auto* mode = findParameter (*other.instance, "Mode");
    ASSERT_NE (mode, nullptr);
    EXPECT_EQ (mode->getValue(), 0.25f);

    other.instance->releaseResources();
}

TEST_P (HostedPlugin, DamagedStateChangesNothing)
{
    const auto good = makePluginState (0.5, presetDump (0x12, 10, 5), "Keep Me");
    setPluginBlock (plugin(), good);

    juce::MemoryBlock otherRoot;
    juce::AudioProcessor::copyXmlToBinary (juce::XmlElement ("SomethingElse"), otherRoot);
    auto badUtf8 = good;
    badUtf8[20] = (char) 0xC3;
    badUtf8[21] = (char) 0x28;

    // About 1 MB each: nesting that would overflow the stack of the host's thread if it
    // reached the framework's recursive XML reader, and an element whose attributes would
    // keep the host busy for half a minute.
    const auto header = juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <Parameters>"
                                      "<PARAM id=\"MODE\" value=\"1.0\"/>");
    const auto nestedElements = header + juce::String::repeatedString ("<a>", 150000)
                                + juce::String::repeatedString ("</a>", 150000) + "</Parameters>";
    juce::MemoryOutputStream manyAttributes;
    manyAttributes << header << "<PresetMsg0 theProperty=\"[240, 247]\"";

    for (int i = 0; i < 100000; ++i)
        manyAttributes << " a" << i << "=\"1\"";

    manyAttributes << "/></Parameters>";

    const std::pair<const char*, juce::MemoryBlock> damaged[] {
        { "bytes that are no state", juce::MemoryBlock ("not a state at all", 18) },
        { "cut in half", juce::MemoryBlock (good.getData(), good.getSize() / 2) },
        { "another root element", otherRoot },
        { "invalid UTF-8 in the text", badUtf8 },
        { "elements nested 150000 deep", wrapText (nestedElements) },
        { "100000 attributes on one element", wrapText (manyAttributes.toString()) },
    };

    for (const auto& [label, block] : damaged)
    {
        SCOPED_TRACE (label);
        setPluginBlock (plugin(), good);
        setPluginBlock (plugin(), block);
        const auto readBack = pluginBlockOf (plugin());
        ASSERT_TRUE (readBack.has_value());
        EXPECT_TRUE (*readBack == good) << describe (*readBack);
    }
}

TEST_P (HostedPlugin, MessageTextNestedTooDeeplyIsSkippedLikeAnyUnreadableOne)
{
    // 1 MB of brackets: the framework's recursive JSON reader would overflow the stack of
    // the host's thread. The rest of the state still loads.
    const auto text = juce::String ("<?xml version=\"1.0\" encoding=\"UTF-8\"?> <Parameters>"
                                    "<PARAM id=\"MODE\" value=\"0.5\"/><PresetMsg0 theProperty=\"")
                      + juce::String::repeatedString ("[", 500000) + juce::String::repeatedString ("]", 500000)
                      + "\"/><PresetName theProperty=\"Deep\"/><PresetMsg1 theProperty=\"[240, 1, 247]\"/></Parameters>";

    setPluginBlock (plugin(), wrapText (text));
    const auto readBack = pluginBlockOf (plugin());

    ASSERT_TRUE (readBack.has_value());
    const auto expected = makePluginState (0.5, { { 0xF0, 0x01, 0xF7 } }, "Deep");
    EXPECT_TRUE (*readBack == expected) << describe (*readBack);
}

INSTANTIATE_TEST_SUITE_P (Formats, HostedPlugin, testing::ValuesIn (formats),
                          [] (const auto& info) { return std::string (info.param.label); });
} // namespace
