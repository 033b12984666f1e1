#include "PortList.h"

#include "platform/MidiService.h"

void ListPorts(std::ostream& out)
{
    TMidiService& service = MidiService();
    out << "Output ports:\n";
    const unsigned outputs = service.OutGetNumDevs();
    for (int device = -1; device < int(outputs); ++device) {
        std::string name;
        if (service.OutGetDevCaps(device, name) == MMSYSERR_NOERROR)
            out << name << "\n";
    }
    out << "Input ports:\n";
    const unsigned inputs = service.InGetNumDevs();
    for (int device = 0; device < int(inputs); ++device) {
        std::string name;
        if (service.InGetDevCaps(device, name) == MMSYSERR_NOERROR)
            out << name << "\n";
    }
}
