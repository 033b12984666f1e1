#include "MidiOutput.h"

#include "platform/DeviceList.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Said when a send finds no open port: a port the user chose failed to open, and the pages
// stay usable. The only text of the ports that is the interface's own, so it is translated.
const char* const NoPortOpenText =
    QT_TRANSLATE_NOOP("TMidiOutput", "MIDI出力ポートが開いていません。「出力ポート」メニューから，MIDI出力ポートを選択してください");

const char* const PortGoneText = "MIDI output port is no longer there: ";

} // namespace

TMidiOutput::TMidiOutput(QObject* owner)
    : QObject(owner), FDeviceCount(unsigned(DeviceList().ReadOutputNames().size()))
{
}

TMidiOutput::~TMidiOutput() = default;  // the connection's own end lets what was sent go out

void TMidiOutput::Check(const TMidiResult& result)
{
    FLastFailure = result;
    if (!result.Ok())
        throw EMidiOutputError(result.Text());
}

void TMidiOutput::CheckOpen()
{
    if (Connection)
        return;
    if (FAbsent)
        Check(FGone.Ok() ? TMidiResult::Failure(PortGoneText + FProductName, TMidiFailure::PortGone) : FGone);
    throw EMidiOutputError(QCoreApplication::translate("TMidiOutput", NoPortOpenText).toStdString());
}

void TMidiOutput::SetDeviceID(int value)
{
    if (Connection)
        throw EMidiOutputError("Change to DeviceID while device was open");
    const std::vector<std::string> names = DeviceList().ReadOutputNames();
    FDeviceCount = unsigned(names.size());
    if (value < -1 || value > int(names.size()) - 1)
        throw EMidiOutputError("Invalid device ID");
    FDeviceID = value;
    FProductName = value == -1 ? TDeviceList::MapperName : names[size_t(value)];
}

std::vector<std::string> TMidiOutput::ReadDeviceNames()
{
    std::vector<std::string> names = DeviceList().ReadOutputNames();
    FDeviceCount = unsigned(names.size());
    names.insert(names.begin(), TDeviceList::MapperName);
    return names;
}

void TMidiOutput::SetProductName(const std::string& name)
{
    if (Connection)
        throw EMidiOutputError("Change to ProductName while device was open");
    const std::vector<std::string> names = ReadDeviceNames();
    for (size_t k = 0; k < names.size(); ++k) {
        if (names[k] == name) {
            FDeviceID = int(k) - 1;
            FProductName = name;
            return;
        }
    }
    throw EMidiOutputError("MIDI output Device " + name + " not installed");
}

bool TMidiOutput::Open()
{
    Connection.reset();
    FAbsent = false;
    FGone = {};
    TMidiResult result;
    Connection = DeviceList().OpenOutput(FDeviceID, result);
    FLastFailure = result;
    return Connection != nullptr;
}

void TMidiOutput::OpenWhenPresent(const std::string& name)
{
    Connection.reset();
    FProductName = name;
    FAbsent = true;
    FGone = {};
    FollowDevice();  // it may have come since the caller looked
}

bool TMidiOutput::Close()
{
    const bool wasOpen = Connection || FAbsent;
    FAbsent = false;
    Connection.reset();
    return wasOpen;
}

// Called on the window thread after the backends reported a change. The device is found again
// by its name alone: the device list makes names unique, so of two devices of one model the one
// that carries the name (" #2" included) is taken.
void TMidiOutput::FollowDevice()
{
    if (Connection && !Connection->Reaches()) {
        FGone = Connection->WhyGone();
        Connection.reset();
        FAbsent = true;
        FLastFailure = FGone.Ok() ? TMidiResult::Failure(PortGoneText + FProductName, TMidiFailure::PortGone) : FGone;
        if (OnGone)
            OnGone(this);
    }
    if (!FAbsent)
        return;
    const std::vector<std::string> names = ReadDeviceNames();
    const auto found = std::find(names.begin(), names.end(), FProductName);
    if (found == names.end())
        return;
    TMidiResult result;
    const int device = int(found - names.begin()) - 1;
    auto connection = DeviceList().OpenOutput(device, result);
    if (!connection)
        return;  // not usable yet (its port still being made): the next change tries again
    FDeviceID = device;
    Connection = std::move(connection);
    FAbsent = false;
    FLastFailure = {};
    if (OnReturned)
        OnReturned(this);
}

void TMidiOutput::PutShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    CheckOpen();
    const uint8_t bytes[3] = {status, data1, data2};
    Check(Connection->SendShort(bytes, ShortMessageLength(status)));
}

void TMidiOutput::PutLong(const uint8_t* data, uint32_t length)
{
    if (length == 0)
        return;
    CheckOpen();
    Check(Connection->SendBlock(data, length));
    if (OnMidiOutput)
        OnMidiOutput(this);
}

void TMidiOutput::PutMidiEvent(const TMidiEvent& event)
{
    if (!Connection)
        throw EMidiOutputError("MIDI Output device not open");
    if (event.SysexData)
        PutLong(event.SysexData.get(), event.SysexSize);
    else
        PutShort(event.StatusByte, event.DataByte1, event.DataByte2);
}
