#include "plugin/BasaltProcessor.h"

#include "device/JuceMidiPorts.h"
#include "plugin/Parameters.h"

BasaltProcessor::BasaltProcessor() : BasaltProcessor (std::make_unique<JuceMidiPorts>()) {}

BasaltProcessor::BasaltProcessor (std::unique_ptr<MidiPorts> portsToUse)
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      ports (std::move (portsToUse)),
      parameters (*this, nullptr, Parameters::stateType, Parameters::createLayout())
{
    // Nothing here touches a port: the unit is searched for on the first prepareToPlay.
}

BasaltProcessor::~BasaltProcessor()
{
    // No callback may reach a half-destroyed processor, and the start-up thread
    // must not register a new one after this.
    initMidiThread.signalThreadShouldExit();
    removeInputRegistrations();

    // The thread checks for the exit request between its 10 ms waits.
    initMidiThread.stopThread (-1);

    storedMessages.clear();
    setMidiOutput (nullptr);
}

//==============================================================================
const juce::String BasaltProcessor::getName() const
{
    return "Snapwell";
}

void BasaltProcessor::prepareToPlay (double, int)
{
    // Returns at once: the search runs on its own thread, and only its first run does any work.
    initMidiThread.owner = this;
    initMidiThread.startThread (juce::Thread::Priority::normal);
}

void BasaltProcessor::releaseResources() {}

void BasaltProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    // Audio thread: no lock, no allocation, no field of the device link. With the
    // accepted layouts the channel counts match, so the audio passes untouched.
    for (auto channel = getTotalNumInputChannels(); channel < getTotalNumOutputChannels(); ++channel)
        buffer.clear (channel, 0, buffer.getNumSamples());
}

double BasaltProcessor::getTailLengthSeconds() const { return 0.0; }
bool BasaltProcessor::acceptsMidi() const { return false; }
bool BasaltProcessor::producesMidi() const { return false; }
bool BasaltProcessor::isMidiEffect() const { return false; }

juce::AudioProcessorEditor* BasaltProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
}

bool BasaltProcessor::hasEditor() const { return true; }

//==============================================================================
// One program, named after the caught preset.
int BasaltProcessor::getNumPrograms() { return 1; }
int BasaltProcessor::getCurrentProgram() { return 0; }
void BasaltProcessor::setCurrentProgram (int) {}
const juce::String BasaltProcessor::getProgramName (int) { return presetName.toString(); }
void BasaltProcessor::changeProgramName (int, const juce::String&) {}

//==============================================================================
bool BasaltProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();

    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == output;
}

//==============================================================================
std::shared_ptr<MidiOutputPort> BasaltProcessor::getMidiOutput() const
{
    return std::atomic_load (&midiOutput);
}

void BasaltProcessor::setMidiOutput (std::unique_ptr<MidiOutputPort> newOutput)
{
    // The old output closes when its last sender lets go of it.
    std::atomic_store (&midiOutput, std::shared_ptr<MidiOutputPort> (std::move (newOutput)));
}

bool BasaltProcessor::isConnected() const
{
    return getMidiOutput() != nullptr && awaitingStartupReply.load() == 0;
}

void BasaltProcessor::registerForInput (const juce::String& identifier)
{
    const juce::ScopedLock sl (registrationLock);

    if (tearingDown)
        return;

    ports->removeInputCallback (identifier, this);

    if (! ports->isInputEnabled (identifier))
        ports->setInputEnabled (identifier, true);

    ports->addInputCallback (identifier, this);
    registeredInputs.addIfNotAlreadyThere (identifier);
    midiInputIdentifier = identifier;
}

void BasaltProcessor::removeInputRegistrations()
{
    const juce::ScopedLock sl (registrationLock);
    tearingDown = true;

    for (const auto& identifier : registeredInputs)
        ports->removeInputCallback (identifier, this);

    registeredInputs.clear();
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new BasaltProcessor();
}
