#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"

#include <gtest/gtest.h>

namespace
{
TEST (ModeParameter, IsTheOneHostParameterAsPublished)
{
    BasaltProcessor processor { std::make_unique<RecordingPorts> (std::make_shared<RecordingPorts::Calls>()) };

    ASSERT_EQ (processor.getParameters().size(), 1);
    auto* mode = dynamic_cast<juce::AudioParameterFloat*> (processor.getParameters()[0]);
    ASSERT_NE (mode, nullptr);
    EXPECT_EQ (processor.parameters.getParameter ("MODE"), mode);

    EXPECT_EQ (mode->getParameterID(), "MODE");
    EXPECT_EQ (mode->getVersionHint(), 1);
    EXPECT_EQ (mode->getName (100), "Mode");
    EXPECT_EQ (mode->getLabel(), "");
    EXPECT_EQ (mode->getCategory(), juce::AudioProcessorParameter::genericParameter);
    EXPECT_TRUE (mode->isAutomatable());
    EXPECT_FALSE (mode->isMetaParameter());
    EXPECT_FALSE (mode->isOrientationInverted());

    const auto& range = mode->getNormalisableRange();
    EXPECT_EQ (range.start, 0.0f);
    EXPECT_EQ (range.end, 1.0f);
    EXPECT_EQ (range.interval, 0.01f);
    EXPECT_EQ (range.skew, 1.0f);
    EXPECT_FALSE (range.symmetricSkew);

    // As the host sees it, through the base class (the range is 0 to 1, so normalised = real).
    const juce::AudioProcessorParameter& asHostSeesIt = *mode;
    EXPECT_EQ (mode->get(), 1.0f);
    EXPECT_EQ (asHostSeesIt.getDefaultValue(), 1.0f);

    // Two decimal places out, a float in; values snap to the 0.01 grid.
    EXPECT_EQ (asHostSeesIt.getText (0.5f, 100), "0.50");
    EXPECT_EQ (asHostSeesIt.getCurrentValueAsText(), "1.00");
    EXPECT_FLOAT_EQ (asHostSeesIt.getValueForText ("0.25"), 0.25f);
    EXPECT_FLOAT_EQ (mode->convertFrom0to1 (0.333f), 0.33f);
}

TEST (ModeParameter, LivesInTheParametersTreeAsAParamChild)
{
    BasaltProcessor processor { std::make_unique<RecordingPorts> (std::make_shared<RecordingPorts::Calls>()) };

    const auto state = processor.parameters.copyState();
    EXPECT_EQ (state.getType().toString(), "Parameters");
    ASSERT_EQ (state.getNumChildren(), 1);

    const auto param = state.getChild (0);
    EXPECT_EQ (param.getType().toString(), "PARAM");
    EXPECT_EQ (param["id"].toString(), "MODE");
    EXPECT_EQ ((float) param["value"], 1.0f);
}
} // namespace
