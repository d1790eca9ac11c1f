#pragma once

#include "device/MidiPorts.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

/** An Axe-Fx III or FM9 on the end of a USB cable, as far as the plug-in relies
    on one and no further.

    The unit lives in a shared object; makePorts() hands out a thin MidiPorts front
    that a processor can own, so a test can still look at the unit while the
    processor runs and after it is gone.

    Messages reach the unit through an output opened on a port that reaches it;
    the unit answers on its own thread (as the framework's MIDI input thread
    would), through its reply input, to the callbacks registered for that input
    while it is enabled. Delivery holds a lock that removeInputCallback also takes,
    so once a removal returns the callback is neither running nor called again.

    The unit only answers requests that carry its own model byte and a correct
    checksum:
    - a name query gets a 42-byte reply with the current name field;
    - a preset request gets the current preset: 18 messages (Axe-Fx III) or 10
      (FM9), a 0x77, then 0x78s, ending with an 11-byte 0x79;
    - every preset message sent to it is acknowledged with a 0x64 and kept; a
      complete 0x77..0x79 run becomes the current preset.

    Everything sent to it is recorded, and so is every port event, in order.
*/
class SimulatedUnit : public std::enable_shared_from_this<SimulatedUnit>
{
public:
    enum class Model
    {
        axeFxIII,
        fm9
    };

    using Bytes = std::vector<juce::uint8>;
    using Clock = std::chrono::steady_clock;
    using NameField = std::array<juce::uint8, 32>;

    static std::shared_ptr<SimulatedUnit> create (Model model = Model::axeFxIII);

    ~SimulatedUnit();

    //==============================================================================
    // Ports. Set them up before the processor searches.

    /** An output (plug-in to unit); returns its identifier. One that does not reach
        the unit only records what is sent on it. */
    juce::String addOutput (const juce::String& name, bool opens = true, bool reachesUnit = true);

    /** An input (unit to plug-in); returns its identifier. The first one that
        comes from the unit becomes the one the unit answers on. */
    juce::String addInput (const juce::String& name, bool fromUnit = true);

    /** Makes the unit answer on this input instead. */
    void setReplyInput (const juce::String& identifier);

    /** A MidiPorts front for a processor to own; it keeps the unit alive. */
    std::unique_ptr<MidiPorts> makePorts();

    //==============================================================================
    // What the unit holds.

    Model getModel() const noexcept { return model; }
    juce::uint8 getModelByte() const noexcept;
    int getMessagesPerPreset() const noexcept;

    /** Selects a preset: its messages are generated from the number and the name. */
    void loadPreset (int number, const juce::String& name);

    /** Replaces the name field that name replies carry (32 raw bytes). */
    void setNameField (const NameField& field);

    std::vector<juce::MidiMessage> getPresetMessages() const;

    /** The name the current preset's header carries, trailing spaces trimmed. */
    juce::String getPresetName() const;

    /** The messages a unit of this model sends for the given preset; the same
        number and name always give the same bytes. */
    static std::vector<juce::MidiMessage> makePreset (Model model, int number, const juce::String& name);

    /** A name field as the unit fills it: the name's 7-bit text, space-padded. */
    static NameField makeNameField (const juce::String& name);

    /** The 42-byte answer to a name query. */
    static juce::MidiMessage makeNameReply (Model model, int number, const NameField& field);

    //==============================================================================
    // Faults.

    /** Answers nothing, acknowledges nothing, keeps nothing. */
    void setSilent (bool shouldBeSilent);

    /** Every answer leaves this long after the request arrived. */
    void setReplyDelay (std::chrono::milliseconds delay);

    /** Preset dumps stop short of their closing 11-byte 0x79. */
    void setDropLastPresetMessage (bool shouldDrop);

    /** Decides, by position in the preset being received (0 = the 0x77), whether a
        message is acknowledged. Default: all. */
    void setAcknowledgement (std::function<bool (int indexInPreset)> shouldAcknowledge);

    /** Puts unrelated traffic before, between and after real answers. */
    void setStrays (bool shouldSendStrays);

    /** Makes listing the inputs take this long (a slow system call). */
    void setInputListingDelay (std::chrono::milliseconds delay);

    /** The unrelated traffic setStrays sends: other makers' SysEx, short messages,
        channel messages, real-time bytes, 0x0D messages of the wrong length. */
    std::vector<juce::MidiMessage> getStrayMessages() const;

    //==============================================================================
    /** Sends a message on an input (the reply input when none is given). */
    void sendFromUnit (const juce::MidiMessage& message, const juce::String& inputIdentifier = {});

    //==============================================================================
    // Records.

    struct Received
    {
        juce::String outputIdentifier;
        juce::MidiMessage message;
    };

