#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// The runner's main thread is the message thread, as in a DAW: VST3 state calls
// and plug-in creation must come from it.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
