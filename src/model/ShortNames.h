#pragma once
// Names cut to the room a row of buttons gives them, with "…" where they are cut, and never
// cut so that two different names read the same: where a cut would hide what tells two names
// apart, the part that differs is kept and the cut moves before it.

#include <QString>
#include <QStringList>

#include <functional>

// The width of a text in pixels, or in any unit the room is given in.
using TTextWidth = std::function<int(const QString&)>;

// The name itself when it fits, else its longest beginning that fits with "…" after it.
QString ShortName(const QString& name, int room, const TTextWidth& width);

// Each name as ShortName gives it, except where two different names would then read the same:
// those keep a beginning, "…", and the rest of the name from the word in which it first differs
// from the others ("Crash Cym…2"). Names that are the same read the same.
QStringList DistinctShortNames(const QStringList& names, int room, const TTextWidth& width);
