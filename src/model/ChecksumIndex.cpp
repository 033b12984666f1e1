#include "ChecksumIndex.h"

#include "HexText.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// Checkpoints are kept about this many characters apart: a change reads again at most about
// twice this far when the evenness of the digits stays, and 3 MB of text keeps some 1,500.
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

TChecksumIndex::TChecksumIndex()
{
    FCheckpoints.push_back(0);
}

TChecksumIndex::TChecksumIndex(const QString& text)
{
    SetText(text);
}

void TChecksumIndex::SetText(const QString& text)
{
    FText = text;
    FDigitCount = CountDigits(FText);
    FCheckpoints.assign(1, 0);
    FWrong.clear();
    Scan(0, {}, 0, FCheckpoints, FWrong);
}

TTextRange TChecksumIndex::Replace(qsizetype position, qsizetype removed, QStringView added)
{
    position = std::clamp<qsizetype>(position, 0, FText.size());
    removed = std::clamp<qsizetype>(removed, 0, FText.size() - position);
    FDigitCount += CountDigits(added) - CountDigits(QStringView(FText).sliced(position, removed));
    FText.replace(position, removed, added.data(), added.size());
    const qsizetype shift = added.size() - removed;

    // Read again from the last checkpoint at or before the change: the state there depends only
    // on the text before it.
    const auto restart = std::upper_bound(FCheckpoints.begin(), FCheckpoints.end(), position) - 1;
    // The old checkpoints behind the change, where the new reading may fall in step again: the
    // text after each of them is still the old text.
    const auto behind = std::max(std::lower_bound(FCheckpoints.begin(), FCheckpoints.end(), position + removed),
                                 restart + 1);
    const qsizetype from = *restart;

    std::vector<qsizetype> checkpoints;
    std::vector<TWrongChecksum> wrong;
    const TScanEnd end = Scan(from, std::span<const qsizetype>(behind, FCheckpoints.end()), shift, checkpoints, wrong);

    // No wrong message spans a checkpoint: each lies wholly before the restart or after it.
    const auto keptWrong = std::lower_bound(FWrong.begin(), FWrong.end(), from,
                                            [](const TWrongChecksum& w, qsizetype p) { return w.Start < p; });
    std::vector<TWrongChecksum> later;
    std::vector<qsizetype> laterCheckpoints;
    if (end.Settled) {
        const qsizetype oldSettled = end.Position - shift;
        const auto firstLater = std::lower_bound(keptWrong, FWrong.end(), oldSettled,
                                                 [](const TWrongChecksum& w, qsizetype p) { return w.Start < p; });
        for (auto it = firstLater; it != FWrong.end(); ++it) {
            TWrongChecksum moved = *it;
            moved.Start += shift;
            moved.End += shift;
            moved.SumHigh += shift;
            moved.SumLow += shift;
            later.push_back(moved);
        }
        for (auto it = behind + qsizetype(end.OldCheckpoint); it != FCheckpoints.end(); ++it)
            laterCheckpoints.push_back(*it + shift);
    }
    FWrong.erase(keptWrong, FWrong.end());
    FWrong.insert(FWrong.end(), wrong.begin(), wrong.end());
    FWrong.insert(FWrong.end(), later.begin(), later.end());
    FCheckpoints.erase(restart + 1, FCheckpoints.end());
    FCheckpoints.insert(FCheckpoints.end(), checkpoints.begin(), checkpoints.end());
    FCheckpoints.insert(FCheckpoints.end(), laterCheckpoints.begin(), laterCheckpoints.end());
    return {from, end.Position};
}

TChecksumIndex::TScanEnd TChecksumIndex::Scan(qsizetype from, std::span<const qsizetype> oldCheckpoints, qsizetype shift,
                                              std::vector<qsizetype>& checkpoints,
                                              std::vector<TWrongChecksum>& wrong) const
{
    constexpr qsizetype None = std::numeric_limits<qsizetype>::max();
    const auto* text = reinterpret_cast<const char16_t*>(FText.constData());
    const qsizetype size = FText.size();
    TChecksumParser parser;
    int high = -1;
    qsizetype highAt = 0;
    qsizetype lastHigh = 0;
    qsizetype lastLow = 0;
    qsizetype start = 0;
    bool upperCase = true;
    qsizetype lastCheckpoint = from;
    size_t old = 0;
    qsizetype nextOld = oldCheckpoints.empty() ? None : oldCheckpoints[0] + shift;

    for (qsizetype i = from; i < size; ++i) {
        const int value = DigitOf(text[i]);
        if (value < 0)
            continue;
        if (high < 0) {
            high = value;
            highAt = i;
            continue;
        }
        const auto byte = uint8_t(high * 16 + value);
        high = -1;
        if (byte == 0xF0) {
            start = highAt;
            upperCase = text[highAt] == u'F';
        }
        if (const std::optional<TChecksumVerdict> verdict = parser.Feed(byte); verdict && !verdict->Right())
            wrong.push_back({start, i + 1, lastHigh, lastLow, *verdict, upperCase});
        lastHigh = highAt;
        lastLow = i;
        if (!parser.Idle())
            continue;
        const qsizetype here = i + 1;
        // Where the old reading stood with no pair and no message open, with the old text from
        // there on, the rest reads as it did.
        while (nextOld < here)
            nextOld = ++old < oldCheckpoints.size() ? oldCheckpoints[old] + shift : None;
        if (nextOld == here)
            return {here, true, old};
        if (here - lastCheckpoint >= CheckpointSpacing) {
            checkpoints.push_back(here);
            lastCheckpoint = here;
        }
    }
    return {size, false, 0};
}

std::span<const TWrongChecksum> TChecksumIndex::WrongMessagesBetween(qsizetype from, qsizetype to) const
{
    if (to <= from)
        return {};
    const auto first = std::upper_bound(FWrong.begin(), FWrong.end(), from,
                                        [](qsizetype p, const TWrongChecksum& w) { return p < w.End; });
    const auto last = std::lower_bound(first, FWrong.end(), to,
                                       [](const TWrongChecksum& w, qsizetype p) { return w.Start < p; });
    return {first, last};
}

QList<TDigitEdit> TChecksumIndex::FixEdits() const
{
    static const char upperDigits[] = "0123456789ABCDEF";
    static const char lowerDigits[] = "0123456789abcdef";
    QList<TDigitEdit> edits;
    for (const TWrongChecksum& w : FWrong) {
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
