#include "plugin/BasaltProcessor.h"

#include "device/PortNames.h"
#include "device/SysEx.h"

BasaltProcessor::InitMidiThread::InitMidiThread() : juce::Thread ("Basalt Init MIDI Thread") {}

void BasaltProcessor::InitMidiThread::run()
{
    auto& processor = *owner.load();

    if (processor.midiInitStarted.exchange (true))
        return;

    auto& ports = *processor.ports;

    // Raised before any output is published, so that an open output never reads
    // as connected before the unit has answered.
    processor.awaitingStartupReply = 1;

    // The last matching output wins, even when it fails to open.
    for (const auto& output : ports.getAvailableOutputs())
        if (PortNames::isUnitPort (output.name))
            processor.setMidiOutput (ports.openOutput (output.identifier));

    // Every matching input delivers to the processor.
    for (const auto& input : ports.getAvailableInputs())
    {
        if (! PortNames::isUnitPort (input.name))
            continue;

        if (PortNames::isFm9Port (input.name))
            processor.modelByte = SysEx::fm9Model;

        processor.registerForInput (input.identifier);
    }

    auto output = processor.getMidiOutput();

    if (output == nullptr)
        return;

    output->sendMessageNow (SysEx::makePresetNameQuery (processor.modelByte));

    // Wait up to a second for the answer; a later answer still connects the link.
    // The exit check lets a processor that is being destroyed end this wait early.
    for (int i = 0; i < 100 && processor.awaitingStartupReply.load() != 0 && ! threadShouldExit(); ++i)
        sleep (10);
}
