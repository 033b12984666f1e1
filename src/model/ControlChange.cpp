#include "ControlChange.h"

#include "MidiMessages.h"

#include <algorithm>

namespace {


// Controller numbers.
constexpr uint8_t CcModulation = 1;
constexpr uint8_t CcBreath = 2;
constexpr uint8_t CcFoot = 4;
constexpr uint8_t CcPortamentoTime = 5;
constexpr uint8_t CcDataEntry = 6;
constexpr uint8_t CcVolume = 7;
constexpr uint8_t CcPanpot = 10;
constexpr uint8_t CcExpression = 11;
constexpr uint8_t CcDataEntryLow = 38;
constexpr uint8_t CcHold1 = 64;
constexpr uint8_t CcPortamento = 65;
constexpr uint8_t CcSostenuto = 66;
constexpr uint8_t CcSoft = 67;
constexpr uint8_t CcEffect1 = 91;
constexpr uint8_t CcEffect3 = 93;
constexpr uint8_t CcEffect4 = 94;
constexpr uint8_t CcRpnLow = 100;
constexpr uint8_t CcRpnHigh = 101;
constexpr uint8_t CcMonoOn = 126;
constexpr uint8_t CcPolyOn = 127;

constexpr uint8_t RpnPitchBendRange = 0;
constexpr uint8_t RpnMasterFineTune = 1;
constexpr uint8_t RpnMasterCoarseTune = 2;

// A pedal is on from 64 up; "on" is sent as 65, not 127.
constexpr uint8_t SwitchOn = 65;

uint8_t SwitchValue(bool on)
{
    return on ? SwitchOn : 0;
}

}  // namespace

TControlChange::TControlChange(TControlChangeHost& host)
    : FHost(host)
{
}

void TControlChange::SendControlChange(uint8_t controller, uint8_t value)
{
    if (!FHost.OutputPortOpen())
        return;
    const TShortMessage message = ControlChangeMessage(FHost.CurrentChannel(), controller, value);
    FHost.PutShort(message.Status, message.Data1, message.Data2);
}

bool TControlChange::SetContinuous(uint8_t& field, int value, uint8_t controller, TControlParameter parameter)
{
    if (value < 0 || value > 127) {
        FHost.ShowRejection(parameter);
        return false;
    }
    field = uint8_t(value);
    SendControlChange(controller, field);
    return true;
}

void TControlChange::SetModulation(int value)
{
    SetContinuous(Modulation, value, CcModulation, TControlParameter::Modulation);
}

void TControlChange::SetBreath(int value)
{
    SetContinuous(Breath, value, CcBreath, TControlParameter::Breath);
}

void TControlChange::SetFoot(int value)
{
    SetContinuous(Foot, value, CcFoot, TControlParameter::Foot);
}

void TControlChange::SetPortamentoTime(int value)
{
    SetContinuous(PortamentoTime, value, CcPortamentoTime, TControlParameter::PortamentoTime);
}

void TControlChange::SetVolume(int value)
{
    SetContinuous(Volume, value, CcVolume, TControlParameter::Volume);
}

void TControlChange::SetPanpot(int value)
{
    SetContinuous(Panpot, value, CcPanpot, TControlParameter::Panpot);
}

void TControlChange::SetExpression(int value)
{
    SetContinuous(Expression, value, CcExpression, TControlParameter::Expression);
}

void TControlChange::SetEffect1(int value)
{
    SetContinuous(Effect1, value, CcEffect1, TControlParameter::Effect1);
}

void TControlChange::SetEffect3(int value)
{
    SetContinuous(Effect3, value, CcEffect3, TControlParameter::Effect3);
}

void TControlChange::SetEffect4(int value)
{
    SetContinuous(Effect4, value, CcEffect4, TControlParameter::Effect4);
}

void TControlChange::SetHold1(bool on)
{
    Hold1 = on;
    SendControlChange(CcHold1, SwitchValue(on));
}

