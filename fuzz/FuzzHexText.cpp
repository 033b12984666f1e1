// The hexadecimal text of the Binary page: whatever text is typed or loaded, the bytes it pairs
// to read the same once written back as text, and the send plan cuts exactly those bytes.
#include "FuzzSupport.h"
#include "HexText.h"

#include <cstdint>

namespace {

bool IsDigit(char16_t u)
{
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

QByteArray Joined(const QList<QByteArray>& parts)
{
    QByteArray all;
    for (const QByteArray& part : parts)
        all += part;
    return all;
}

void CheckText(const QString& text, int packetSize)
{
    // A plain reading of the rule: the ASCII hexadecimal digits, paired in order.
    QByteArray expected;
    int digits = 0;
    int high = -1;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!IsDigit(u))
            continue;
        ++digits;
        const int value = u <= u'9' ? u - u'0' : (u | 0x20) - u'a' + 10;
        if (high < 0) {
            high = value;
        } else {
            expected.append(char(high * 16 + value));
            high = -1;
        }
    }
    const bool odd = digits % 2 != 0;

    FUZZ_CHECK(CountHexDigits(text) == digits, Shown(text));
    const THexBytes hex = HexTextToBytes(text);
    FUZZ_CHECK(hex.OddDigitCount == odd, Shown(text));
    FUZZ_CHECK(hex.Bytes == (odd ? QByteArray() : expected), Shown(text) + " -> " + Shown(hex.Bytes));

    // Written back, in both forms, the bytes read the same.
    for (const QString& written : {BytesToHexLine(expected), SysexMonitorLine(expected)}) {
        const THexBytes again = HexTextToBytes(written);
        FUZZ_CHECK(!again.OddDigitCount && again.Bytes == expected, Shown(written));
        FUZZ_CHECK(CountHexDigits(written) == 2 * expected.size(), Shown(written));
    }
    const QString line = BytesToHexLine(expected);
    FUZZ_CHECK(line.size() == (expected.isEmpty() ? 0 : 3 * expected.size() - 1), Shown(line));
    FUZZ_CHECK(SysexMonitorLine(expected) == (expected.isEmpty() ? line : line + u' '), Shown(line));

    // The send plan: sections cut after every F7, each into packets of at most packetSize bytes.
    const TSendPlan plan = CutForSending(text, packetSize);
    const qsizetype lastF7 = expected.lastIndexOf(char(0xF7));
    const QByteArray sent = odd ? expected.left(lastF7 + 1) : expected;
    FUZZ_CHECK(Joined(plan.Sections) == sent, Shown(text));
    FUZZ_CHECK(plan.OddSections == (odd ? 1 : 0), Shown(text));
    const qsizetype size = packetSize < 1 ? 1 : packetSize;
    qsizetype packet = 0;
    for (qsizetype s = 0; s < plan.Sections.size(); ++s) {
        const QByteArray& section = plan.Sections[s];
        FUZZ_CHECK(!section.isEmpty(), Shown(text));
        const qsizetype f7 = section.indexOf(char(0xF7));
        FUZZ_CHECK(f7 < 0 || f7 == section.size() - 1, "F7 inside a section: " + Shown(section));
        FUZZ_CHECK(f7 >= 0 || s == plan.Sections.size() - 1, "a section without F7 before the last");
        const QList<QByteArray> packets = CutIntoPackets(section, packetSize);
        FUZZ_CHECK(Joined(packets) == section, Shown(section));
        for (qsizetype p = 0; p < packets.size(); ++p) {
            FUZZ_CHECK(packets[p].size() == (p + 1 < packets.size() ? size : packets[p].size()), Shown(section));
            FUZZ_CHECK(packets[p].size() >= 1 && packets[p].size() <= size, Shown(section));
            FUZZ_CHECK(packet < plan.Packets.size() && plan.Packets[packet] == packets[p], Shown(text));
            ++packet;
        }
    }
    FUZZ_CHECK(packet == plan.Packets.size(), Shown(text));
}

void CheckLineBreaks(const QByteArray& bytes)
{
    const QByteArray normal = NormalizeLineBreaks(bytes);
    FUZZ_CHECK(NormalizeLineBreaks(normal) == normal, Shown(bytes));
    for (qsizetype i = 0; i < normal.size(); ++i) {
        if (normal[i] == '\r')
            FUZZ_CHECK(i + 1 < normal.size() && normal[i + 1] == '\n', Shown(bytes));
        if (normal[i] == '\n')
            FUZZ_CHECK(i > 0 && normal[i - 1] == '\r', Shown(bytes));
    }
    // Only line breaks change: every other byte stays, in order, and so does the line count.
    QByteArray rest = bytes;
    QByteArray normalRest = normal;
    rest.replace("\r\n", "\n").replace('\r', '\n');
    normalRest.replace("\r\n", "\n");
    FUZZ_CHECK(rest == normalRest, Shown(bytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // First byte: how the rest becomes text and how long the packets are.
    const uint8_t mode = data[0];
    const int packetSize = int(int8_t(data[1]));
    const char* rest = reinterpret_cast<const char*>(data + 2);
    const size_t restSize = size - 2;
    QString text;
    if (mode & 1)
        text = QString::fromUtf8(rest, qsizetype(restSize));
    else  // any UTF-16 code units, full-width digits and lone surrogates included
        text = QString(reinterpret_cast<const QChar*>(rest), qsizetype(restSize / 2));
    CheckText(text, packetSize);
    CheckLineBreaks(QByteArray(rest, qsizetype(restSize)));
    return 0;
}
