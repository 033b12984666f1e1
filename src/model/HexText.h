#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>

// MIDI bytes as hexadecimal text, the form the Binary page shows and takes. Written: two lowercase
// digits per byte. Read: only 0-9 and A-F (a-f too) count, paired in order wherever they stand, so
// "9 03C" is 90 3C and blanks or line breaks never matter.

// Shown by the caller when a text holds an odd number of hexadecimal digits.
// Translated in the "HexText" context.
extern const char* const OddHexDigitsMessage;

struct THexBytes {
    QByteArray Bytes;
    bool OddDigitCount = false;  // then Bytes is empty
};

THexBytes HexTextToBytes(const QString& text);

// Value 0..15 of a hexadecimal digit, -1 for any other character. Full-width digits and letters
// are not digits: only the ASCII characters count.
constexpr int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// Number of the characters 0-9, A-F and a-f in the text.
int CountHexDigits(const QString& text);

// "f0 7e 7f": pairs separated by single blanks, nothing at the end (a loaded .syx file).
QString BytesToHexLine(const QByteArray& bytes);
// The same pairs in lines (parted by LF, none at the end): a line ends after every F7, so each
// system exclusive message starts a line, and a longer run is cut into lines of bytesPerLine
// bytes (below 1 counts as 1). An editor lays out again only the line an edit touches, so a
// loaded dump stays quick to edit; the digits, and so the bytes, are those of one line.
QString BytesToHexLines(const QByteArray& bytes, int bytesPerLine);
// "f0 7e 7f f7 ": every pair followed by a blank (a received system exclusive block).
QString SysexMonitorLine(const QByteArray& bytes);
// "90 3c 7f" (a received short message).
QString ShortMonitorLine(uint8_t status, uint8_t data1, uint8_t data2);

struct TSendPlan {
    QList<QByteArray> Sections;  // the byte sections that are sent, each ending with F7 but the last
    QList<QByteArray> Packets;   // the sections cut into packets, in sending order
    int OddSections = 0;         // sections left out because their digit count is odd (0 or 1)
};

// The raw editor's send: the digits are paired first, then the bytes are cut after every F7 and
// each section into packets of at most packetSize bytes (the last packet of a section holds the
// rest). A packetSize below 1 counts as 1.
TSendPlan CutForSending(const QString& text, int packetSize);

// Sends what is selected: the characters between the two ends of a selection (in either order,
// kept within the text) are read as a memo of their own and cut as CutForSending cuts a memo. So
// the bytes sent are the pairs the user sees selected, whatever stands before them, and an odd
// number of digits in the selection leaves out its last section, as it does for the whole memo.
TSendPlan CutSelectionForSending(QStringView text, qsizetype anchor, qsizetype position, int packetSize);

// Cuts one byte string into consecutive packets of at most packetSize bytes (below 1 counts as 1).
QList<QByteArray> CutIntoPackets(const QByteArray& bytes, int packetSize);

// A text file's line breaks as the memo shows them: a lone CR or a lone LF becomes CR LF.
QByteArray NormalizeLineBreaks(const QByteArray& text);
