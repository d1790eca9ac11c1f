#include "device/PresetName.h"

namespace
{
bool isUtf8ContinuationByte (char c) noexcept
{
    return (static_cast<unsigned char> (c) & 0xC0) == 0x80;
}
} // namespace

juce::String PresetName::set (const juce::String& text)
{
    const char* utf8 = text.toRawUTF8();
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