    /** Everything sent on any of the outputs, in order. */
    std::vector<Received> getReceived() const;

    /** Port events in order: "open <id>", "open-failed <id>", "close <id>",
        "send <id>", "enable <id>", "disable <id>", "add <id>", "add-ignored <id>"
        (the input was not enabled), "remove <id>", "list-outputs", "list-inputs". */
    juce::StringArray getEvents() const;

    /** Sends made on an output object whose destructor had already run. */
    int getSendsAfterClose() const;

    int getOpenOutputCount() const;

    std::vector<std::pair<juce::String, juce::MidiInputCallback*>> getRegistrations() const;

    bool isInputEnabled (const juce::String& identifier) const;

    /** How many times a callback has been called. */
    int getDeliveryCount() const;

    /** When the first and the last message of the latest answer were handed to the callbacks. */
    std::pair<Clock::time_point, Clock::time_point> getLastAnswerTimes() const;

    /** Waits until nothing is queued and nothing is being delivered. */
    bool waitUntilIdle (std::chrono::milliseconds timeout = std::chrono::seconds (10));

    void clearRecords();

    //==============================================================================
    /** The raw bytes of a message, for byte-for-byte comparisons. */
    static Bytes bytesOf (const juce::MidiMessage& message);

    static juce::MidiMessage messageOf (const Bytes& bytes);

    /** XOR of every byte from F0 up to the checksum, masked to 7 bits. */
    static juce::uint8 checksumOf (const Bytes& bytesBeforeChecksum);

private:
    explicit SimulatedUnit (Model);

    class Front;
    class Output;
    friend class Front;
    friend class Output;

    struct Port
    {
        juce::String name, identifier;
        bool opens = true, reachesUnit = true, fromUnit = true, enabled = false;
    };

    struct Job
    {
        enum class Kind
        {
            incoming,
            outgoing
        };

        Kind kind;
        juce::MidiMessage message;
        juce::String inputIdentifier; // outgoing only
        bool firstOfAnswer = false, lastOfAnswer = false;
    };

    // Front and Output calls.
    juce::Array<juce::MidiDeviceInfo> listOutputs();
    juce::Array<juce::MidiDeviceInfo> listInputs();
    std::unique_ptr<MidiOutputPort> openOutput (const juce::String& identifier);
    void outputClosed (int serial, const juce::String& identifier);
    void receive (int serial, const juce::String& identifier, const juce::MidiMessage& message);
    bool frontIsInputEnabled (const juce::String& identifier);
    void frontSetInputEnabled (const juce::String& identifier, bool enabled);
    void addCallback (const juce::String& identifier, juce::MidiInputCallback* callback);
    void removeCallback (const juce::String& identifier, juce::MidiInputCallback* callback);

    void run();
    void handleRequest (const juce::MidiMessage& message);
    void answerLocked (const std::vector<juce::MidiMessage>& messages);
    void enqueueLocked (Clock::time_point due, Job job);
    void deliver (const Job& job);

    Port* findPortLocked (std::vector<Port>& ports, const juce::String& identifier);
    juce::MidiMessage makeNameReplyLocked() const;
    void takePresetLocked (std::vector<juce::MidiMessage> preset);

    const Model model;

    mutable std::mutex stateLock;
    std::condition_variable jobsChanged, idleChanged;

    // Everything below is guarded by stateLock.
    std::vector<Port> outputs, inputs;
    juce::String replyInput;
    std::vector<juce::MidiMessage> currentPreset;
    NameField nameField {};
    int presetNumber = 0;
    std::vector<juce::MidiMessage> incomingPreset;
    bool silent = false, dropLast = false, strays = false;
    std::chrono::milliseconds replyDelay { 0 }, inputListingDelay { 0 };
    std::function<bool (int)> acknowledge;
    int nextSerial = 1, openOutputs = 0, sendsAfterClose = 0;
    std::map<int, bool> outputClosedBySerial;
    std::vector<Received> received;
    juce::StringArray events;
    std::map<std::pair<Clock::time_point, juce::uint64>, Job> jobs;
    juce::uint64 nextJobNumber = 0;
    bool delivering = false, stopping = false;
    int strayCursor = 0;
    Clock::time_point answerStart, answerEnd;

    // Delivery runs under callbackLock; so do additions and removals. Lock order:
    // callbackLock, then stateLock.
    mutable std::recursive_mutex callbackLock;
    std::vector<std::pair<juce::String, juce::MidiInputCallback*>> registrations; // guarded by callbackLock
    std::atomic<int> deliveries { 0 };

    std::thread thread;
};

/** Polls a condition until it holds or the deadline passes. */
bool waitUntil (const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds (10));
