#include "support/SimulatedUnit.h"

namespace
{
constexpr juce::uint8 sysExStart = 0xF0, sysExEnd = 0xF7;
constexpr juce::uint8 nameQuery = 0x0D, presetRequest = 0x03, acknowledgement = 0x64;
constexpr juce::uint8 presetHeader = 0x77, presetBody = 0x78, presetFooter = 0x79;

juce::uint8 modelByteOf (SimulatedUnit::Model model) noexcept
{
    return model == SimulatedUnit::Model::fm9 ? 0x12 : 0x10;
}

SimulatedUnit::Bytes fractalStart (juce::uint8 modelByte, juce::uint8 function)
{
    return { sysExStart, 0x00, 0x01, 0x74, modelByte, function };
}

juce::MidiMessage finish (SimulatedUnit::Bytes bytes)
{
    bytes.push_back (SimulatedUnit::checksumOf (bytes));
    bytes.push_back (sysExEnd);
    return SimulatedUnit::messageOf (bytes);
}

bool isPresetFunction (juce::uint8 function) noexcept
{
    return function == presetHeader || function == presetBody || function == presetFooter;
}
} // namespace

//==============================================================================
class SimulatedUnit::Output final : public MidiOutputPort
{
public:
    Output (std::shared_ptr<SimulatedUnit> unitToUse, juce::String identifierToUse, int serialToUse)
        : unit (std::move (unitToUse)), identifier (std::move (identifierToUse)), serial (serialToUse)
    {
    }

    ~Output() override { unit->outputClosed (serial, identifier); }

    void sendMessageNow (const juce::MidiMessage& message) override { unit->receive (serial, identifier, message); }

private:
    const std::shared_ptr<SimulatedUnit> unit;
    const juce::String identifier;
    const int serial;
};

class SimulatedUnit::Front final : public MidiPorts
{
public:
    explicit Front (std::shared_ptr<SimulatedUnit> unitToUse) : unit (std::move (unitToUse)) {}

    juce::Array<juce::MidiDeviceInfo> getAvailableOutputs() override { return unit->listOutputs(); }
    juce::Array<juce::MidiDeviceInfo> getAvailableInputs() override { return unit->listInputs(); }
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier) override { return unit->openOutput (identifier); }
    bool isInputEnabled (const juce::String& identifier) override { return unit->frontIsInputEnabled (identifier); }
    void setInputEnabled (const juce::String& identifier, bool enabled) override { unit->frontSetInputEnabled (identifier, enabled); }
    void addInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback) override { unit->addCallback (identifier, callback); }
    void removeInputCallback (const juce::String& identifier, juce::MidiInputCallback* callback) override { unit->removeCallback (identifier, callback); }

private:
    const std::shared_ptr<SimulatedUnit> unit;
};

//==============================================================================
std::shared_ptr<SimulatedUnit> SimulatedUnit::create (Model model)
{
    return std::shared_ptr<SimulatedUnit> (new SimulatedUnit (model));
}

SimulatedUnit::SimulatedUnit (Model modelToUse) : model (modelToUse)
{
    acknowledge = [] (int) { return true; };
    loadPreset (1, "Snapwell Test");
    thread = std::thread ([this] { run(); });
}

SimulatedUnit::~SimulatedUnit()
{
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        stopping = true;
    }

    jobsChanged.notify_all();

    if (thread.get_id() == std::this_thread::get_id())
        thread.detach();
    else
        thread.join();
}

//==============================================================================
juce::String SimulatedUnit::addOutput (const juce::String& name, bool opens, bool reachesUnit)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    Port port;
    port.name = name;
    port.identifier = "sim-out-" + juce::String ((int) outputs.size() + 1);
    port.opens = opens;
    port.reachesUnit = reachesUnit;
    outputs.push_back (port);
    return port.identifier;
}

juce::String SimulatedUnit::addInput (const juce::String& name, bool fromUnit)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    Port port;
    port.name = name;
    port.identifier = "sim-in-" + juce::String ((int) inputs.size() + 1);
    port.fromUnit = fromUnit;
    inputs.push_back (port);

    if (fromUnit && replyInput.isEmpty())
        replyInput = port.identifier;

    return port.identifier;
}

