#include "ChecksumIndex.h"

#include "HexText.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// Checkpoints are kept about this many characters apart: a change reads again about twice this
// far, and 3 MB of text keeps some 1,500 per reading.
constexpr qsizetype CheckpointSpacing = 2048;

constexpr std::array<int8_t, 128> DigitTable = [] {
    std::array<int8_t, 128> table{};
    for (char16_t c = 0; c < 128; ++c)
        table[c] = int8_t(HexDigitValue(c));
    return table;
}();

inline int DigitOf(char16_t c)
{
    return c < 128 ? DigitTable[c] : -1;
}

qsizetype CountDigits(QStringView text)
{
    qsizetype count = 0;
    for (QChar c : text)
        count += DigitOf(c.unicode()) >= 0;
    return count;
}

}  // namespace

TChecksumIndex::TChecksumIndex() = default;

TChecksumIndex::TChecksumIndex(const QString& text)
{
    SetText(text);
}

void TChecksumIndex::SetText(const QString& text)
{
    FText = text;
    FDigitCount = CountDigits(FText);
    FLastReadLength = 0;
    for (bool odd : {false, true}) {
        TReading& reading = FReadings[odd];
        reading = TReading();
        FLastReadLength += Scan(odd, 0, {}, 0, reading).Position;
    }
}

TTextRange TChecksumIndex::Replace(qsizetype position, qsizetype removed, QStringView added)
{
    position = std::clamp<qsizetype>(position, 0, FText.size());
    removed = std::clamp<qsizetype>(removed, 0, FText.size() - position);
    const qsizetype digitChange = CountDigits(added) - CountDigits(QStringView(FText).sliced(position, removed));
    FDigitCount += digitChange;
    FText.replace(position, removed, added.data(), added.size());
    const qsizetype shift = added.size() - removed;
    const bool swapped = digitChange % 2 != 0;
    const auto startsBefore = [](const TWrongChecksum& w, qsizetype p) { return w.Start < p; };

    TReading next[2];
    TTextRange changed;
    FLastReadLength = 0;
    for (bool odd : {false, true}) {
        const TReading& before = FReadings[odd];
        // The old reading whose pairs the text after the change keeps.
        const TReading& after = FReadings[odd != swapped];

        // Read again from the last checkpoint at or before the change: the state there depends
        // only on the text before it.
        const auto restart = std::upper_bound(before.Checkpoints.begin(), before.Checkpoints.end(), position) - 1;
        const qsizetype from = *restart;
        // Behind the change the text is the old text: there the new reading may fall in step. The
        // start of the text is no such place (the odd reading's state there is no byte's end).
        const auto behind = std::lower_bound(after.Checkpoints.begin(), after.Checkpoints.end(),
                                             std::max<qsizetype>(position + removed, 1));

        TReading& reading = next[odd];
        reading.Checkpoints.assign(before.Checkpoints.begin(), restart + 1);
        // No wrong message spans a checkpoint: each lies wholly before the restart or after it.
        reading.Wrong.assign(before.Wrong.begin(),
                             std::lower_bound(before.Wrong.begin(), before.Wrong.end(), from, startsBefore));
        const TScanEnd end = Scan(odd, from, std::span<const qsizetype>(behind, after.Checkpoints.end()), shift, reading);
        FLastReadLength += end.Position - from;
        if (end.Settled) {
            for (auto it = behind + qsizetype(end.OldCheckpoint); it != after.Checkpoints.end(); ++it)
                reading.Checkpoints.push_back(*it + shift);
            for (auto it = std::lower_bound(after.Wrong.begin(), after.Wrong.end(), end.Position - shift, startsBefore);
                 it != after.Wrong.end(); ++it) {
                TWrongChecksum moved = *it;
                moved.Start += shift;
                moved.End += shift;
                moved.SumHigh += shift;
                moved.SumLow += shift;
                reading.Wrong.push_back(moved);
            }
        }
        // After a swap the marks behind the change are the other reading's: all may differ.
        if (!odd)
            changed = {from, swapped ? FText.size() : end.Position};
    }
    FReadings[0] = std::move(next[0]);
    FReadings[1] = std::move(next[1]);
    return changed;
}

