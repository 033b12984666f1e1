#include "MidiNames.h"

#include <QCoreApplication>

namespace {

constexpr const char* Context = "MessageMeaning";

// General MIDI's controller names (with the sound controllers and effects as General MIDI 2 and
// the GS synthesizers use them); the panel's own words where it has a slider for one.
const char* const ControllerNames[128] = {
    QT_TRANSLATE_NOOP("MessageMeaning", "バンク・セレクト"),
    QT_TRANSLATE_NOOP("MessageMeaning", "モジュレーション"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ブレス・コントロール"),
    nullptr,
    QT_TRANSLATE_NOOP("MessageMeaning", "フット・コントロール"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ポルタメント・タイム"),
    QT_TRANSLATE_NOOP("MessageMeaning", "データ・エントリー"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ボリューム"),
    QT_TRANSLATE_NOOP("MessageMeaning", "バランス"),
    nullptr,
    QT_TRANSLATE_NOOP("MessageMeaning", "パンポット"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エクスプレッション"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エフェクト・コントロール1"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エフェクト・コントロール2"),
    nullptr,
    nullptr,
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー1"),
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー2"),
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー3"),
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー4"),
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    // 32..63: the low bytes, named from 0..31 below
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    QT_TRANSLATE_NOOP("MessageMeaning", "サスティン"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ポルタメント"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ソステヌート"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ソフト・ペダル"),
    QT_TRANSLATE_NOOP("MessageMeaning", "レガート・フットスイッチ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ホールド2"),
    QT_TRANSLATE_NOOP("MessageMeaning", "サウンド・バリエーション"),
    QT_TRANSLATE_NOOP("MessageMeaning", "レゾナンス"),
    QT_TRANSLATE_NOOP("MessageMeaning", "リリース・タイム"),
    QT_TRANSLATE_NOOP("MessageMeaning", "アタック・タイム"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ブライトネス"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ディケイ・タイム"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ビブラート・レート"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ビブラート・デプス"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ビブラート・ディレイ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "サウンド・コントローラー10"),
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー5"),
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー6"),
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー7"),
    QT_TRANSLATE_NOOP("MessageMeaning", "汎用コントローラー8"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ポルタメント・コントロール"),
    nullptr, nullptr, nullptr,
    QT_TRANSLATE_NOOP("MessageMeaning", "高分解能ベロシティ・プリフィックス"),
    nullptr, nullptr,
    QT_TRANSLATE_NOOP("MessageMeaning", "エフェクト1（リバーブ）"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エフェクト2（トレモロ）"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エフェクト3（コーラス）"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エフェクト4（セレステ）"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エフェクト5（フェイザー）"),
    QT_TRANSLATE_NOOP("MessageMeaning", "データ・インクリメント"),
    QT_TRANSLATE_NOOP("MessageMeaning", "データ・デクリメント"),
    "NRPN LSB",
    "NRPN MSB",
    "RPN LSB",
    "RPN MSB",
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    QT_TRANSLATE_NOOP("MessageMeaning", "オール・サウンド・オフ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "リセット・オール・コントローラー"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ローカル・コントロール"),
    QT_TRANSLATE_NOOP("MessageMeaning", "オール・ノート・オフ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "オムニ・オフ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "オムニ・オン"),
    QT_TRANSLATE_NOOP("MessageMeaning", "モノ・モード"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ポリ・モード"),
};

const char* const LowByteText = QT_TRANSLATE_NOOP("MessageMeaning", "%1 LSB");

struct TParameterName {
    int Number;
    const char* Name;
};

const TParameterName RegisteredParameters[] = {
    {0, QT_TRANSLATE_NOOP("MessageMeaning", "ピッチベンド・レンジ")},
    {1, QT_TRANSLATE_NOOP("MessageMeaning", "ファイン・チューン")},
    {2, QT_TRANSLATE_NOOP("MessageMeaning", "コース・チューン")},
    {3, QT_TRANSLATE_NOOP("MessageMeaning", "チューニング・プログラム")},
    {4, QT_TRANSLATE_NOOP("MessageMeaning", "チューニング・バンク")},
    {5, QT_TRANSLATE_NOOP("MessageMeaning", "モジュレーション・デプス・レンジ")},
    {NullParameter, QT_TRANSLATE_NOOP("MessageMeaning", "ヌル")},
};

const char* const SystemNames[16] = {
    nullptr,  // F0 is a system exclusive message, named by its maker
    QT_TRANSLATE_NOOP("MessageMeaning", "MIDIタイムコード"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ソング・ポジション"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ソング・セレクト"),
    QT_TRANSLATE_NOOP("MessageMeaning", "未定義 (F4)"),
    QT_TRANSLATE_NOOP("MessageMeaning", "未定義 (F5)"),
    QT_TRANSLATE_NOOP("MessageMeaning", "チューン・リクエスト"),
    QT_TRANSLATE_NOOP("MessageMeaning", "エンド・オブ・エクスクルーシブ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "タイミング・クロック"),
    QT_TRANSLATE_NOOP("MessageMeaning", "未定義 (F9)"),
    QT_TRANSLATE_NOOP("MessageMeaning", "スタート"),
    QT_TRANSLATE_NOOP("MessageMeaning", "コンティニュー"),
    QT_TRANSLATE_NOOP("MessageMeaning", "ストップ"),
    QT_TRANSLATE_NOOP("MessageMeaning", "未定義 (FD)"),
    QT_TRANSLATE_NOOP("MessageMeaning", "アクティブ・センシング"),
    QT_TRANSLATE_NOOP("MessageMeaning", "システム・リセット"),
};

struct TMaker {
    const char* Id;  // the ID bytes
    int Length;
    const char* Name;
};

// The makers users of this tool meet most, and the three IDs the MIDI standard reserves.
const TMaker Makers[] = {
    {"\x01", 1, "Sequential"},
    {"\x04", 1, "Moog"},
    {"\x07", 1, "Kurzweil"},
    {"\x0F", 1, "Ensoniq"},
    {"\x10", 1, "Oberheim"},
    {"\x3E", 1, "Waldorf"},
    {"\x40", 1, "Kawai"},
    {"\x41", 1, "Roland"},
    {"\x42", 1, "Korg"},
    {"\x43", 1, "Yamaha"},
    {"\x44", 1, "Casio"},
    {"\x47", 1, "Akai"},
    {"\x7D", 1, QT_TRANSLATE_NOOP("MessageMeaning", "非商用")},
    {"\x7E", 1, QT_TRANSLATE_NOOP("MessageMeaning", "ユニバーサル非リアルタイム")},
    {"\x7F", 1, QT_TRANSLATE_NOOP("MessageMeaning", "ユニバーサル・リアルタイム")},
    {"\x00\x20\x29", 3, "Novation"},
    {"\x00\x20\x32", 3, "Behringer"},
    {"\x00\x20\x33", 3, "Access"},
    {"\x00\x20\x3C", 3, "Elektron"},
    {"\x00\x20\x6B", 3, "Arturia"},
};

} // namespace

QString MeaningText(const char* text)
{
    return QCoreApplication::translate(Context, text);
}

QString MeaningText(const char* text, int n)
{
    return QCoreApplication::translate(Context, text, nullptr, n);
}

QString NoteName(int note)
{
    static const char* const Names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return QStringLiteral("%1%2 (%3)").arg(QLatin1String(Names[note % 12])).arg(note / 12 - 1).arg(note);
}

QString ControllerName(int controller)
{
    if (controller < 0 || controller > 127)
        return {};
    if (controller >= 32 && controller < 64) {
        const int high = controller - 32;
        if (!ControllerNames[high])
            return {};
        return MeaningText(LowByteText).arg(MeaningText(ControllerNames[high]));
    }
    return ControllerNames[controller] ? MeaningText(ControllerNames[controller]) : QString();
}

bool ControllerIsSwitch(int controller)
{
    return (controller >= 64 && controller <= 69) || controller == 122;
}

bool ControllerValueIsIgnored(int controller)
{
    return controller == 120 || controller == 121 || controller == 123 || controller == 124 || controller == 125
           || controller == 127;
}

QString RegisteredParameterName(int number)
{
    for (const TParameterName& p : RegisteredParameters)
        if (p.Number == number)
            return MeaningText(p.Name);
    return {};
}

QString SystemMessageName(uint8_t status)
{
    if (status < 0xF0 || !SystemNames[status - 0xF0])
        return {};
    return MeaningText(SystemNames[status - 0xF0]);
}

QString ManufacturerName(QByteArrayView afterF0, int* idLength)
{
    const int length = afterF0.isEmpty() ? 0 : afterF0[0] == 0 ? 3 : 1;
    if (idLength)
        *idLength = afterF0.size() >= length ? length : 0;
    if (length == 0 || afterF0.size() < length)
        return {};
    const QByteArrayView id = afterF0.first(length);
    for (const TMaker& maker : Makers)
        if (maker.Length == length && id == QByteArrayView(maker.Id, maker.Length))
            return MeaningText(maker.Name);
    return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "メーカーID %1")).arg(UpperHex(id));
}

QString UpperHex(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}