void SimulatedUnit::setReplyInput (const juce::String& identifier)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    replyInput = identifier;
}

std::unique_ptr<MidiPorts> SimulatedUnit::makePorts()
{
    return std::make_unique<Front> (shared_from_this());
}

//==============================================================================
juce::uint8 SimulatedUnit::getModelByte() const noexcept
{
    return modelByteOf (model);
}

int SimulatedUnit::getMessagesPerPreset() const noexcept
{
    return model == Model::fm9 ? 10 : 18;
}

void SimulatedUnit::loadPreset (int number, const juce::String& name)
{
    auto preset = makePreset (model, number, name);
    const std::lock_guard<std::mutex> sl (stateLock);
    takePresetLocked (std::move (preset));
}

void SimulatedUnit::setNameField (const NameField& field)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    nameField = field;
}

std::vector<juce::MidiMessage> SimulatedUnit::getPresetMessages() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return currentPreset;
}

juce::String SimulatedUnit::getPresetName() const
{
    const std::lock_guard<std::mutex> sl (stateLock);

    if (currentPreset.empty() || currentPreset.front().getRawDataSize() < 40)
        return {};

    const auto* header = currentPreset.front().getRawData();
    return juce::String (reinterpret_cast<const char*> (header + 8), 32).trimEnd();
}

std::vector<juce::MidiMessage> SimulatedUnit::makePreset (Model model, int number, const juce::String& name)
{
    const auto modelByte = modelByteOf (model);
    const int numMessages = model == Model::fm9 ? 10 : 18;
    juce::Random random (number * 7919 + (model == Model::fm9 ? 1 : 0) + name.hashCode64());

    auto randomData = [&random] (Bytes& bytes, int count)
    {
        for (int i = 0; i < count; ++i)
            bytes.push_back ((juce::uint8) random.nextInt (0x80));
    };

    std::vector<juce::MidiMessage> preset;

    // Header: preset number, name field, a few settings.
    auto header = fractalStart (modelByte, presetHeader);
    header.push_back ((juce::uint8) (number & 0x7F));
    header.push_back ((juce::uint8) ((number >> 7) & 0x7F));

    for (auto byte : makeNameField (name))
        header.push_back (byte);

    randomData (header, 6);
    preset.push_back (finish (header));

    // Bodies: a few hundred data bytes each, lengths differing from one to the next.
    for (int i = 0; i < numMessages - 2; ++i)
    {
        auto body = fractalStart (modelByte, presetBody);
        body.push_back ((juce::uint8) i);
        randomData (body, 240 + random.nextInt (400));
        preset.push_back (finish (body));
    }

    // Footer: 11 bytes in all.
    auto footer = fractalStart (modelByte, presetFooter);
    randomData (footer, 3);
    preset.push_back (finish (footer));

    return preset;
}

// The unit's text is 7-bit; anything else shows as '?'.
SimulatedUnit::NameField SimulatedUnit::makeNameField (const juce::String& name)
{
    NameField field;
    field.fill (' ');

    const char* utf8 = name.toRawUTF8();

    for (size_t i = 0; i < field.size() && utf8[i] != 0; ++i)
        field[i] = (static_cast<unsigned char> (utf8[i]) < 0x80) ? (juce::uint8) utf8[i] : (juce::uint8) '?';

    return field;
}

juce::MidiMessage SimulatedUnit::makeNameReply (Model model, int number, const NameField& field)
{
    auto reply = fractalStart (modelByteOf (model), nameQuery);
    reply.push_back ((juce::uint8) (number & 0x7F));
    reply.push_back ((juce::uint8) ((number >> 7) & 0x7F));
    reply.insert (reply.end(), field.begin(), field.end());
    return finish (reply);
}

void SimulatedUnit::takePresetLocked (std::vector<juce::MidiMessage> preset)
{
    currentPreset = std::move (preset);
    const auto* header = currentPreset.front().getRawData();
    presetNumber = header[6] | (header[7] << 7);
    std::copy (header + 8, header + 40, nameField.begin());
}

//==============================================================================
void SimulatedUnit::setSilent (bool shouldBeSilent)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    silent = shouldBeSilent;
}

void SimulatedUnit::setReplyDelay (std::chrono::milliseconds delay)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    replyDelay = delay;
}

