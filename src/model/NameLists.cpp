#include "NameLists.h"

#include "IniFile.h"

#include <QDir>
#include <QFileInfo>

QStringList DrumPadNames(const TIniFile& noteIni, const QString& section)
{
    QStringList names;
    names.reserve(128);
    for (int note = 0; note < 128; ++note) {
        const QString name = noteIni.ReadString(section, QStringLiteral("%1").arg(note, 3, 10, QLatin1Char('0')), QString());
        names.append(name.isEmpty() ? QString::number(note) : name);
    }
    return names;
}

QStringList ProgramListLines(const TIniFile& programIni, const QString& section)
{
    QStringList lines;
    for (const auto& [key, value] : programIni.SectionEntries(section))
        if (!value.isEmpty())
            lines.append(key + u'=' + value);
    return lines;
}

QString FindDataFile(const QString& programFolder, const QString& fileName)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(fileName);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../share/kelvane/") + fileName));
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}
