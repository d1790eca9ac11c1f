#include "controls/RBSlider.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

namespace
{
// A 224 x 24 horizontal slider has a 12 px thumb indent at each end (the
// look-and-feel's thumb radius), leaving a 200 px track from x = 12. With a
// 0..200 range and no interval, the value is simply the mouse x minus 12.
constexpr int sliderWidth = 224;
constexpr int sliderHeight = 24;
constexpr float trackStart = 12.0f;
constexpr double trackLength = 200.0;
constexpr float rowY = 12.0f;

void setUpLikeThePanel (juce::Slider& slider)
{
    slider.setSliderStyle (juce::Slider::LinearHorizontal);
    slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    slider.setVelocityBasedMode (false);
    slider.setRange (0.0, trackLength, 0.0);
    slider.setBounds (0, 0, sliderWidth, sliderHeight);
    slider.setValue (0.0, juce::dontSendNotification);
}

/** Feeds one slider a press, drags and a release as the mouse would. */
class Gesture
{
public:
    Gesture (juce::Slider& s, float downX) : slider (s), downPosition (downX, rowY)
    {
        slider.mouseDown (event (downPosition, {}, false));
    }

    ~Gesture() { slider.mouseUp (event (lastPosition, {}, true)); }

    double dragTo (float x, bool shift)
    {
        lastPosition = {x, rowY};
        slider.mouseDrag (event (lastPosition, shift ? juce::ModifierKeys::shiftModifier : 0, true));
        return slider.getValue();
    }

private:
    juce::MouseEvent event (juce::Point<float> position, juce::ModifierKeys extra, bool dragged)
    {
        const auto mods = extra.withFlags (juce::ModifierKeys::leftButtonModifier);
        const auto time = start + juce::RelativeTime::milliseconds (10 * ++ticks);

        return {juce::Desktop::getInstance().getMainMouseSource(),
                position,
                mods,
                juce::MouseInputSource::defaultPressure,
                juce::MouseInputSource::defaultOrientation,
                juce::MouseInputSource::defaultRotation,
                juce::MouseInputSource::defaultTiltX,
                juce::MouseInputSource::defaultTiltY,
                &slider,
                &slider,
                time,
                downPosition,
                start,
                1,
                dragged};
    }

    juce::Slider& slider;
    juce::Point<float> downPosition, lastPosition{downPosition};
    juce::Time start{1'700'000'000'000};
    int ticks = 0;
};

class RBSliderTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI juce;
};

struct DragStep
{
    float x;
    bool shift;
    double expectedValue;
};

struct DragCase
{
    const char* description;
    float downX;
    std::vector<DragStep> steps;
};

TEST_F (RBSliderTest, ShiftDragMovesATenthOfTheOffsetFromMouseDown)
{
    // Mouse-down at x = 112 puts the value at 100 in every case. A plain
    // slider would land on x - 12 at each step, which differs from every
    // Shift step below.
    const DragCase cases[]{
        {"25 px right with Shift moves as 2.5 px would", 112.0f, {{137.0f, true, 102.5}}},
        {"50 px left with Shift moves as 5 px would", 112.0f, {{62.0f, true, 95.0}}},
        {"an offset under half a pixel rounds to none with Shift",
         112.0f,
         {{112.4f, true, 100.0}, {111.6f, true, 100.0}}},
        {"the offset is rounded to whole pixels before scaling", 112.0f, {{124.6f, true, 101.3}}},
        {"Shift pressed mid-drag jumps to mouse-down plus a tenth, releasing it jumps back",
         112.0f,
         {{132.0f, false, 120.0}, {142.0f, true, 103.0}, {152.0f, true, 104.0}, {152.0f, false, 140.0}}},
        {"a drag far past the track's end with Shift stays well inside it", 112.0f, {{400.0f, true, 128.8}}},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);

        RBSlider slider;
        setUpLikeThePanel (slider);
        Gesture gesture (slider, c.downX);
        ASSERT_DOUBLE_EQ (slider.getValue(), c.downX - trackStart);

        for (const auto& step : c.steps)
        {
            SCOPED_TRACE (juce::String ("drag to x = ") + juce::String (step.x) +
                          (step.shift ? " with Shift" : ""));
            EXPECT_NEAR (gesture.dragTo (step.x, step.shift), step.expectedValue, 1.0e-4);
        }
    }
}

TEST_F (RBSliderTest, FineDragMatchesAPlainSliderMovedATenthAsFar)
{
    // Same settings, same press: the fine drag must land exactly where a plain
    // slider does when the mouse really moves a tenth of the (whole-pixel) offset.
    const struct
    {
        float x;
        float tenthAsFarX;
    } steps[]{{137.0f, 114.5f}, {63.0f, 107.1f}, {200.0f, 120.8f}, {112.0f, 112.0f}};

    RBSlider fine;
    juce::Slider plain;
    setUpLikeThePanel (fine);
    setUpLikeThePanel (plain);

    Gesture fineGesture (fine, 112.0f);
    Gesture plainGesture (plain, 112.0f);

    for (const auto& step : steps)
    {
        SCOPED_TRACE (juce::String ("drag to x = ") + juce::String (step.x));
        const auto fineValue = fineGesture.dragTo (step.x, true);
        EXPECT_DOUBLE_EQ (fineValue, plainGesture.dragTo (step.tenthAsFarX, false));

        if (step.x != 112.0f)
        {
            EXPECT_GT (std::abs (fineValue - (step.x - trackStart)), 1.0);
        }
    }
}

TEST_F (RBSliderTest, WithoutShiftBehavesExactlyLikeAPlainSlider)
{
    const float xs[]{113.7f, 150.2f, 40.0f, 300.0f, -10.0f, 112.5f, 187.25f};

    RBSlider rb;
    juce::Slider plain;
    setUpLikeThePanel (rb);
    setUpLikeThePanel (plain);

    {
        Gesture rbGesture (rb, 112.0f);
        Gesture plainGesture (plain, 112.0f);
        ASSERT_DOUBLE_EQ (rb.getValue(), plain.getValue());

        for (auto x : xs)
        {
            SCOPED_TRACE (juce::String ("drag to x = ") + juce::String (x));
            EXPECT_DOUBLE_EQ (rbGesture.dragTo (x, false), plainGesture.dragTo (x, false));
        }
    }

    // The same path with Shift held must part company with the plain slider,
    // or the comparison above says nothing about the override.
    int differingSteps = 0;
    {
        Gesture rbGesture (rb, 112.0f);
        Gesture plainGesture (plain, 112.0f);

        for (auto x : xs)
            if (rbGesture.dragTo (x, true) != plainGesture.dragTo (x, true))
                ++differingSteps;
    }
    EXPECT_EQ (differingSteps, (int)std::size (xs));
}
} // namespace
