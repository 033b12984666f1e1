#include "ShortNames.h"

#include <QHash>

#include <algorithm>

namespace {

const QString Ellipsis = QStringLiteral("\u2026");

// Where words meet in a name: a cut is best made before one, and a kept ending starts after one.
bool IsSeparator(QChar c)
{
    static const QString Separators = QStringLiteral(" \u3000\u30FB\uFF65-_/.,()\uFF08\uFF09");
    return Separators.contains(c);
}

// The first `length` characters, not splitting a character written as two UTF-16 units, and
// without the separators a cut leaves at the end.
QString Beginning(const QString& name, qsizetype length)
{
    if (length > 0 && length < name.size() && name[length - 1].isHighSurrogate())
        --length;
    QString beginning = name.left(length);
    while (!beginning.isEmpty() && IsSeparator(beginning.back()))
        beginning.chop(1);
    return beginning;
}

// The longest beginning of `head` with "…" and `tail` after it that fits, or "…" + tail when
// none does.
QString CutBefore(const QString& head, const QString& tail, int room, const TTextWidth& width)
{
    // The width grows with the length of the beginning: search for the longest that fits.
    qsizetype fitting = 0;
    qsizetype low = 1;
    qsizetype high = head.size();
    while (low <= high) {
        const qsizetype middle = (low + high) / 2;
        if (width(Beginning(head, middle) + Ellipsis + tail) <= room) {
            fitting = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return Beginning(head, fitting) + Ellipsis + tail;
}

qsizetype CommonBeginning(const QString& a, const QString& b)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < shorter && a[i] == b[i])
        ++i;
    return i;
}

// A short form of `name` that keeps the part from `differs` on, where it parts from the names
// it was mistaken for: from the start of that word when `wholeWord` and that still leaves room
// for a letter of the beginning, else from the difference itself.
QString KeepingTheDifference(const QString& name, qsizetype differs, bool wholeWord, int room, const TTextWidth& width)
{
    qsizetype from = differs;
    while (wholeWord && from > 0 && !IsSeparator(name[from - 1]))
        --from;
    if (from == 0 || width(name.left(1) + Ellipsis + name.mid(from)) > room)
        from = differs;
    while (from < name.size() - 1 && IsSeparator(name[from]))
        ++from;  // "…2", not "… 2"
    if (from > 0 && from < name.size() && name[from].isLowSurrogate())
        --from;
    const QString tail = name.mid(from);
    if (width(Ellipsis + tail) > room)
        return Ellipsis + ShortName(tail, room - width(Ellipsis), width);
    return CutBefore(name.left(from), tail, room, width);
}

// The indices of the names that read the same as another one.
QList<QList<qsizetype>> ReadTheSame(const QStringList& shown)
{
    QHash<QString, QList<qsizetype>> readers;
    for (qsizetype i = 0; i < shown.size(); ++i)
        readers[shown[i]] << i;
    QList<QList<qsizetype>> same;
    for (const QList<qsizetype>& indices : std::as_const(readers))
        if (indices.size() > 1)
            same << indices;
    return same;
}

} // namespace

QString ShortName(const QString& name, int room, const TTextWidth& width)
{
    if (width(name) <= room)
        return name;
    return CutBefore(name, QString(), room, width);
}

QStringList DistinctShortNames(const QStringList& names, int room, const TTextWidth& width)
{
    QStringList shown;
    shown.reserve(names.size());
    for (const QString& name : names)
        shown << ShortName(name, room, width);

    // Names cut alike keep, after the cut, the word where each parts from the others; should
    // two of those still read the same, they keep only what follows the difference itself.
    for (const bool wholeWord : {true, false}) {
        for (const QList<qsizetype>& same : ReadTheSame(shown)) {
            for (qsizetype i : same) {
                if (shown[i] == names[i])
                    continue;  // whole: the others must move
                qsizetype differs = -1;
                for (qsizetype j : same)
                    if (names[j] != names[i])
                        differs = std::max(differs, CommonBeginning(names[i], names[j]));
                if (differs >= 0 && differs < names[i].size())  // not the same name, nor one another goes on from
                    shown[i] = KeepingTheDifference(names[i], differs, wholeWord, room, width);
            }
        }
    }
    return shown;
}
