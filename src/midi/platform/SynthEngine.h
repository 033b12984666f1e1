#pragma once
// The built-in synthesizer: one FluidSynth instance with its sound font and, when it plays
// aloud, its audio driver. Owns the library's lifecycle and its log.

#include "PortBackend.h"

#include <string>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

class TSynthEngine {
public:
    // $KELVANE_SOUNDFONT, else the General MIDI sound fonts Debian installs; "" when none.
    static std::string FindSoundFont();

    // withAudio false: no audio driver, the caller renders (tests, offline use).
    explicit TSynthEngine(bool withAudio);
    ~TSynthEngine();
    TSynthEngine(const TSynthEngine&) = delete;
    TSynthEngine& operator=(const TSynthEngine&) = delete;

    // Loads the sound font and starts the audio; on failure the result says why.
    TMidiResult Open(const std::string& soundFont);
    void ShortMessage(const uint8_t* bytes, size_t length);
    // A raw block: short messages and system exclusive pieces, joined until F7.
    void Block(const uint8_t* bytes, size_t length);
    // Result of the last complete system exclusive message: true when the synth took it.
    bool LastSysexHandled() const { return SysexHandled; }
    void Render(float* left, float* right, int frames);

private:
    static constexpr int RolandDeviceId = 0x10;
    void Sysex();

    bool WithAudio;
    _fluid_hashtable_t* Settings = nullptr;
    _fluid_synth_t* Synth = nullptr;
    _fluid_audio_driver_t* Driver = nullptr;
    std::vector<uint8_t> SysexBuffer;
    bool InSysex = false;
    bool SysexHandled = false;
    uint8_t RunningStatus = 0;
    std::vector<uint8_t> Partial;  // a short message split across blocks
};
