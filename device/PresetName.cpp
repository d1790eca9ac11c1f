#include "device/PresetName.h"

namespace
{
bool isUtf8ContinuationByte (char c) noexcept
{
    return (static_cast<unsigned char> (c) & 0xC0) == 0x80;
}

// A numeric reference in a saved state can carry any 32-bit number, which has no
// UTF-8 form; only real characters may reach the name.
juce::String withRealCharactersOnly (const juce::String& text)
{
    juce::String result;

    for (auto c = text.getCharPointer(); ! c.isEmpty();)
    {
        const auto character = (juce::uint32) c.getAndAdvance();

        if (character <= 0x10FFFF && (character < 0xD800 || character > 0xDFFF))
            result += juce::String::charToString ((juce::juce_wchar) character);
    }

    return result;
}
} // namespace

juce::String PresetName::set (const juce::String& text)
{
    const auto realText = withRealCharactersOnly (text);
    const char* utf8 = realText.toRawUTF8();
    auto length = std::min (std::strlen (utf8), maxBytes);

    // Back off to the start of a character rather than keep half of one.
    while (length > 0 && isUtf8ContinuationByte (utf8[length]))
        --length;

    Bytes newBytes {};
    std::memcpy (newBytes.data(), utf8, length);

    {
        const juce::SpinLock::ScopedLockType sl (lock);
        bytes = newBytes;
    }

    return juce::String::fromUTF8 (newBytes.data());
}

juce::String PresetName::toString() const
{
    const auto copy = getBytes();
    return juce::String::fromUTF8 (copy.data());
}

PresetName::Bytes PresetName::getBytes() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return bytes;
}