void TControlChange::SetPortamento(bool on)
{
    Portamento = on;
    SendControlChange(CcPortamento, SwitchValue(on));
}

void TControlChange::SetSostenuto(bool on)
{
    Sostenuto = on;
    SendControlChange(CcSostenuto, SwitchValue(on));
}

void TControlChange::SetSoft(bool on)
{
    Soft = on;
    SendControlChange(CcSoft, SwitchValue(on));
}

void TControlChange::SetMono(bool on)
{
    Mono = on;
    SendMono();
}

void TControlChange::SetPitchBendRange(int semitones)
{
    if (semitones < 0 || semitones > 24) {
        FHost.ShowRejection(TControlParameter::PitchBendRange);
        return;
    }
    PitchBendRange = uint8_t(semitones);
    SendPitchBendRange();
}

void TControlChange::SetMasterFineTune(int32_t value)
{
    if (value < -8192 || value > 8192) {
        FHost.ShowRejection(TControlParameter::MasterFineTune);
        return;
    }
    MasterFineTune = value;
    SendMasterFineTune();
}

void TControlChange::SetMasterCoarseTune(int semitones)
{
    if (semitones < -64 || semitones > 64) {
        FHost.ShowRejection(TControlParameter::MasterCoarseTune);
        return;
    }
    MasterCoarseTune = int8_t(semitones);
    SendMasterCoarseTune();
}

// Registered parameters: select with 100 (low) then 101 (high), then data entry. No null
// parameter selection (101/100 = 127) follows: the parameter stays selected on the synthesizer.
void TControlChange::SendPitchBendRange()
{
    SendControlChange(CcRpnLow, RpnPitchBendRange);
    SendControlChange(CcRpnHigh, 0);
    SendControlChange(CcDataEntry, PitchBendRange);
}

void TControlChange::SendMasterFineTune()
{
    // 14 bits centred on 8192. The top of the range, +8192, would need 16384, one past what 14 bits
    // hold: it is sent as the highest value, 7F 7F.
    const int offset = std::min(MasterFineTune + 8192, 16383);
    SendControlChange(CcRpnLow, RpnMasterFineTune);
    SendControlChange(CcRpnHigh, 0);
    SendControlChange(CcDataEntry, uint8_t(offset / 128));
    SendControlChange(CcDataEntryLow, uint8_t(offset % 128));
}

void TControlChange::SendMasterCoarseTune()
{
    // Centred on 64; +64 would need 128, so it is sent as the highest data byte, 7F.
    const int offset = std::min(MasterCoarseTune + 64, 127);
    SendControlChange(CcRpnLow, RpnMasterCoarseTune);
    SendControlChange(CcRpnHigh, 0);
    SendControlChange(CcDataEntry, uint8_t(offset));
}

void TControlChange::SendMono()
{
    if (Mono)
        SendControlChange(CcMonoOn, 1);
    else
        SendControlChange(CcPolyOn, 0);
}

void TControlChange::SendAll()
{
    SendControlChange(CcModulation, Modulation);
    SendControlChange(CcBreath, Breath);
    SendControlChange(CcFoot, Foot);
    SendControlChange(CcPortamentoTime, PortamentoTime);
    SendControlChange(CcVolume, Volume);
    SendControlChange(CcPanpot, Panpot);
    SendControlChange(CcExpression, Expression);
    SendControlChange(CcEffect1, Effect1);
    SendControlChange(CcEffect3, Effect3);
    SendControlChange(CcEffect4, Effect4);
    SendControlChange(CcHold1, SwitchValue(Hold1));
    SendControlChange(CcPortamento, SwitchValue(Portamento));
    SendControlChange(CcSostenuto, SwitchValue(Sostenuto));
    SendControlChange(CcSoft, SwitchValue(Soft));
    SendPitchBendRange();
    SendMasterFineTune();
    SendMasterCoarseTune();
    SendMono();
}
