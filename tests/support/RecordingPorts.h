#pragma once

#include "device/MidiPorts.h"

#include <atomic>

/** Ports with nothing attached that count every call made on them, to show when
    the processor touches the system's MIDI and when it does not. */
class RecordingPorts final : public MidiPorts
{
public:
    struct Calls
    {
        std::atomic<int> listOutputs { 0 }, listInputs { 0 }, openOutput { 0 }, inputCalls { 0 };

        int total() const { return listOutputs + listInputs + openOutput + inputCalls; }
    };

    explicit RecordingPorts (std::shared_ptr<Calls> callsToRecordInto) : calls (std::move (callsToRecordInto)) {}

    juce::Array<juce::MidiDeviceInfo> getAvailableOutputs() override { ++calls->listOutputs; return {}; }
    juce::Array<juce::MidiDeviceInfo> getAvailableInputs() override { ++calls->listInputs; return {}; }
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String&) override { ++calls->openOutput; return nullptr; }
    bool isInputEnabled (const juce::String&) override { ++calls->inputCalls; return false; }
    void setInputEnabled (const juce::String&, bool) override { ++calls->inputCalls; }
    void addInputCallback (const juce::String&, juce::MidiInputCallback*) override { ++calls->inputCalls; }
    void removeInputCallback (const juce::String&, juce::MidiInputCallback*) override { ++calls->inputCalls; }

private:
    std::shared_ptr<Calls> calls;
};
