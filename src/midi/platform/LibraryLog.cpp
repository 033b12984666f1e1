#include "LibraryLog.h"

#include <alsa/asoundlib.h>
#ifndef KELVANE_WITHOUT_FLUIDSYNTH
#include <fluidsynth.h>
#endif
#ifndef KELVANE_WITHOUT_JACK
#include <jack/jack.h>
#endif

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::mutex LogMutex;
std::string LastFluidError;

void AlsaLog(const char* file, int line, const char* function, int error, const char* format, ...)
{
    if (!DebugLogEnabled())
        return;
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    std::string message = std::string(file ? file : "?") + ":" + std::to_string(line) + " ("
                          + (function ? function : "?") + ") " + text;
    if (error)
        message += std::string(": ") + snd_strerror(error);
    LogLine("ALSA", message);
}

#ifndef KELVANE_WITHOUT_JACK
void JackLog(const char* message)
{
    LogLine("JACK", message ? message : "");
}
#endif

#ifndef KELVANE_WITHOUT_FLUIDSYNTH
void FluidLog(int level, const char* message, void*)
{
    if (!message)
        return;
    if (level <= FLUID_WARN) {
        std::lock_guard lock(LogMutex);
        LastFluidError = message;
    }
    LogLine("FluidSynth", message);
}
#endif

} // namespace

bool DebugLogEnabled()
{
    static const bool enabled = [] {
        const char* value = std::getenv("KELVANE_DEBUG");
        return value && std::strcmp(value, "1") == 0;
    }();
    return enabled;
}

void LogLine(const char* source, const std::string& line)
{
    if (!DebugLogEnabled())
        return;
    std::string text = std::string("kelvane: ") + source + ": " + line;
    if (text.empty() || text.back() != '\n')
        text += '\n';
    std::fputs(text.c_str(), stderr);
}

void RouteLibraryLogs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        snd_lib_error_set_handler(AlsaLog);
#ifndef KELVANE_WITHOUT_JACK
        jack_set_error_function(JackLog);
        jack_set_info_function(JackLog);
#endif
#ifndef KELVANE_WITHOUT_FLUIDSYNTH
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, FluidLog, nullptr);
#endif
    });
}

std::string TakeFluidError()
{
    std::lock_guard lock(LogMutex);
    std::string error;
    error.swap(LastFluidError);
    return error;
}
