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
    // the text are brought within it). Returns the part of the new text whose marks may have
    // changed: every message found, lost or changed lies within it, and everything after it only
    // moved by added.size() - removed. Reads again only from shortly before the change to where
    // the reading falls in step with the old one; a change of the number of digits' evenness
    // shifts every later pair, and then the reading goes on to the end.
    TTextRange Replace(qsizetype position, qsizetype removed, QStringView added);

    // The text as the index holds it; the same characters as the memo's.
    const QString& Text() const { return FText; }
    qsizetype DigitCount() const { return FDigitCount; }
    // In text order; they never overlap.
    const std::vector<TWrongChecksum>& WrongMessages() const { return FWrong; }
    // Those with a character in [from, to): for marking what is in view.
    std::span<const TWrongChecksum> WrongMessagesBetween(qsizetype from, qsizetype to) const;
    // The characters that fix every wrong sum, in text order: only digits of sums change. A
    // digit that is a letter keeps its case; one that becomes a letter follows its message's F0.
    QList<TDigitEdit> FixEdits() const;

private:
    struct TScanEnd {
        qsizetype Position = 0;  // where the reading stopped
        bool Settled = false;  // it fell in step with the old reading there
        size_t OldCheckpoint = 0;  // which of the old checkpoints it met, if Settled
    };

    // Reads from `from` (a checkpoint) to the end, or until it meets one of the old checkpoints
    // (moved by `shift`) in the same state, adding the checkpoints and wrong messages it finds.
    TScanEnd Scan(qsizetype from, std::span<const qsizetype> oldCheckpoints, qsizetype shift,
                  std::vector<qsizetype>& checkpoints, std::vector<TWrongChecksum>& wrong) const;

    QString FText;
    qsizetype FDigitCount = 0;
    // Positions where the reading may start afresh: right after a byte's second digit with no
    // message open (so no pair and no sum is half read), and the start of the text. Ascending.
    std::vector<qsizetype> FCheckpoints;
    std::vector<TWrongChecksum> FWrong;
};

// The text with the given characters replaced.
QString ApplyDigitEdits(QString text, const QList<TDigitEdit>& edits);

// The text with every wrong sum fixed, its layout kept.
QString FixChecksums(const QString& text);
