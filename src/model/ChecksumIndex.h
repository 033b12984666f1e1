#pragma once

#include "SysexChecksums.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <span>
#include <vector>

// The raw editor's view of the checksums in its memo: where each message with a wrong sum stands
// in the text, and how many hexadecimal digits the text holds (its byte count), kept up to date
// edit by edit so that a keystroke in a memo of megabytes costs little.
//
// The digits are paired over the whole text, as sending pairs them, so what is marked is what
// the synthesizer would receive. A position is a character index of the text (a document's
// position, where a line break is one character).

// A message whose checksum is wrong.
struct TWrongChecksum {
    qsizetype Start = 0;  // the first digit of its F0
    qsizetype End = 0;  // one past the last digit of its F7
    qsizetype SumHigh = 0;  // the sum's two digits, which need not stand side by side ("4 1")
    qsizetype SumLow = 0;
    TChecksumVerdict Verdict;
    bool UpperCase = true;  // its F0 is written "F0", not "f0"

    friend bool operator==(const TWrongChecksum&, const TWrongChecksum&) = default;
};

// One character of the text replaced by another.
struct TDigitEdit {
    qsizetype Position = 0;
    QChar Digit;

    friend bool operator==(const TDigitEdit&, const TDigitEdit&) = default;
};

struct TTextRange {
    qsizetype From = 0;
    qsizetype To = 0;  // one past the end

    friend bool operator==(const TTextRange&, const TTextRange&) = default;
};

class TChecksumIndex {
public:
    TChecksumIndex();
    explicit TChecksumIndex(const QString& text);

    void SetText(const QString& text);
    // The text changed: `removed` characters at `position` gave way to `added` (positions beyond
    // the text are brought within it). Reads again only from shortly before the change to where
    // the reading falls in step with the old one, which is soon, also when an odd number of
    // digits comes or goes and every later pair shifts. Returns the part of the new text whose
    // marks may have changed: every message found, lost or changed lies within it, and
    // everything after it only moved by added.size() - removed. When every later pair shifted,
    // it reaches to the end of the text (marks in view are best asked for again).
    TTextRange Replace(qsizetype position, qsizetype removed, QStringView added);

    // The text as the index holds it; the same characters as the memo's.
    const QString& Text() const { return FText; }
    qsizetype DigitCount() const { return FDigitCount; }
    // In text order; they never overlap.
    const std::vector<TWrongChecksum>& WrongMessages() const { return FReadings[0].Wrong; }
    // Those with a character in [from, to): for marking what is in view.
    std::span<const TWrongChecksum> WrongMessagesBetween(qsizetype from, qsizetype to) const;
    // How many characters the last SetText or Replace read, both readings together: what a
    // change costs.
    qsizetype LastReadLength() const { return FLastReadLength; }
    // The characters that fix every wrong sum, in text order: only digits of sums change. A
    // digit that is a letter keeps its case; one that becomes a letter follows its message's F0.
    QList<TDigitEdit> FixEdits() const;

private:
    // One way of pairing the digits of the whole text, kept up to date.
    struct TReading {
        // Positions where the reading may start afresh: right after a byte's second digit with
        // no message open (so no pair and no sum is half read), and the start of the text.
        // Ascending.
        std::vector<qsizetype> Checkpoints{0};
        std::vector<TWrongChecksum> Wrong;  // in text order
    };

    struct TScanEnd {
        qsizetype Position = 0;  // where the reading stopped
        bool Settled = false;  // it fell in step with the old reading there
        size_t OldCheckpoint = 0;  // which of the old checkpoints it met, if Settled
    };

    // Reads from `from` (a checkpoint of the reading; at 0 the odd reading leaves the first digit
    // alone) to the end, or until it meets one of the old checkpoints (moved by `shift`), adding
    // the checkpoints and wrong messages it finds.
    TScanEnd Scan(bool odd, qsizetype from, std::span<const qsizetype> oldCheckpoints, qsizetype shift,
                  TReading& found) const;

    QString FText;
    qsizetype FDigitCount = 0;
    qsizetype FLastReadLength = 0;
    // [0] pairs the digits from the first, as sending does: what the index shows. [1] pairs them
    // from the second, the first left alone. When an odd number of digits comes or goes, every
    // pair after the change becomes what the other reading held there, so each takes the
    // other's rest and neither has to read to the end.
    TReading FReadings[2];
};

// The text with the given characters replaced.
QString ApplyDigitEdits(QString text, const QList<TDigitEdit>& edits);

// The text with every wrong sum fixed, its layout kept.
QString FixChecksums(const QString& text);