TChecksumIndex::TScanEnd TChecksumIndex::Scan(bool odd, qsizetype from, std::span<const qsizetype> oldCheckpoints,
                                              qsizetype shift, TReading& found) const
{
    constexpr qsizetype None = std::numeric_limits<qsizetype>::max();
    const auto* text = reinterpret_cast<const char16_t*>(FText.constData());
    const qsizetype size = FText.size();
    TChecksumParser parser;
    qsizetype highAt = 0;
    qsizetype lastHigh = 0;
    qsizetype lastLow = 0;
    qsizetype start = 0;
    bool upperCase = true;
    size_t old = 0;
    qsizetype nextOld = oldCheckpoints.empty() ? None : oldCheckpoints[0] + shift;
    qsizetype nextCheckpoint = from + CheckpointSpacing;

    qsizetype i = from;
    // The odd reading leaves the first digit of the text alone: it reads as the second of a pair
    // whose first was never there.
    if (odd && from == 0) {
        while (i < size && DigitOf(text[i]) < 0)
            ++i;
        i = std::min(i + 1, size);
    }
    // Pair by pair: skip to a digit, then to the next.
    for (;;) {
        int high = -1;
        while (i < size && (high = DigitOf(text[i])) < 0)
            ++i;
        highAt = i++;
        int low = -1;
        while (i < size && (low = DigitOf(text[i])) < 0)
            ++i;
        if (i >= size)
            break;
        const auto byte = uint8_t(high * 16 + low);
        const qsizetype here = ++i;
        if (parser.Idle() && byte != 0xF0) {
            // Most of a dump: no message open and nothing to note at this byte.
            if (here < nextOld && here < nextCheckpoint)
                continue;
        } else {
            if (byte == 0xF0) {
                start = highAt;
                upperCase = text[highAt] == u'F';
            }
            if (const std::optional<TChecksumVerdict> verdict = parser.Feed(byte); verdict && !verdict->Right())
                found.Wrong.push_back({start, here, lastHigh, lastLow, *verdict, upperCase});
            lastHigh = highAt;
            lastLow = here - 1;
            if (!parser.Idle())
                continue;
        }
        // Where the old reading stood with no pair and no message open, with the old text from
        // there on, the rest reads as it did.
        while (nextOld < here)
            nextOld = ++old < oldCheckpoints.size() ? oldCheckpoints[old] + shift : None;
        if (nextOld == here)
            return {here, true, old};
        if (here >= nextCheckpoint) {
            found.Checkpoints.push_back(here);
            nextCheckpoint = here + CheckpointSpacing;
        }
    }
    return {size, false, 0};
}

std::span<const TWrongChecksum> TChecksumIndex::WrongMessagesBetween(qsizetype from, qsizetype to) const
{
    if (to <= from)
        return {};
    const std::vector<TWrongChecksum>& wrong = WrongMessages();
    const auto first = std::upper_bound(wrong.begin(), wrong.end(), from,
                                        [](qsizetype p, const TWrongChecksum& w) { return p < w.End; });
    const auto last = std::lower_bound(first, wrong.end(), to,
                                       [](const TWrongChecksum& w, qsizetype p) { return w.Start < p; });
    return {first, last};
}

QList<TDigitEdit> TChecksumIndex::FixEdits() const
{
    static const char upperDigits[] = "0123456789ABCDEF";
    static const char lowerDigits[] = "0123456789abcdef";
    QList<TDigitEdit> edits;
    for (const TWrongChecksum& w : WrongMessages()) {
        const std::pair<qsizetype, int> digits[] = {{w.SumHigh, w.Verdict.Expected >> 4},
                                                    {w.SumLow, w.Verdict.Expected & 0x0F}};
        for (const auto& [position, value] : digits) {
            const QChar old = FText[position];
            if (DigitOf(old.unicode()) == value)
                continue;
            const bool upper = old.isLetter() ? old.isUpper() : w.UpperCase;
            edits.append({position, QLatin1Char((upper ? upperDigits : lowerDigits)[value])});
        }
    }
    return edits;
}

QString ApplyDigitEdits(QString text, const QList<TDigitEdit>& edits)
{
    for (const TDigitEdit& edit : edits)
        if (edit.Position >= 0 && edit.Position < text.size())
            text[edit.Position] = edit.Digit;
    return text;
}

QString FixChecksums(const QString& text)
{
    return ApplyDigitEdits(text, TChecksumIndex(text).FixEdits());
}
