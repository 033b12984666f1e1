#pragma once
// The one home of the MIDI devices the windows see. Outputs are numbered from −1: the mapper
// ("Kelvane MIDI Mapper", which opens the first device), then the built-in synthesizer, then the
// system's ports (the ALSA sequencer's, else JACK's); inputs from 0, the system's ports only.
// Names are unique within a list (a repeated name gets " #2", " #3") and stable across
// restarts, so the settings file can store them.

#include "PortBackend.h"

#include <memory>
#include <string>
#include <vector>

// Which system MIDI service to use: KELVANE_MIDI_API=alsa|jack|none, else automatic.
enum class TMidiApi { Automatic, Alsa, Jack, None };
TMidiApi MidiApiFromEnvironment();

class TDeviceList {
public:
    static constexpr const char* MapperName = "Kelvane MIDI Mapper";

    // The backends this machine has: the synthesizer when a sound font is there, and the
    // system's ports of `api`.
    explicit TDeviceList(TMidiApi api);
    // Any backends (a test's), numbered in this order.
    explicit TDeviceList(std::vector<std::unique_ptr<TPortBackend>> backends);
    ~TDeviceList();
    TDeviceList(const TDeviceList&) = delete;
    TDeviceList& operator=(const TDeviceList&) = delete;

    // The devices of every backend read afresh, in numbering order (outputs without the
    // mapper). Opening counts in the last reading.
    std::vector<std::string> ReadOutputNames();
    std::vector<std::string> ReadInputNames();

    // Device `device` of the last reading, −1 being the mapper. On failure null, and `result`
    // says why.
    std::unique_ptr<TOutputConnection> OpenOutput(int device, TMidiResult& result);
    std::unique_ptr<TInputConnection> OpenInput(int device, TInputSink& sink, TMidiResult& result);

private:
    struct TDevice {
        TPortBackend* Backend;
        size_t Index;  // in that backend's own list
    };
    std::vector<std::string> Read(bool outputs, std::vector<TDevice>& devices);

    std::vector<std::unique_ptr<TPortBackend>> Backends;
    std::vector<TDevice> Outputs;
    std::vector<TDevice> Inputs;
    bool OutputsRead = false;
    bool InputsRead = false;
};

// Appends " #2", " #3" to names that occur more than once, in list order.
std::vector<std::string> MakeNamesUnique(const std::vector<std::string>& names);

// The process-wide device list, made on first use from the environment's choice of service.
// Window thread.
TDeviceList& DeviceList();
// Replaces it (tests); null: the next DeviceList() makes the system's again.
void SetDeviceList(std::unique_ptr<TDeviceList> list);
// Starts making the system's device list, and reading its devices, on a thread of its own:
// opening a JACK client takes tens of milliseconds, which the program spends building its
// window instead. The first DeviceList() call waits for it. Call on the window thread before
// any DeviceList() call; does nothing when a list is there already.
void StartDeviceList();
