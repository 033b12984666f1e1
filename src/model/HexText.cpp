#include "HexText.h"

#include <QCoreApplication>

#include <algorithm>

const char* const OddHexDigitsMessage =
    QT_TRANSLATE_NOOP("HexText", "16進数を表す文字の数は偶数でなければなりません。データを確認してください");

namespace {

// All complete pairs as bytes; *odd tells whether one digit was left over.
QByteArray PairDigits(QStringView text, bool* odd)
{
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    int high = -1;
    for (QChar c : text) {
        const int value = HexDigitValue(c.unicode());
        if (value < 0)
            continue;
        if (high < 0) {
            high = value;
        } else {
            bytes.append(char(high * 16 + value));
            high = -1;
        }
    }
    *odd = high >= 0;
    return bytes;
}

QString HexPairs(const QByteArray& bytes, bool blankAfterLast)
{
    static const char digits[] = "0123456789abcdef";
    QString text;
    text.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0)
            text.append(u' ');
        text.append(QLatin1Char(digits[b >> 4]));
        text.append(QLatin1Char(digits[b & 0x0F]));
    }
    if (blankAfterLast && !bytes.isEmpty())
        text.append(u' ');
    return text;
}

}  // namespace

THexBytes HexTextToBytes(const QString& text)
{
    THexBytes result;
    result.Bytes = PairDigits(text, &result.OddDigitCount);
    if (result.OddDigitCount)
        result.Bytes.clear();
    return result;
}

int CountHexDigits(const QString& text)
{
    int count = 0;
    for (QChar c : text)
        if (HexDigitValue(c.unicode()) >= 0)
            ++count;
    return count;
}

QString BytesToHexLine(const QByteArray& bytes)
{
    return HexPairs(bytes, false);
}

QString BytesToHexLines(const QByteArray& bytes, int bytesPerLine)
{
    static const char digits[] = "0123456789abcdef";
    const qsizetype perLine = bytesPerLine < 1 ? 1 : bytesPerLine;
    QString text;
    text.reserve(bytes.size() * 3);
    qsizetype onLine = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0)
            text.append(onLine == 0 ? u'\n' : u' ');
        text.append(QLatin1Char(digits[b >> 4]));
        text.append(QLatin1Char(digits[b & 0x0F]));
        ++onLine;
        if (b == 0xF7 || onLine == perLine)
            onLine = 0;
    }
    return text;
}

QString SysexMonitorLine(const QByteArray& bytes)
{
    return HexPairs(bytes, true);
}

QString ShortMonitorLine(uint8_t status, uint8_t data1, uint8_t data2)
{
    const char bytes[] = {char(status), char(data1), char(data2)};
    return HexPairs(QByteArray(bytes, 3), false);
}

QList<QByteArray> CutIntoPackets(const QByteArray& bytes, int packetSize)
{
    const qsizetype size = packetSize < 1 ? 1 : packetSize;
    QList<QByteArray> packets;
    for (qsizetype start = 0; start < bytes.size(); start += size)
        packets.append(bytes.mid(start, size));
    return packets;
}

namespace {

TSendPlan CutTextForSending(QStringView text, int packetSize)
{
    // The cut is made on bytes, after pairing: cutting the text after the characters "F7" would
    // split "0F 70" (written 0F70) and make both halves odd, and whether blanks stand between the
    // digits would change the result.
    bool odd = false;
    const QByteArray bytes = PairDigits(text, &odd);
    QList<QByteArray> sections;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) == 0xF7) {
            sections.append(bytes.mid(start, i + 1 - start));
            start = i + 1;
        }
    }
    TSendPlan plan;
    // Every section but the last ends with a complete F7 byte, so the one digit left over by an
    // odd count always belongs to the last section (what follows the last F7): that section alone
    // is left out, and there is at most one such section.
    if (odd)
        plan.OddSections = 1;
    else if (start < bytes.size())
        sections.append(bytes.mid(start));
    for (const QByteArray& section : sections)
        plan.Packets.append(CutIntoPackets(section, packetSize));
    plan.Sections = sections;
    return plan;
}

}  // namespace

TSendPlan CutForSending(const QString& text, int packetSize)
{
    return CutTextForSending(text, packetSize);
}

TSendPlan CutSelectionForSending(QStringView text, qsizetype anchor, qsizetype position, int packetSize)
{
    const qsizetype from = std::clamp<qsizetype>(std::min(anchor, position), 0, text.size());
    const qsizetype to = std::clamp<qsizetype>(std::max(anchor, position), 0, text.size());
    return CutTextForSending(text.sliced(from, to - from), packetSize);
}

QByteArray NormalizeLineBreaks(const QByteArray& text)
{
    QByteArray result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            result.append("\r\n");
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            result.append("\r\n");
        } else {
            result.append(c);
        }
    }
    return result;
}
