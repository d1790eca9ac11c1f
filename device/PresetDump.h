#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>
#include <optional>
#include <vector>

/** The caught preset: up to 200 complete SysEx messages in order of arrival.

    Written by the MIDI input thread while a capture runs (append), emptied by the
    message thread before a capture, read by the message thread and the host's
    state thread, refilled by a state restore. Each operation on a whole message
    holds a short lock; nobody holds it while waiting for the unit, so the MIDI
    thread never waits on another thread's work. The count is also kept atomically
    so that progress can be read without the lock.
*/
class PresetDump
{
public:
    static constexpr int capacity = 200;

    /** Copies the message in; returns false, storing nothing, when the dump is full. */
    bool append (const juce::MidiMessage& message);

    /** Empties the dump and releases the messages it held. */
    void clear();

    /** Replaces the whole dump; messages beyond the capacity are not kept. */
    void replace (const std::vector<juce::MidiMessage>& newMessages);

    int size() const noexcept { return count.load(); }

    /** A copy of message i, or nothing when i is not below size(). */
    std::optional<juce::MidiMessage> getMessage (int index) const;

    /** A copy of the whole dump, in order. */
    std::vector<juce::MidiMessage> getMessages() const;

private:
    mutable juce::CriticalSection lock;
    std::array<juce::MidiMessage, capacity> messages; // guarded by lock
    std::atomic<int> count { 0 };                     // written under lock

    void clearLocked();
};
