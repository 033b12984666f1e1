#pragma once
// The service users have: the built-in synthesizer as output device 0, then the system's
// ports (ALSA sequencer or JACK), and the mapper at −1.

#include "MidiService.h"
#include "PortBackend.h"

#include <map>
#include <vector>

struct TMidiPortHandle;

class TSystemMidiService final : public TMidiService {
public:
    explicit TSystemMidiService(TMidiApi api);
    // For tests: any backends, in numbering order.
    explicit TSystemMidiService(std::vector<std::unique_ptr<TPortBackend>> backends);
    ~TSystemMidiService() override;

    static constexpr const char* MapperName = "Kelvane MIDI Mapper";

    unsigned OutGetNumDevs() override;
    TMidiResult OutGetDevCaps(int device, std::string& productName) override;
    TMidiResult OutOpen(TMidiHandle* handle, int device, TMidiCallback callback, uintptr_t instance) override;
    TMidiResult OutShortMsg(TMidiHandle handle, uint32_t message) override;
    TMidiResult OutPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult OutLongMsg(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult OutClose(TMidiHandle handle) override;

    unsigned InGetNumDevs() override;
    TMidiResult InGetDevCaps(int device, std::string& productName) override;
    TMidiResult InOpen(TMidiHandle* handle, int device, TMidiCallback callback, uintptr_t instance) override;
    TMidiResult InPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult InAddBuffer(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult InUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult InStart(TMidiHandle handle) override;
    TMidiResult InReset(TMidiHandle handle) override;
    TMidiResult InDeliverWaiting(TMidiHandle handle) override;
    TMidiResult InClose(TMidiHandle handle) override;

    std::string ApiNames() const;  // "FluidSynth, JACK"

private:
    struct TDevice {
        std::string Name;
        TPortBackend* Backend;
        size_t Index;
    };
    std::vector<TDevice> ListDevices(bool outputs);  // every backend's, names made unique
    void RefreshOutputs();
    void RefreshInputs();
    TMidiPortHandle* Valid(TMidiHandle handle, bool output) const;

    std::vector<std::unique_ptr<TPortBackend>> Backends;
    std::vector<TDevice> Outputs;
    std::vector<TDevice> Inputs;
    bool OutputsKnown = false;
    bool InputsKnown = false;
    // The open ports; a handle is valid exactly while it is a key here.
    std::map<const TMidiPortHandle*, std::unique_ptr<TMidiPortHandle>> Handles;
};

// Appends " #2", " #3" to names that occur more than once, in list order.
std::vector<std::string> MakeNamesUnique(const std::vector<std::string>& names);
