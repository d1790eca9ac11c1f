// A taken preset name lands on the system clipboard, where another program can
// paste it. Needs an X server: the test command provides a virtual one.

#include "device/SysEx.h"
#include "plugin/BasaltProcessor.h"
#include "support/SimulatedUnit.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

namespace
{
using namespace std::chrono_literals;
using Model = SimulatedUnit::Model;

bool haveDisplay()
{
    return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty();
}

// The X clipboard is served by its owner's message loop, so waiting means pumping.
bool pumpUntil (const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;

    while (! condition())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    }

    return true;
}

// Everything posted before this call has run once it returns true.
bool drainMessageQueue()
{
    auto done = std::make_shared<std::atomic<bool>> (false);
    juce::MessageManager::callAsync ([done] { *done = true; });
    return pumpUntil ([done] { return done->load(); });
}

// What another program pastes, read while this process keeps serving the clipboard.
juce::String pasteWithXclip()
{
    juce::ChildProcess xclip;

    if (! xclip.start (juce::StringArray { "xclip", "-o", "-selection", "clipboard" }))
    {
        ADD_FAILURE() << "could not start xclip";
        return {};
    }

    if (! pumpUntil ([&] { return ! xclip.isRunning(); }))
    {
        xclip.kill();
        ADD_FAILURE() << "xclip did not finish";
        return {};
    }

    EXPECT_EQ (xclip.getExitCode(), 0u);
    return xclip.readAllProcessOutput();
}

TEST (Clipboard, ATakenNameCanBePastedByAnotherProgram)
{
    if (! haveDisplay())
        GTEST_SKIP() << "DISPLAY is not set: the clipboard needs an X server (the test command runs under xvfb-run)";

    auto unit = SimulatedUnit::create (Model::fm9);
    unit->addOutput ("FM9 MIDI Out");
    unit->addInput ("FM9 MIDI In");
    auto processor = std::make_unique<BasaltProcessor> (unit->makePorts());

    processor->prepareToPlay (48000.0, 512);
    ASSERT_TRUE (waitUntil ([&] { return processor->isConnected(); }));
    ASSERT_TRUE (unit->waitUntilIdle()); // the start-up reply has been handled in full

    const juce::String name = "Clip Lead 7";
    unit->loadPreset (7, name);
    juce::SystemClipboard::copyTextToClipboard ("before");

    processor->awaitingNameReply = true;
    processor->getMidiOutput()->sendMessageNow (SysEx::makePresetNameQuery (processor->modelByte));

    EXPECT_TRUE (pumpUntil ([&] { return juce::SystemClipboard::getTextFromClipboard() == name; }))
        << "clipboard holds \"" << juce::SystemClipboard::getTextFromClipboard() << "\"";
    EXPECT_EQ (pasteWithXclip(), name);
}

TEST (Clipboard, ANameReplyNobodyAskedForLeavesTheClipboardAlone)
{
    if (! haveDisplay())
        GTEST_SKIP() << "DISPLAY is not set: the clipboard needs an X server (the test command runs under xvfb-run)";

    auto unit = SimulatedUnit::create();
    BasaltProcessor processor (unit->makePorts());
    const auto reply = SimulatedUnit::makeNameReply (Model::axeFxIII, 1, SimulatedUnit::makeNameField ("Unasked"));

    juce::SystemClipboard::copyTextToClipboard ("before");
    processor.awaitingNameReply = false;
    processor.handleIncomingMidiMessage (nullptr, reply);

    ASSERT_TRUE (drainMessageQueue());
    EXPECT_EQ (juce::SystemClipboard::getTextFromClipboard(), "before");
    EXPECT_EQ (pasteWithXclip(), "before");

    // The same reply, asked for, does reach it.
    processor.awaitingNameReply = true;
    processor.handleIncomingMidiMessage (nullptr, reply);

    ASSERT_TRUE (drainMessageQueue());
    EXPECT_EQ (juce::SystemClipboard::getTextFromClipboard(), "Unasked");
    EXPECT_EQ (pasteWithXclip(), "Unasked");
}
} // namespace
