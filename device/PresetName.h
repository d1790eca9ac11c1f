#pragma once

#include <juce_core/juce_core.h>

#include <array>

/** The caught preset's name: at most 31 bytes of UTF-8 in a zero-terminated
    32-byte buffer.

    Written by the MIDI input thread (a name reply) and the host's state thread
    (a restore); read by the message thread, the state thread and the host's
    program-name calls. Each copy in or out holds a short spin lock.

    The buffer always holds whole UTF-8 characters, so the program name, the saved
    text, the panel and the clipboard all read the same name, and a save/restore
    cycle gives back exactly what it was given.
*/
class PresetName
{
public:
    static constexpr size_t bufferSize = 32;
    static constexpr size_t maxBytes = bufferSize - 1;

    using Bytes = std::array<char, bufferSize>;

    /** Stores the text, cut to at most 31 bytes without splitting a character;
        returns the name as stored. */
    juce::String set (const juce::String& text);

    juce::String toString() const;

    /** A copy of the raw buffer (zero-terminated, zero-filled). */
    Bytes getBytes() const;

private:
    mutable juce::SpinLock lock;
    Bytes bytes {}; // guarded by lock
};
