#pragma once
// The bytes of every message the windows send, built in one place. Channels are numbered 1..16 as
// the panel shows them; data values are taken as bytes, as the wire carries them.

#include <cstdint>
#include <vector>

struct TShortMessage {
    uint8_t Status = 0;
    uint8_t Data1 = 0;
    uint8_t Data2 = 0;

    friend bool operator==(const TShortMessage&, const TShortMessage&) = default;
};

TShortMessage NoteOn(int channel, int note, int velocity);
TShortMessage NoteOff(int channel, int note, int velocity);
TShortMessage PolyPressure(int channel, int note, int pressure);
TShortMessage ControlChangeMessage(int channel, int controller, int value);
TShortMessage ProgramChange(int channel, int program);  // program 0..127, whatever the display range
TShortMessage ChannelPressure(int channel, int pressure);
// position −8192..8192 around the centre. +8192 would need a 15th bit: it sends the highest
// value, as +8191 does.
TShortMessage PitchBend(int channel, int position);

// All sound off, then all notes off, on each of the sixteen channels in turn: 32 messages.
std::vector<TShortMessage> AllNotesOff();

// GM system on, to every device (device ID 7F).
std::vector<uint8_t> GmSystemOn();
// The GS reset to the device the panel's number box names: number 17 is device ID 0x10.
std::vector<uint8_t> GsReset(int deviceNumber);
constexpr int DefaultGsDeviceNumber = 17;
