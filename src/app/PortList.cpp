#include "PortList.h"

#include "platform/DeviceList.h"

void ListPorts(std::ostream& out)
{
    TDeviceList& devices = DeviceList();
    out << "Output ports:\n" << TDeviceList::MapperName << "\n";
    for (const std::string& name : devices.ReadOutputNames())
        out << name << "\n";
    out << "Input ports:\n";
    for (const std::string& name : devices.ReadInputNames())
        out << name << "\n";
}
