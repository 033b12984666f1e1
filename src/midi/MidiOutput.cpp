#include "MidiOutput.h"

#include "platform/DeviceList.h"

#include <QCoreApplication>

namespace {

// Said when a send finds no open port: a port the user chose failed to open, and the pages
// stay usable. The only text of the ports that is the interface's own, so it is translated.
const char* const NoPortOpenText =
    QT_TRANSLATE_NOOP("TMidiOutput", "MIDI出力ポートが開いていません。「出力ポート」メニューから，MIDI出力ポートを選択してください");

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

void TMidiOutput::CheckOpen() const
{
    if (!Connection)
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
    TMidiResult result;
    Connection = DeviceList().OpenOutput(FDeviceID, result);
    FLastFailure = result;
    return Connection != nullptr;
}

bool TMidiOutput::Close()
{
    if (!Connection)
        return false;
    Connection.reset();
    return true;
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
