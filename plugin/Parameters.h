#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace Parameters
{
/** "MODE": listed for the host, which may automate it; nothing in the plug-in reads it. */
inline const juce::ParameterID mode { "MODE", 1 };

/** The value-tree type of the parameter state, and so the root tag of the saved state. */
inline const juce::Identifier stateType { "Parameters" };

juce::AudioProcessorValueTreeState::ParameterLayout createLayout();
} // namespace Parameters