void SimulatedUnit::setDropLastPresetMessage (bool shouldDrop)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    dropLast = shouldDrop;
}

void SimulatedUnit::setAcknowledgement (std::function<bool (int)> shouldAcknowledge)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    acknowledge = std::move (shouldAcknowledge);
}

void SimulatedUnit::setStrays (bool shouldSendStrays)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    strays = shouldSendStrays;
}

void SimulatedUnit::setInputListingDelay (std::chrono::milliseconds delay)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    inputListingDelay = delay;
}

std::vector<juce::MidiMessage> SimulatedUnit::getStrayMessages() const
{
    const auto modelByte = getModelByte();

    auto nameLike = [modelByte] (int totalLength)
    {
        auto bytes = fractalStart (modelByte, nameQuery);

        while ((int) bytes.size() < totalLength - 2)
            bytes.push_back (' ');

        return finish (bytes);
    };

    auto tempo = fractalStart (modelByte, 0x10);
    tempo.push_back (0x01);

    return {
        messageOf ({ 0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7 }), // another maker's SysEx
        messageOf ({ 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 }),                   // universal identity request
        messageOf ({ 0xF0, 0x00, 0x01, 0x74, 0xF7 }),                         // ours, but too short for a function
        juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100),
        juce::MidiMessage::controllerEvent (1, 7, 100),
        juce::MidiMessage::midiClock(),
        nameLike (41),
        nameLike (43),
        finish (tempo),
    };
}

//==============================================================================
void SimulatedUnit::sendFromUnit (const juce::MidiMessage& message, const juce::String& inputIdentifier)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    Job job { Job::Kind::outgoing, message, inputIdentifier.isEmpty() ? replyInput : inputIdentifier };
    enqueueLocked (Clock::now(), std::move (job));
}

//==============================================================================
std::vector<SimulatedUnit::Received> SimulatedUnit::getReceived() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return received;
}

juce::StringArray SimulatedUnit::getEvents() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return events;
}

int SimulatedUnit::getSendsAfterClose() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return sendsAfterClose;
}

int SimulatedUnit::getOpenOutputCount() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return openOutputs;
}

std::vector<std::pair<juce::String, juce::MidiInputCallback*>> SimulatedUnit::getRegistrations() const
{
    const std::lock_guard<std::recursive_mutex> sl (callbackLock);
    return registrations;
}

bool SimulatedUnit::isInputEnabled (const juce::String& identifier) const
{
    const std::lock_guard<std::mutex> sl (stateLock);

    for (const auto& port : inputs)
        if (port.identifier == identifier)
            return port.enabled;

    return false;
}

int SimulatedUnit::getDeliveryCount() const
{
    return deliveries.load();
}

std::pair<SimulatedUnit::Clock::time_point, SimulatedUnit::Clock::time_point> SimulatedUnit::getLastAnswerTimes() const
{
    const std::lock_guard<std::mutex> sl (stateLock);
    return { answerStart, answerEnd };
}

bool SimulatedUnit::waitUntilIdle (std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock (stateLock);
    return idleChanged.wait_for (lock, timeout, [this] { return jobs.empty() && ! delivering; });
}

void SimulatedUnit::clearRecords()
{
    const std::lock_guard<std::mutex> sl (stateLock);
    received.clear();
    events.clear();
}

//==============================================================================
SimulatedUnit::Bytes SimulatedUnit::bytesOf (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    return { data, data + message.getRawDataSize() };
}

juce::MidiMessage SimulatedUnit::messageOf (const Bytes& bytes)
{
    return juce::MidiMessage (bytes.data(), (int) bytes.size(), 0.0);
}

juce::uint8 SimulatedUnit::checksumOf (const Bytes& bytesBeforeChecksum)
{
    juce::uint8 sum = 0;

    for (auto byte : bytesBeforeChecksum)
        sum ^= byte;

    return (juce::uint8) (sum & 0x7F);
}

//==============================================================================
SimulatedUnit::Port* SimulatedUnit::findPortLocked (std::vector<Port>& ports, const juce::String& identifier)
{
    for (auto& port : ports)
        if (port.identifier == identifier)
            return &port;

    return nullptr;
}

