// The factories of the backends this build was configured without: the device list then simply
// has no such devices, as on a machine where the library's service is not running.
#include "PortBackend.h"

#ifdef KELVANE_WITHOUT_FLUIDSYNTH
std::unique_ptr<TPortBackend> MakeSynthBackend()
{
    return nullptr;
}
#endif

#ifdef KELVANE_WITHOUT_JACK
std::unique_ptr<TPortBackend> MakeJackBackend()
{
    return nullptr;
}
#endif
