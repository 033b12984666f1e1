#pragma once

#include <cstdint>

// The parameters whose setters can refuse a value; the window words the refusal.
enum class TControlParameter {
    Modulation,
    Breath,
    Foot,
    PortamentoTime,
    Volume,
    Panpot,
    Expression,
    Effect1,
    Effect3,
    Effect4,
    PitchBendRange,
    MasterFineTune,
    MasterCoarseTune,
};

// What TControlChange needs from its owner (the session): the output port and the current
// channel, both read at the moment of sending, and a way to show a refused value.
class TControlChangeHost {
public:
    virtual ~TControlChangeHost() = default;
    virtual bool OutputPortOpen() const = 0;    // the output port is open
    virtual uint8_t CurrentChannel() const = 0;  // 1..16
    virtual void PutShort(uint8_t status, uint8_t data1, uint8_t data2) = 0;  // may throw; not caught here
    virtual void ShowRejection(TControlParameter parameter) = 0;  // a modal box in the program
};

// The eighteen channel parameters of the controller panel. Each setter checks its value, stores it
// and sends it at once on the current channel; SendAll sends every stored value. The values are not
// kept per channel. A refused value shows its message and leaves field and synthesizer untouched.
// With the output port closed the setters only store. A send that throws stops the sequence it
// belongs to (the value is already stored).
//
// The 7-bit setters take int so that a caller's out-of-range number is refused rather than wrapped
// into a byte: everything outside 0..127 is refused, as the unsigned byte refused 128..255 (and a
// negative number, which became 128..255 as a byte). SetMasterCoarseTune takes int for the same
// reason and refuses everything outside -64..64.
class TControlChange {
public:
    explicit TControlChange(TControlChangeHost& host);

    uint8_t Modulation = 0;
    uint8_t Breath = 0;
    uint8_t Foot = 0;
    uint8_t PortamentoTime = 0;
    uint8_t Volume = 0;
    uint8_t Panpot = 0;
    uint8_t Expression = 0;
    bool Hold1 = false;
    bool Portamento = false;
    bool Sostenuto = false;
    bool Soft = false;
    uint8_t Effect1 = 0;
    uint8_t Effect3 = 0;
    uint8_t Effect4 = 0;
    uint8_t PitchBendRange = 0;  // semitones, 0..24
    int32_t MasterFineTune = 0;  // -8192..8192
    int8_t MasterCoarseTune = 0;  // semitones, -64..64
    bool Mono = false;

    void SetModulation(int value);
    void SetBreath(int value);
    void SetFoot(int value);
    void SetPortamentoTime(int value);
    void SetVolume(int value);
    void SetPanpot(int value);
    void SetExpression(int value);
    void SetEffect1(int value);
    void SetEffect3(int value);
    void SetEffect4(int value);
    void SetHold1(bool on);
    void SetPortamento(bool on);
    void SetSostenuto(bool on);
    void SetSoft(bool on);
    void SetMono(bool on);
    void SetPitchBendRange(int semitones);
    void SetMasterFineTune(int32_t value);
    void SetMasterCoarseTune(int semitones);

    // 25 control changes: the ten continuous controllers, the four pedals, the three registered
    // parameters, then mono or poly mode.
    void SendAll();

private:
    void SendControlChange(uint8_t controller, uint8_t value);
    bool SetContinuous(uint8_t& field, int value, uint8_t controller, TControlParameter parameter);
    void SendPitchBendRange();
    void SendMasterFineTune();
    void SendMasterCoarseTune();
    void SendMono();

    TControlChangeHost& FHost;
};
