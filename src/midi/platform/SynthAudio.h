#pragma once
// Where the built-in synthesizer's sound goes: the audio output the user's desktop has, found
// without setting anything up.

#include <string>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

// The FluidSynth audio drivers to try, in order. namedDriver ($KELVANE_AUDIO_DRIVER, "" when
// unset) alone when given; else JACK when a server runs, then PulseAudio (which PipeWire serves
// on current desktops), then ALSA.
std::vector<std::string> AudioDriversToTry(const std::string& namedDriver, bool jackServerRunning);

// True when a JACK server answers. Never starts one (JACK would start its default server,
// taking the sound card, and FluidSynth's JACK driver lets it). False in a build without JACK.
bool JackServerRunning();

// Starts the first of the drivers for $KELVANE_AUDIO_DRIVER and this machine that opens. Under
// JACK the synthesizer is the client "Kelvane Synthesizer" with its outputs connected to the
// playback ports. On failure null, and `tried` names each driver with what it said.
_fluid_audio_driver_t* OpenAudioDriver(_fluid_hashtable_t* settings, _fluid_synth_t* synth, std::string& tried);
