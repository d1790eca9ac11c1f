#include "plugin/Parameters.h"

namespace Parameters
{
juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
{
    return { std::make_unique<juce::AudioParameterFloat> (mode, "Mode",
                                                          juce::NormalisableRange<float> (0.0f, 1.0f, 0.01f),
                                                          1.0f) };
}
} // namespace Parameters
