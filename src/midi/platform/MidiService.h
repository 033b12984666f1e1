#pragma once
// The MIDI platform service: the one interface the port classes call. It keeps the shape of
// the classic midiOut/midiIn functions (result codes, headers, one callback), so the ports
// stay exact about who owns what and when; the backends behind it are FluidSynth, the ALSA
// sequencer and JACK.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

using TMidiResult = unsigned;                 // 0 = success, every other value has a text
using TMidiHandle = struct TMidiPortHandle*;  // opaque, owned by the service

// Callback messages, numbered as the ports expect them.
constexpr unsigned MIM_DATA = 963;       // short message in: p1 = packed message, p2 = time stamp
constexpr unsigned MIM_LONGDATA = 964;   // system exclusive buffer filled: p1 = header
constexpr unsigned MIM_ERROR = 965;      // bytes that form no message: p1 = packed as for MIM_DATA
constexpr unsigned MIM_LONGERROR = 966;  // incomplete system exclusive buffer: p1 = header
constexpr unsigned MOM_DONE = 969;       // output block done: p1 = header

// Result codes. Texts: MidiResultText. 512 and above are texts the service registered at run
// time (a JACK or ALSA message, say).
constexpr TMidiResult MMSYSERR_NOERROR = 0;
constexpr TMidiResult MMSYSERR_ERROR = 1;
constexpr TMidiResult MMSYSERR_BADDEVICEID = 2;
constexpr TMidiResult MMSYSERR_ALLOCATED = 4;
constexpr TMidiResult MMSYSERR_INVALHANDLE = 5;
constexpr TMidiResult MMSYSERR_NODRIVER = 6;
constexpr TMidiResult MMSYSERR_NOMEM = 7;
constexpr TMidiResult MMSYSERR_INVALPARAM = 11;
constexpr TMidiResult MIDIERR_UNPREPARED = 64;
constexpr TMidiResult MIDIERR_STILLPLAYING = 65;
constexpr TMidiResult MIDIERR_NOTREADY = 67;

// MIDIHDR: 64 bytes as passed. The program sets only lpData, dwBufferLength and dwUser.
struct TMidiHeader {
    uint8_t* lpData;
    uint32_t dwBufferLength;
    uint32_t dwBytesRecorded;
    uintptr_t dwUser;
    uint32_t dwFlags;
    uint32_t reserved0;
    TMidiHeader* lpNext;
    uintptr_t reserved;
    uint32_t dwOffset;
    uint32_t dwReserved[3];
};
static_assert(sizeof(TMidiHeader) == 64, "a header is 64 bytes as passed");
constexpr unsigned MHDR_DONE = 0x1;
constexpr unsigned MHDR_PREPARED = 0x2;
constexpr unsigned MHDR_INQUEUE = 0x4;

// Where it runs: input messages on the thread that hears the device (RtMidi's ALSA thread, or
// the JACK process thread of the input's own client), and on the window thread inside
// InAddBuffer and InReset, which may hand buffers back; MOM_DONE on the window thread inside
// OutLongMsg. The service holds its reception lock around every input call, so the calls for
// one input never overlap. The callback must not wait for the window thread nor call back into
// the service; posting a Qt event (a small allocation, Qt's posted-event lock for a moment) is
// what it may do.
// It returns whether it kept what it was given. A short message or a filled buffer it did not
// keep (its queue was full) stays the service's: the service keeps it, with what arrives after
// it, in order, and offers them again when the port calls InDeliverWaiting. Only when what
// waits outgrows the service's bound are messages lost, and the service reports that loss.
using TMidiCallback = bool (*)(TMidiHandle handle, unsigned message, uintptr_t instance,
                               uintptr_t param1, uintptr_t param2);

class TMidiService {
public:
    virtual ~TMidiService() = default;

    virtual unsigned OutGetNumDevs() = 0;
    // device −1 is the mapper; the name is at most 31 characters.
    virtual TMidiResult OutGetDevCaps(int device, std::string& productName) = 0;
    virtual TMidiResult OutOpen(TMidiHandle* handle, int device, TMidiCallback callback,
                                uintptr_t instance) = 0;
    virtual TMidiResult OutShortMsg(TMidiHandle handle, uint32_t message) = 0;
    virtual TMidiResult OutPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) = 0;
    virtual TMidiResult OutLongMsg(TMidiHandle handle, TMidiHeader* header, unsigned size) = 0;
    virtual TMidiResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) = 0;
    virtual TMidiResult OutClose(TMidiHandle handle) = 0;

    virtual unsigned InGetNumDevs() = 0;
    virtual TMidiResult InGetDevCaps(int device, std::string& productName) = 0;
    virtual TMidiResult InOpen(TMidiHandle* handle, int device, TMidiCallback callback,
                               uintptr_t instance) = 0;
    virtual TMidiResult InPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) = 0;
    virtual TMidiResult InAddBuffer(TMidiHandle handle, TMidiHeader* header, unsigned size) = 0;
    virtual TMidiResult InUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) = 0;
    virtual TMidiResult InStart(TMidiHandle handle) = 0;
    virtual TMidiResult InReset(TMidiHandle handle) = 0;
    // Window thread: the port has room again; what the callback did not keep is offered again.
    virtual TMidiResult InDeliverWaiting(TMidiHandle handle) = 0;
    virtual TMidiResult InClose(TMidiHandle handle) = 0;

    // Fills text and returns 0, or returns nonzero when the code has no text.
    virtual TMidiResult GetErrorText(TMidiResult code, std::string& text);
};

// The process-wide service. The first call makes the system service (FluidSynth, then ALSA or
// JACK ports); tests install their own before that.
TMidiService& MidiService();
void SetMidiService(std::unique_ptr<TMidiService> service);
// Starts making the system service, and listing its devices, on a thread of its own: opening a
// JACK client takes tens of milliseconds, which the program spends building its window instead.
// The first MidiService() call waits for it. Call on the window thread before any MidiService()
// call; does nothing when a service is there already.
void StartMidiService();

// Texts of the fixed codes, and of the codes registered at run time. Thread-safe.
TMidiResult MidiResultText(TMidiResult code, std::string& text);
// What a failure comes down to, so that the window can say why in its own language.
enum class TMidiFailure { Other, NoAudioOutput, PortBusy, PortGone, NoServer };

// One code per distinct text, however often it is registered; never throws. A text keeps the
// kind it was first registered with.
TMidiResult RegisterMidiErrorText(const std::string& text, TMidiFailure kind = TMidiFailure::Other) noexcept;
TMidiFailure MidiFailureOf(TMidiResult code);

// Which system MIDI service to use: KELVANE_MIDI_API=alsa|jack|none, else automatic.
enum class TMidiApi { Automatic, Alsa, Jack, None };
TMidiApi MidiApiFromEnvironment();
