#pragma once
// Kelvane's own log. ALSA, JACK and FluidSynth print their complaints to the terminal by
// themselves (a missing sequencer, a JACK server that is not running); here they are caught and
// shown only when KELVANE_DEBUG=1, on standard error with the library's name in front.

#include <string>

// Installs the handlers of alsa-lib, JACK and FluidSynth; once per process, before any of them
// is used. FluidSynth's messages also go to the synthesizer's own handler (see SynthBackend).
void RouteLibraryLogs();

// True when KELVANE_DEBUG=1.
bool DebugLogEnabled();

// Writes "kelvane: <source>: <line>" when the log is on. Any thread.
void LogLine(const char* source, const std::string& line);

// The last FluidSynth error or warning, taken (and cleared) by the synthesizer for its texts.
std::string TakeFluidError();