juce::Array<juce::MidiDeviceInfo> SimulatedUnit::listOutputs()
{
    const std::lock_guard<std::mutex> sl (stateLock);
    events.add ("list-outputs");

    juce::Array<juce::MidiDeviceInfo> list;

    for (const auto& port : outputs)
        list.add ({ port.name, port.identifier });

    return list;
}

juce::Array<juce::MidiDeviceInfo> SimulatedUnit::listInputs()
{
    std::chrono::milliseconds delay;

    {
        const std::lock_guard<std::mutex> sl (stateLock);
        events.add ("list-inputs");
        delay = inputListingDelay;
    }

    std::this_thread::sleep_for (delay);

    const std::lock_guard<std::mutex> sl (stateLock);
    juce::Array<juce::MidiDeviceInfo> list;

    for (const auto& port : inputs)
        list.add ({ port.name, port.identifier });

    return list;
}

std::unique_ptr<MidiOutputPort> SimulatedUnit::openOutput (const juce::String& identifier)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    auto* port = findPortLocked (outputs, identifier);

    if (port == nullptr || ! port->opens)
    {
        events.add ("open-failed " + identifier);
        return nullptr;
    }

    const auto serial = nextSerial++;
    outputClosedBySerial[serial] = false;
    ++openOutputs;
    events.add ("open " + identifier);
    return std::make_unique<Output> (shared_from_this(), identifier, serial);
}

void SimulatedUnit::outputClosed (int serial, const juce::String& identifier)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    outputClosedBySerial[serial] = true;
    --openOutputs;
    events.add ("close " + identifier);
}

void SimulatedUnit::receive (int serial, const juce::String& identifier, const juce::MidiMessage& message)
{
    const std::lock_guard<std::mutex> sl (stateLock);

    if (outputClosedBySerial[serial])
        ++sendsAfterClose;

    received.push_back ({ identifier, message });
    events.add ("send " + identifier);

    if (auto* port = findPortLocked (outputs, identifier); port != nullptr && port->reachesUnit)
        enqueueLocked (Clock::now(), { Job::Kind::incoming, message, {} });
}

bool SimulatedUnit::frontIsInputEnabled (const juce::String& identifier)
{
    const std::lock_guard<std::mutex> sl (stateLock);
    auto* port = findPortLocked (inputs, identifier);
    return port != nullptr && port->enabled;
}

void SimulatedUnit::frontSetInputEnabled (const juce::String& identifier, bool enabled)
{
    const std::lock_guard<std::mutex> sl (stateLock);

    if (auto* port = findPortLocked (inputs, identifier))
    {
        port->enabled = enabled;
        events.add ((enabled ? "enable " : "disable ") + identifier);
    }
}

// As the framework's device manager does: an earlier identical registration is
// replaced, and a callback for an input that is not enabled is not kept.
void SimulatedUnit::addCallback (const juce::String& identifier, juce::MidiInputCallback* callback)
{
    const std::lock_guard<std::recursive_mutex> cl (callbackLock);
    removeCallback (identifier, callback);

    const std::lock_guard<std::mutex> sl (stateLock);
    auto* port = findPortLocked (inputs, identifier);

    if (port == nullptr || ! port->enabled)
    {
        events.add ("add-ignored " + identifier);
        return;
    }

    registrations.emplace_back (identifier, callback);
    events.add ("add " + identifier);
}

void SimulatedUnit::removeCallback (const juce::String& identifier, juce::MidiInputCallback* callback)
{
    const std::lock_guard<std::recursive_mutex> cl (callbackLock);
    const auto sizeBefore = registrations.size();

    registrations.erase (std::remove (registrations.begin(), registrations.end(), std::make_pair (identifier, callback)),
                         registrations.end());

    if (registrations.size() != sizeBefore)
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        events.add ("remove " + identifier);
    }
}

//==============================================================================
void SimulatedUnit::enqueueLocked (Clock::time_point due, Job job)
{
    jobs.emplace (std::make_pair (due, nextJobNumber++), std::move (job));
    jobsChanged.notify_all();
}

