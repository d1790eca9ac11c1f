#include "controls/RBSlider.h"

RBSlider::RBSlider() = default;

RBSlider::~RBSlider() = default;

void RBSlider::mouseDrag (const juce::MouseEvent& e)
{
    if (e.mods.isShiftDown())
    {
        // Both points are whole pixels; scale in float so a small offset still
        // moves a fraction of a pixel instead of rounding to nothing.
        const auto position =
            e.getMouseDownPosition().toFloat() + e.getOffsetFromDragStart().toFloat() * fineDragFactor;
        juce::Slider::mouseDrag (e.withNewPosition (position));
        return;
    }

    juce::Slider::mouseDrag (e);
}
