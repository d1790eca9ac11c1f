#include "device/PresetDump.h"

bool PresetDump::append (const juce::MidiMessage& message)
{
    const juce::ScopedLock sl (lock);
    const auto index = count.load();

    if (index >= capacity)
        return false;

    messages[(size_t) index] = message;
    count.store (index + 1); // published only once the entry is complete
    return true;
}

void PresetDump::clear()
{
    const juce::ScopedLock sl (lock);
    clearLocked();
}

void PresetDump::replace (const std::vector<juce::MidiMessage>& newMessages)
{
    const juce::ScopedLock sl (lock);
    clearLocked();

    const auto numToKeep = juce::jmin ((int) newMessages.size(), capacity);

    for (int i = 0; i < numToKeep; ++i)
        messages[(size_t) i] = newMessages[(size_t) i];

    count.store (numToKeep);
}

std::optional<juce::MidiMessage> PresetDump::getMessage (int index) const
{
    const juce::ScopedLock sl (lock);

    if (index < 0 || index >= count.load())
        return std::nullopt;

    return messages[(size_t) index];
}

std::vector<juce::MidiMessage> PresetDump::getMessages() const
{
    const juce::ScopedLock sl (lock);
    return { messages.begin(), messages.begin() + count.load() };
}

void PresetDump::clearLocked()
{
    // Copy-assigned on purpose: JUCE 7.0.5's MidiMessage move assignment drops the
    // target's heap buffer without freeing it.
    static const juce::MidiMessage empty;

    for (int i = 0; i < count.load(); ++i)
        messages[(size_t) i] = empty;

    count.store (0);
}