void SimulatedUnit::run()
{
    std::unique_lock<std::mutex> lock (stateLock);

    while (! stopping)
    {
        if (jobs.empty())
        {
            jobsChanged.wait (lock);
            continue;
        }

        const auto next = jobs.begin();

        if (next->first.first > Clock::now())
        {
            jobsChanged.wait_until (lock, next->first.first);
            continue;
        }

        const auto job = std::move (next->second);
        jobs.erase (next);
        delivering = true;
        lock.unlock();

        if (job.kind == Job::Kind::incoming)
            handleRequest (job.message);
        else
            deliver (job);

        lock.lock();
        delivering = false;
        idleChanged.notify_all();
    }
}

void SimulatedUnit::handleRequest (const juce::MidiMessage& message)
{
    const auto bytes = bytesOf (message);
    const std::lock_guard<std::mutex> sl (stateLock);

    if (silent)
        return;

    // Only well-formed messages for this model, with a correct checksum, are understood.
    if (bytes.size() < 8 || bytes[0] != sysExStart || bytes[1] != 0x00 || bytes[2] != 0x01 || bytes[3] != 0x74
        || bytes[4] != getModelByte() || bytes.back() != sysExEnd
        || bytes[bytes.size() - 2] != checksumOf ({ bytes.begin(), bytes.end() - 2 }))
        return;

    const auto function = bytes[5];

    if (function == nameQuery && bytes.size() == 10)
    {
        answerLocked ({ makeNameReplyLocked() });
    }
    else if (function == presetRequest && bytes.size() == 10)
    {
        auto preset = currentPreset;

        if (dropLast)
            preset.pop_back();

        answerLocked (preset);
    }
    else if (isPresetFunction (function))
    {
        if (function == presetHeader)
            incomingPreset.clear();

        const auto index = (int) incomingPreset.size();
        incomingPreset.push_back (message);

        const auto& first = incomingPreset.front();
        const bool startsWithHeader = first.getRawDataSize() >= 40 && first.getRawData()[5] == presetHeader;

        if (function == presetFooter && bytes.size() == 11 && startsWithHeader)
        {
            takePresetLocked (incomingPreset);
            incomingPreset.clear();
        }

        if (acknowledge (index))
        {
            auto ack = fractalStart (getModelByte(), acknowledgement);
            ack.push_back (function);
            ack.push_back (0x00); // no error
            answerLocked ({ finish (ack) });
        }
    }
}

juce::MidiMessage SimulatedUnit::makeNameReplyLocked() const
{
    return makeNameReply (model, presetNumber, nameField);
}

void SimulatedUnit::answerLocked (const std::vector<juce::MidiMessage>& messages)
{
    const auto due = Clock::now() + replyDelay;
    const auto strayMessages = strays ? getStrayMessages() : std::vector<juce::MidiMessage>();

    auto addStray = [&]
    {
        if (! strayMessages.empty())
            enqueueLocked (due, { Job::Kind::outgoing, strayMessages[(size_t) (strayCursor++ % (int) strayMessages.size())], replyInput });
    };

    for (size_t i = 0; i < messages.size(); ++i)
    {
        addStray();
        Job job { Job::Kind::outgoing, messages[i], replyInput };
        job.firstOfAnswer = i == 0;
        job.lastOfAnswer = i + 1 == messages.size();
        enqueueLocked (due, std::move (job));
    }

    addStray();
}

void SimulatedUnit::deliver (const Job& job)
{
    const std::lock_guard<std::recursive_mutex> cl (callbackLock);

    {
        const std::lock_guard<std::mutex> sl (stateLock);
        auto* port = findPortLocked (inputs, job.inputIdentifier);

        if (port == nullptr || ! port->enabled)
            return;

        if (job.firstOfAnswer)
            answerStart = Clock::now();
    }

    // The framework never passes active sensing on.
    if (! job.message.isActiveSense())
    {
        const auto callbacks = registrations;

        for (const auto& [identifier, callback] : callbacks)
        {
            if (identifier == job.inputIdentifier)
            {
                ++deliveries;
                callback->handleIncomingMidiMessage (nullptr, job.message);
            }
        }
    }

    if (job.lastOfAnswer)
    {
        const std::lock_guard<std::mutex> sl (stateLock);
        answerEnd = Clock::now();
    }
}

//==============================================================================
bool waitUntil (const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;

    while (! condition())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();

        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }

    return true;
}
