#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <optional>

// Reading a saved state that may be damaged or hostile. The framework's XML and
// JSON readers recurse without limit and trust their input, so text reaches them
// only when it has the shape that our own saves have.

/** The XML of a state block, or null when the block is not a state we could have written. */
std::unique_ptr<juce::XmlElement> readStateXml (const void* data, int sizeInBytes);

/** The message stored as "[240, 0, 1, ...]"; nothing for text that is not a non-empty
    flat array of numbers. Each number keeps its low 8 bits. */
std::optional<juce::MidiMessage> messageFromText (const juce::String& text);
