// What a system exclusive message is: its length, its maker, and for the messages users of this
// tool send most (the universal ones, GS and XG resets, Roland data sets) what it does.
#include "MessageMeaning.h"
#include "SysexChecksums.h"

#include "MidiNames.h"

#include <QStringList>

namespace {

const char* const PartSeparator = QT_TRANSLATE_NOOP("MessageMeaning", "、");
const char* const LengthText = QT_TRANSLATE_N_NOOP("MessageMeaning", "%nバイト");
const char* const NoStartText = QT_TRANSLATE_NOOP("MessageMeaning", "F0なし");
const char* const NoEndText = QT_TRANSLATE_NOOP("MessageMeaning", "F7なし");
const char* const SubIdText = QT_TRANSLATE_NOOP("MessageMeaning", "サブID %1");
const char* const ChecksumRightText = QT_TRANSLATE_NOOP("MessageMeaning", "チェックサム正しい");
const char* const ChecksumWrongText = QT_TRANSLATE_NOOP("MessageMeaning", "チェックサム誤り（正しくは %1）");
const char* const AddressDataText = QT_TRANSLATE_NOOP("MessageMeaning", "%1 アドレス %2 データ %3");
const char* const AddressText = QT_TRANSLATE_NOOP("MessageMeaning", "%1 アドレス %2");
const char* const AddressSizeText = QT_TRANSLATE_NOOP("MessageMeaning", "%1 アドレス %2 サイズ %3");

constexpr uint8_t Roland = 0x41;
constexpr uint8_t Yamaha = 0x43;
constexpr uint8_t UniversalNonRealTime = 0x7E;
constexpr uint8_t UniversalRealTime = 0x7F;
constexpr qsizetype DataBytesShown = 16;

uint8_t At(QByteArrayView bytes, qsizetype i)
{
    return uint8_t(bytes[i]);
}

// The data of a long data set in part: a table cell is no place for a dump.
QString DataText(QByteArrayView data)
{
    if (data.size() <= DataBytesShown)
        return UpperHex(data);
    return UpperHex(data.first(DataBytesShown)) + QStringLiteral(" …");
}

// payload: device ID, sub-ID #1, sub-ID #2, data.
QString UniversalNonRealTimeMeaning(QByteArrayView payload)
{
    if (payload.size() < 2)
        return {};
    const uint8_t sub1 = At(payload, 1);
    const int sub2 = payload.size() > 2 ? At(payload, 2) : -1;
    if (sub1 == 0x09 && sub2 == 0x01)
        return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "GMシステム・オン"));
    if (sub1 == 0x09 && sub2 == 0x02)
        return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "GMシステム・オフ"));
    if (sub1 == 0x09 && sub2 == 0x03)
        return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "GM2システム・オン"));
    if (sub1 == 0x06 && sub2 == 0x01)
        return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "アイデンティティ・リクエスト"));
    if (sub1 == 0x06 && sub2 == 0x02) {
        const QString maker = ManufacturerName(payload.sliced(3));
        const QString reply = MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "アイデンティティ・リプライ"));
        return maker.isEmpty() ? reply : reply + QStringLiteral(" ") + maker;
    }
    return MeaningText(SubIdText).arg(UpperHex(payload.sliced(1, sub2 < 0 ? 1 : 2)));
}

QString UniversalRealTimeMeaning(QByteArrayView payload)
{
    if (payload.size() < 2)
        return {};
    const uint8_t sub1 = At(payload, 1);
    const int sub2 = payload.size() > 2 ? At(payload, 2) : -1;
    if (sub1 == 0x04 && sub2 >= 0x01 && sub2 <= 0x04) {
        static const char* const DeviceControls[] = {
            QT_TRANSLATE_NOOP("MessageMeaning", "マスター・ボリューム"),
            QT_TRANSLATE_NOOP("MessageMeaning", "マスター・バランス"),
            QT_TRANSLATE_NOOP("MessageMeaning", "マスター・ファイン・チューン"),
            QT_TRANSLATE_NOOP("MessageMeaning", "マスター・コース・チューン"),
        };
        const QString name = MeaningText(DeviceControls[sub2 - 1]);
        if (payload.size() < 5)
            return name;
        return QStringLiteral("%1 = %2").arg(name).arg(At(payload, 3) | At(payload, 4) << 7);  // LSB first
    }
    if (sub1 == 0x01 && sub2 == 0x01)
        return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "MTCフル・メッセージ"));
    if (sub1 == 0x06 && sub2 >= 0)
        return QStringLiteral("MMC %1").arg(UpperHex(payload.sliced(2, 1)));
    return MeaningText(SubIdText).arg(UpperHex(payload.sliced(1, sub2 < 0 ? 1 : 2)));
}

// summed: the address, the data and the checksum.
QString ChecksumText(QByteArrayView summed)
{
    const uint8_t expected = RolandChecksum(summed.first(summed.size() - 1));
    if (At(summed, summed.size() - 1) == expected)
        return MeaningText(ChecksumRightText);
    return MeaningText(ChecksumWrongText).arg(UpperHex(QByteArray(1, char(expected))));
}

