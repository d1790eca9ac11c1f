#include "plugin/StateReading.h"

namespace
{
// A state we wrote is a narrow subset of XML: an optional <?...?> header, then
// elements with quoted attributes and only whitespace between them. The framework's
// XML reader recurses once per level of nesting (a few thousand levels overflow a
// 512 KB thread stack), jumps from an unknown entity to the next ';' anywhere in the
// text, and value trees slow down quadratically with depth and with the attributes of
// one element. So a text reaches that reader only when this flat scan finds nothing
// but that subset, within these limits; ours nest one level and carry two attributes.
constexpr int maxNesting = 16;
constexpr int maxAttributesPerElement = 32;

struct XmlCursor
{
    const char* p;
    const char* end;

    bool skip (const char* token)
    {
        const auto length = std::strlen (token);

        if ((size_t) (end - p) < length || std::memcmp (p, token, length) != 0)
            return false;

        p += length;
        return true;
    }

    void skipSpace()
    {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
            ++p;
    }

    bool skipName()
    {
        const auto* start = p;

        // The reader's own name characters, ASCII only: it may take more in some locales.
        while (p < end && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')
                           || *p == '_' || *p == '-' || *p == ':' || *p == '.'))
            ++p;

        return p != start;
    }

    // Only the entities the framework reads as exactly their own characters.
    bool skipEntity()
    {
        for (const auto* named : { "&amp;", "&quot;", "&apos;", "&lt;", "&gt;" })
            if (skip (named))
                return true;

        if (! skip ("&#"))
            return false;

        const bool hex = skip ("x");
        int digits = 0;

        while (p < end && digits < 8
               && (hex ? juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) *p) >= 0
                       : (*p >= '0' && *p <= '9')))
        {
            ++p;
            ++digits;
        }

        return digits > 0 && skip (";");
    }

    bool skipQuotedValue()
    {
        const auto quote = p < end ? *p : 0;

        if (quote != '"' && quote != '\'')
            return false;

        for (++p; p < end;)
        {
            if (*p == quote)
            {
                ++p;
                return true;
            }

            if (*p != '&')
                ++p;
            else if (! skipEntity())
                return false;
        }

        return false;
    }
};

bool hasTheShapeOfOurStates (const char* text, int length)
{
    // The framework's reader stops at the first zero.
    const auto* zero = static_cast<const char*> (std::memchr (text, 0, (size_t) length));
    XmlCursor c { text, zero != nullptr ? zero : text + length };

    c.skipSpace();

    if (c.skip ("<?"))
    {
        while (c.p < c.end && ! c.skip ("?>"))
            ++c.p;
    }

    // Flat: one counter instead of recursion. The reader ignores what follows the root.
    for (int depth = 0;;)
    {
        c.skipSpace();

        if (! c.skip ("<"))
            return false;

        if (c.skip ("/"))
        {
            if (depth == 0 || ! c.skipName())
                return false;

            c.skipSpace();

            if (! c.skip (">"))
                return false;

            if (--depth == 0)
                return true;

            continue;
        }

        if (! c.skipName())
            return false;

        for (int attributes = 0;; ++attributes)
        {
            c.skipSpace();

            if (c.skip ("/>"))
            {
                if (depth == 0)
                    return true;

                break;
            }

            if (c.skip (">"))
            {
                if (++depth > maxNesting)
                    return false;

                break;
            }

            if (attributes == maxAttributesPerElement || ! c.skipName())
                return false;

            c.skipSpace();

            if (! c.skip ("="))
                return false;

            c.skipSpace();

            if (! c.skipQuotedValue())
                return false;
        }
    }
}

} // namespace

// The framework's reader also hands any bytes to its UTF-8 decoder, which may read
// past the end of a damaged text; only well-formed text gets that far.
std::unique_ptr<juce::XmlElement> readStateXml (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 8)
        return nullptr;

    const auto declaredLength = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));
    const auto textLength = juce::jmin (declaredLength, sizeInBytes - 8);
    const auto* text = static_cast<const char*> (data) + 8;

    if (textLength <= 0 || ! juce::CharPointer_UTF8::isValidString (text, textLength)
        || ! hasTheShapeOfOurStates (text, textLength))
        return nullptr;

    return juce::AudioProcessor::getXmlFromBinary (data, sizeInBytes);
}

namespace
{
// Keeps the low 8 bits of the framework's integer conversion; a number too large
// for an int (which the framework would convert with undefined behaviour) gives 0.
juce::uint8 byteFromValue (const juce::var& value)
{
    if (value.isDouble())
    {
        const auto d = (double) value;
        const bool fits = d > (double) std::numeric_limits<int>::min() - 1.0
                          && d < (double) std::numeric_limits<int>::max() + 1.0;
        return fits ? (juce::uint8) ((int) d & 0xFF) : 0;
    }

    return (juce::uint8) ((juce::int64) value & 0xFF);
}

// The framework's JSON reader recurses once per bracket (thousands overflow the stack
// of the host's thread), and its 64-bit integer overflows, undefined, on a run of 19
// digits. A stored message is one flat array of small numbers: such texts are refused.
constexpr int maxBracketsInMessage = 16;
constexpr int maxDigitsInARow = 18;
} // namespace

std::optional<juce::MidiMessage> messageFromText (const juce::String& text)
{
    int brackets = 0, digitsInARow = 0;

    for (auto* c = text.toRawUTF8(); *c != 0; ++c)
    {
        digitsInARow = (*c >= '0' && *c <= '9') ? digitsInARow + 1 : 0;

        if (digitsInARow > maxDigitsInARow || ((*c == '[' || *c == '{') && ++brackets > maxBracketsInMessage))
            return std::nullopt;
    }

    const auto parsed = juce::JSON::parse (text);
    const auto* elements = parsed.getArray();

    if (elements == nullptr || elements->isEmpty())
        return std::nullopt;

    juce::HeapBlock<juce::uint8> bytes ((size_t) elements->size());

    for (int i = 0; i < elements->size(); ++i)
        bytes[i] = byteFromValue (elements->getReference (i));

    return juce::MidiMessage (bytes.get(), elements->size(), 0.0);
}

