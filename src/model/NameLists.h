#pragma once

#include <QString>
#include <QStringList>

class TIniFile;

// The 128 drum pad names of one section of note.ini: key "000".."127" is the name of that note; a
// missing or empty key gives the note number ("35").
QStringList DrumPadNames(const TIniFile& noteIni, const QString& section);

// The lines of one name set of program.ini: "key=value" for each distinct key whose (first) value
// is not empty, in the order the keys first appear. A line's position is its program number.
QStringList ProgramListLines(const TIniFile& programIni, const QString& section);

// Where note.ini and program.ini are found: beside the program, else in the installed data folder
// ../share/kelvane relative to it; when neither exists, the path beside the program.
QString FindDataFile(const QString& programFolder, const QString& fileName);