// payload: device ID, model ID, command, then the command's bytes; the checksum last when the
// message is complete. A model ID is any number of 00 bytes and one more; the models of the GS
// and MT-32 generations address their memory with 3 bytes, the later ones with 4.
QStringList RolandMeaning(QByteArrayView payload, bool complete)
{
    qsizetype i = 1;
    while (i < payload.size() && At(payload, i) == 0x00)
        ++i;
    if (i + 1 >= payload.size())
        return {};
    const QByteArrayView model = payload.sliced(1, i);
    const uint8_t command = At(payload, i + 1);
    const QByteArrayView rest = payload.sliced(i + 2);
    const bool shortAddress = model.size() == 1 && (model[0] == 0x14 || model[0] == 0x16 || model[0] == 0x42 || model[0] == 0x45);
    const qsizetype addressLength = shortAddress ? 3 : 4;
    const char* const name = command == 0x12 ? "DT1" : command == 0x11 ? "RQ1" : nullptr;
    if (!name)
        return {};
    if (!complete || rest.size() < 2)
        return {QString::fromLatin1(name)};

    QStringList parts;
    const qsizetype length = std::min(addressLength, rest.size() - 1);
    const QByteArrayView address = rest.first(length);
    const QByteArrayView data = rest.sliced(length, rest.size() - 1 - length);
    if (command == 0x12) {
        if (model == QByteArrayView("\x42", 1) && address == QByteArrayView("\x40\x00\x7F", 3)
            && data == QByteArrayView("\x00", 1))
            parts << MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "GSリセット"));
        parts << (data.isEmpty() ? MeaningText(AddressText).arg(QLatin1String(name), UpperHex(address))
                                 : MeaningText(AddressDataText).arg(QLatin1String(name), UpperHex(address), DataText(data)));
    } else if (data.size() == length) {
        parts << MeaningText(AddressSizeText).arg(QLatin1String(name), UpperHex(address), UpperHex(data));
    } else {
        parts << MeaningText(AddressText).arg(QLatin1String(name), UpperHex(address));
    }
    parts << ChecksumText(rest);
    return parts;
}

// payload: the kind in the high four bits and the device number in the low four, then (XG, model
// 4C) a 3-byte address and the data.
QString YamahaMeaning(QByteArrayView payload)
{
    if (payload.isEmpty())
        return {};
    static const char* const Kinds[] = {
        QT_TRANSLATE_NOOP("MessageMeaning", "バルク・ダンプ"),
        QT_TRANSLATE_NOOP("MessageMeaning", "パラメーター・チェンジ"),
        QT_TRANSLATE_NOOP("MessageMeaning", "ダンプ・リクエスト"),
        QT_TRANSLATE_NOOP("MessageMeaning", "パラメーター・リクエスト"),
    };
    const int kind = At(payload, 0) >> 4;
    if (kind > 3)
        return {};
    if (kind == 1 && payload.size() >= 6 && At(payload, 1) == 0x4C) {
        const QByteArrayView address = payload.sliced(2, 3);
        const QByteArrayView data = payload.sliced(5);
        if (data == QByteArrayView("\x00", 1) && address == QByteArrayView("\x00\x00\x7E", 3))
            return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "XGシステム・オン"));
        if (data == QByteArrayView("\x00", 1) && address == QByteArrayView("\x00\x00\x7F", 3))
            return MeaningText(QT_TRANSLATE_NOOP("MessageMeaning", "XGオール・パラメーター・リセット"));
        return MeaningText(AddressDataText).arg(QStringLiteral("XG"), UpperHex(address), DataText(data));
    }
    return MeaningText(Kinds[kind]);
}

} // namespace

QString SysexMeaning(QByteArrayView message)
{
    QStringList parts{MeaningText(LengthText, int(message.size()))};
    if (message.isEmpty())
        return parts.join(MeaningText(PartSeparator));
    if (At(message, 0) != 0xF0) {
        // A piece whose start is not in the record (it came before the clear, or was lost).
        parts << MeaningText(NoStartText);
        return parts.join(MeaningText(PartSeparator));
    }
    const bool complete = message.size() >= 2 && At(message, message.size() - 1) == 0xF7;
    const QByteArrayView inside = complete ? message.sliced(1, message.size() - 2) : message.sliced(1);
    int idLength = 0;
    const QString maker = ManufacturerName(inside, &idLength);
    if (!maker.isEmpty()) {
        parts << maker;
        const QByteArrayView payload = inside.sliced(idLength);
        switch (idLength == 1 ? At(inside, 0) : 0) {
        case UniversalNonRealTime: parts << UniversalNonRealTimeMeaning(payload); break;
        case UniversalRealTime: parts << UniversalRealTimeMeaning(payload); break;
        case Roland:
            // The checksum is judged over the bytes before F7, so the whole message is needed.
            parts << RolandMeaning(payload, complete);
            break;
        case Yamaha: parts << YamahaMeaning(payload); break;
        default: break;
        }
    }
    if (!complete)
        parts << MeaningText(NoEndText);
    parts.removeAll(QString());
    return parts.join(MeaningText(PartSeparator));
}
