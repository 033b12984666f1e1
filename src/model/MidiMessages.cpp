#include "MidiMessages.h"

namespace {

TShortMessage ChannelMessage(uint8_t kind, int channel, int data1, int data2)
{
    return {uint8_t(kind + channel - 1), uint8_t(data1), uint8_t(data2)};
}

constexpr uint8_t CcAllSoundOff = 0x78;
constexpr uint8_t CcAllNotesOff = 0x7B;

} // namespace

TShortMessage NoteOn(int channel, int note, int velocity)
{
    return ChannelMessage(0x90, channel, note, velocity);
}

TShortMessage NoteOff(int channel, int note, int velocity)
{
    return ChannelMessage(0x80, channel, note, velocity);
}

TShortMessage PolyPressure(int channel, int note, int pressure)
{
    return ChannelMessage(0xA0, channel, note, pressure);
}

TShortMessage ControlChangeMessage(int channel, int controller, int value)
{
    return ChannelMessage(0xB0, channel, controller, value);
}

TShortMessage ProgramChange(int channel, int program)
{
    return ChannelMessage(0xC0, channel, program, 0);
}

TShortMessage ChannelPressure(int channel, int pressure)
{
    return ChannelMessage(0xD0, channel, pressure, 0);
}

TShortMessage PitchBend(int channel, int position)
{
    const int value = position + 8192 > 16383 ? 16383 : position + 8192;
    return ChannelMessage(0xE0, channel, value % 128, value / 128);
}

std::vector<TShortMessage> AllNotesOff()
{
    std::vector<TShortMessage> messages;
    for (int channel = 1; channel <= 16; ++channel) {
        messages.push_back(ControlChangeMessage(channel, CcAllSoundOff, 0));
        messages.push_back(ControlChangeMessage(channel, CcAllNotesOff, 0));
    }
    return messages;
}

std::vector<uint8_t> GmSystemOn()
{
    return {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
}

std::vector<uint8_t> GsReset(int deviceNumber)
{
    const auto deviceId = uint8_t(deviceNumber - 1);
    // 41 before F7 is the Roland checksum over 40 00 7F 00; it does not involve the device ID.
    return {0xF0, 0x41, deviceId, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
}
