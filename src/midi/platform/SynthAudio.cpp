#include "SynthAudio.h"

#include "LibraryLog.h"

#include <fluidsynth.h>
#ifndef KELVANE_WITHOUT_JACK
#include <jack/jack.h>
#endif

#include <cstdlib>

std::vector<std::string> AudioDriversToTry(const std::string& namedDriver, bool jackServerRunning)
{
    if (!namedDriver.empty())
        return {namedDriver};
    if (jackServerRunning)
        return {"jack", "pulseaudio", "alsa"};
    return {"pulseaudio", "alsa"};
}

bool JackServerRunning()
{
#ifdef KELVANE_WITHOUT_JACK
    return false;
#else
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("Kelvane probe", JackNoStartServer, &status);
    if (!probe)
        return false;
    jack_client_close(probe);
    return true;
#endif
}

_fluid_audio_driver_t* OpenAudioDriver(_fluid_hashtable_t* settings, _fluid_synth_t* synth, std::string& tried)
{
    const char* named = std::getenv("KELVANE_AUDIO_DRIVER");
    const std::string namedDriver = named ? named : "";
    // The probe costs a JACK client's round trips: only when JACK may be chosen.
    const bool jackRunning = namedDriver.empty() && JackServerRunning();
    // As FluidSynth's own autoconnect does: to the physical playback ports, or no one hears it.
    fluid_settings_setint(settings, "audio.jack.autoconnect", 1);
    fluid_settings_setstr(settings, "audio.jack.id", "Kelvane Synthesizer");
    tried.clear();
    for (const std::string& driver : AudioDriversToTry(namedDriver, jackRunning)) {
        TakeFluidError();  // what an earlier call left
        fluid_settings_setstr(settings, "audio.driver", driver.c_str());
        if (fluid_audio_driver_t* opened = new_fluid_audio_driver(settings, synth))
            return opened;
        const std::string said = TakeFluidError();
        tried += (tried.empty() ? "" : "; ") + driver + (said.empty() ? "" : ": " + said);
    }
    return nullptr;
}
