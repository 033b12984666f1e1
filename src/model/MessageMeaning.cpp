#include "MessageMeaning.h"

#include "MidiNames.h"

namespace {

const char* const KindNames[] = {
    QT_TRANSLATE_NOOP("MessageMeaning", "ノート・オフ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ノート・オン"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ポリフォニック・プレッシャー"),
    QT_TRANSLATE_NOOP("MessageMeaning", "コントロール・チェンジ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "プログラム・チェンジ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "チャンネル・プレッシャー"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ピッチベンド"),
    QT_TRANSLATE_NOOP("MessageMeaning", "システム・エクスクルーシブ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "システム・コモン"),
    QT_TRANSLATE_NOOP("MessageMeaning", "リアルタイム"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ステータスのないデータ"),
};

const char* const VelocityText = QT_TRANSLATE_NOOP("MessageMeaning", "%1 ベロシティ %2");
const char* const NoteOnAsOffText = QT_TRANSLATE_NOOP("MessageMeaning", "%1 ベロシティ 0（ノート・オフ）");
const char* const OnText = QT_TRANSLATE_NOOP("MessageMeaning", "オン");
const char* const OffText = QT_TRANSLATE_NOOP("MessageMeaning", "オフ");
const char* const BankText = QT_TRANSLATE_NOOP("MessageMeaning", "（バンク %1:%2）");
const char* const ParameterStepText = QT_TRANSLATE_NOOP("MessageMeaning", "%1 %2（%3）");

constexpr uint8_t CcBankMsb = 0;
constexpr uint8_t CcDataEntry = 6;
constexpr uint8_t CcBankLsb = 32;
constexpr uint8_t CcDataEntryLsb = 38;
constexpr uint8_t CcDataIncrement = 96;
constexpr uint8_t CcDataDecrement = 97;
constexpr uint8_t CcNrpnLsb = 98;
constexpr uint8_t CcNrpnMsb = 99;
constexpr uint8_t CcRpnLsb = 100;
constexpr uint8_t CcRpnMsb = 101;
constexpr uint8_t CcResetAllControllers = 121;

// "+5", "0", "-8192": a value around a centre.
QString Signed(int value)
{
    return value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value);
}

QString KnownOrDash(uint8_t value)
{
    return value == TChannelState::Unknown ? QStringLiteral("-") : QString::number(value);
}

QString PlainController(int controller, int value)
{
    const QString name = ControllerName(controller);
    QString shown;
    if (ControllerIsSwitch(controller))
        shown = MeaningText(value >= 64 ? OnText : OffText);
    else if (!(ControllerValueIsIgnored(controller) && value == 0))
        shown = QString::number(value);
    QString text = QString::number(controller);
    if (!name.isEmpty())
        text += u' ' + name;
    if (!shown.isEmpty())
        text += QStringLiteral(" = ") + shown;
    return text;
}

// The parameter data entry now sets, as far as the messages since the clear tell it.
struct TSelectedParameter {
    bool Registered = true;
    uint8_t Msb = TChannelState::Unknown;
    uint8_t Lsb = TChannelState::Unknown;

    bool Known() const { return Msb != TChannelState::Unknown && Lsb != TChannelState::Unknown; }
    int Number() const { return Known() ? Msb * 128 + Lsb : -1; }
};

TSelectedParameter SelectedParameter(const TChannelState& state)
{
    if (state.Parameter == TChannelState::Registered)
        return {true, state.RpnMsb, state.RpnLsb};
    return {false, state.NrpnMsb, state.NrpnLsb};
}

// Data entry after no selection, or after the null parameter, sets nothing.
bool SetsAParameter(const TChannelState& state)
{
    if (state.Parameter == TChannelState::NoParameter)
        return false;
    const TSelectedParameter p = SelectedParameter(state);
    return !(p.Registered && p.Number() == NullParameter);
}

// "RPN 0 ピッチベンド・レンジ", "RPN 9", "NRPN 1:8", "RPN 0:-" (its low byte not seen).
QString ParameterText(const TChannelState& state)
{
    const TSelectedParameter p = SelectedParameter(state);
    if (!p.Registered)
        return QStringLiteral("NRPN %1:%2").arg(KnownOrDash(p.Msb), KnownOrDash(p.Lsb));
    if (!p.Known())
        return QStringLiteral("RPN %1:%2").arg(KnownOrDash(p.Msb), KnownOrDash(p.Lsb));
    const QString name = RegisteredParameterName(p.Number());
    return name.isEmpty() ? QStringLiteral("RPN %1").arg(p.Number())
                          : QStringLiteral("RPN %1 %2").arg(p.Number()).arg(name);
}

// The value data entry gives, in the unit of the parameter where it has a known one: semitones
// (with cents after the point) for the ranges, a signed step for the tunings. lsb < 0: only the
// MSB has come.
QString ParameterValue(const TChannelState& state, int msb, int lsb)
{
    const TSelectedParameter p = SelectedParameter(state);
    const int number = p.Registered ? p.Number() : -1;
    switch (number) {
    case 0:  // pitch bend range
    case 5:  // modulation depth range
        return lsb <= 0 ? QString::number(msb) : QStringLiteral("%1.%2").arg(msb).arg(lsb, 2, 10, QLatin1Char('0'));
    case 1:  // fine tuning: 14 bits around 8192
        return Signed(msb * 128 + (lsb < 0 ? 0 : lsb) - 8192);
    case 2:  // coarse tuning: semitones around 64; the LSB is not used
        return Signed(msb - 64);
    case 3:
    case 4:
        return QString::number(msb);
    default:
        return lsb < 0 ? QString::number(msb) : QString::number(msb * 128 + lsb);
    }
}

QString ControllerMeaning(uint8_t controller, uint8_t value, const TChannelState& before)
{
    if (SetsAParameter(before)) {
        switch (controller) {
        case CcDataEntry:
            return ParameterText(before) + QStringLiteral(" = ") + ParameterValue(before, value, -1);
        case CcDataEntryLsb:
            if (before.DataMsb == TChannelState::Unknown)
                return ParameterText(before) + QStringLiteral(" LSB = ") + QString::number(value);
            return ParameterText(before) + QStringLiteral(" = ") + ParameterValue(before, before.DataMsb, value);
        case CcDataIncrement:
        case CcDataDecrement:
            return MeaningText(ParameterStepText).arg(controller).arg(ControllerName(controller), ParameterText(before));
        default:
            break;
        }
    }
    return PlainController(controller, value);
}

QString ProgramMeaning(uint8_t program, const TChannelState& before, const TMeaningOptions& options)
{
    const int bankMsb = before.BankMsb == TChannelState::Unknown ? -1 : before.BankMsb;
    const int bankLsb = before.BankLsb == TChannelState::Unknown ? -1 : before.BankLsb;
    QString text = QString::number(program + options.ProgramNumberBase);
    const QString name = options.ProgramName ? options.ProgramName(bankMsb, bankLsb, program) : QString();
    if (!name.isEmpty())
        text += u' ' + name;
    if (bankMsb >= 0 || bankLsb >= 0)
        text += MeaningText(BankText).arg(KnownOrDash(before.BankMsb), KnownOrDash(before.BankLsb));
    return text;
}

QString SystemMeaning(uint8_t status, uint8_t data1, uint8_t data2)
{
    const QString name = SystemMessageName(status);
    switch (status) {
    case 0xF1:  // quarter frame: which piece of the time code, and its four bits
        return QStringLiteral("%1 %2 = %3").arg(name).arg(data1 >> 4).arg(data1 & 0x0F);
    case 0xF2:  // in sixteenth notes since the start
        return QStringLiteral("%1 %2").arg(name).arg(data1 | data2 << 7);
    case 0xF3:
        return QStringLiteral("%1 %2").arg(name).arg(data1);
    default:
        return name;
    }
}

} // namespace

TMessageKind KindOfStatus(uint8_t status)
{
    if (status < 0x80)
        return TMessageKind::Stray;
    if (status < 0xF0)
        return TMessageKind((status >> 4) - 8);
    if (status == 0xF0)
        return TMessageKind::SystemExclusive;
    return status < 0xF8 ? TMessageKind::SystemCommon : TMessageKind::RealTime;
}

TMessageKind KindOf(const TRecordEntry& entry)
{
    switch (entry.Form) {
    case TEntryForm::Short: return KindOfStatus(entry.Status);
    case TEntryForm::Sysex: return TMessageKind::SystemExclusive;
    case TEntryForm::Stray: break;
    }
    return TMessageKind::Stray;
}

TMessageGroup GroupOf(TMessageKind kind)
{
    switch (kind) {
    case TMessageKind::NoteOff:
    case TMessageKind::NoteOn: return TMessageGroup::Notes;
    case TMessageKind::PolyPressure:
    case TMessageKind::ChannelPressure: return TMessageGroup::Pressures;
    case TMessageKind::ControlChange: return TMessageGroup::Controllers;
    case TMessageKind::ProgramChange: return TMessageGroup::Program;
    case TMessageKind::PitchBend: return TMessageGroup::PitchBend;
    case TMessageKind::SystemExclusive: return TMessageGroup::SystemExclusive;
    case TMessageKind::SystemCommon: return TMessageGroup::SystemCommon;
    case TMessageKind::RealTime: return TMessageGroup::RealTime;
    case TMessageKind::Stray: break;
    }
    return TMessageGroup::Other;
}

int ChannelOf(const TRecordEntry& entry)
{
    if (entry.Form != TEntryForm::Short || entry.Status < 0x80 || entry.Status >= 0xF0)
        return 0;
    return (entry.Status & 0x0F) + 1;
}

QString KindName(TMessageKind kind)
{
    return MeaningText(KindNames[int(kind)]);
}

void TMeaningContext::AdvanceController(TChannelState& state, uint8_t controller, uint8_t value)
{
    switch (controller) {
    case CcBankMsb: state.BankMsb = value; break;
    case CcBankLsb: state.BankLsb = value; break;
    case CcRpnMsb:
    case CcRpnLsb:
        (controller == CcRpnMsb ? state.RpnMsb : state.RpnLsb) = value;
        state.Parameter = TChannelState::Registered;
        state.DataMsb = TChannelState::Unknown;
        break;
    case CcNrpnMsb:
    case CcNrpnLsb:
        (controller == CcNrpnMsb ? state.NrpnMsb : state.NrpnLsb) = value;
        state.Parameter = TChannelState::NonRegistered;
        state.DataMsb = TChannelState::Unknown;
        break;
    case CcDataEntry: state.DataMsb = value; break;
    case CcResetAllControllers:
        // Resetting the controllers deselects the parameter (as the null parameter would); the
        // bank stays.
        state.Parameter = TChannelState::NoParameter;
        state.RpnMsb = state.RpnLsb = state.NrpnMsb = state.NrpnLsb = TChannelState::Unknown;
        state.DataMsb = TChannelState::Unknown;
        break;
    default: break;
    }
}

bool MeaningNeedsContext(uint8_t status, uint8_t data1)
{
    const uint8_t kind = status & 0xF0;
    if (kind == 0xC0)
        return true;
    return kind == 0xB0
           && (data1 == CcDataEntry || data1 == CcDataEntryLsb || data1 == CcDataIncrement || data1 == CcDataDecrement);
}

QString ShortMeaning(uint8_t status, uint8_t data1, uint8_t data2, const TChannelState& before,
                     const TMeaningOptions& options)
{
    switch (status & 0xF0) {
    case 0x80:
        return MeaningText(VelocityText).arg(NoteName(data1)).arg(data2);
    case 0x90:
        if (data2 == 0)
            return MeaningText(NoteOnAsOffText).arg(NoteName(data1));
        return MeaningText(VelocityText).arg(NoteName(data1)).arg(data2);
    case 0xA0:
        return QStringLiteral("%1 = %2").arg(NoteName(data1)).arg(data2);
    case 0xB0:
        return ControllerMeaning(data1, data2, before);
    case 0xC0:
        return ProgramMeaning(data1, before, options);
    case 0xD0:
        return QString::number(data1);
    case 0xE0:
        return Signed((data1 | data2 << 7) - 8192);
    case 0xF0:
        return SystemMeaning(status, data1, data2);
    default:
        return StrayMeaning(QByteArrayView(&status, 1));
    }
}

QString StrayMeaning(QByteArrayView bytes)
{
    return MeaningText(QT_TRANSLATE_N_NOOP("MessageMeaning", "%nバイト"), int(bytes.size()));
}
