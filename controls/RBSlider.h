#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A juce::Slider that moves ten times slower while Shift is held.

    The drag is measured from the mouse-down point, so pressing or releasing
    Shift mid-drag jumps to where the fine (or normal) drag would put it
    rather than continuing from the current value; the base class keeps all of
    its own drag state.
*/
class RBSlider : public juce::Slider
{
public:
    static constexpr float fineDragFactor = 0.1f;

    RBSlider();
    ~RBSlider() override;

    void mouseDrag (const juce::MouseEvent& e) override;
};
