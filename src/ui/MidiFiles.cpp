#include "MidiFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace {

const char* const SyxFilter = QT_TRANSLATE_NOOP("MidiFiles", "システム・エクスクルーシブ(*.syx)|*.syx|すべてのファイル(*.*)|*.*");
const char* const TextFilter = QT_TRANSLATE_NOOP("MidiFiles", "テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*");
const char* const CannotReadText = QT_TRANSLATE_NOOP("MidiFiles", "%1 を読み込めません");
const char* const CannotWriteText = QT_TRANSLATE_NOOP("MidiFiles", "%1 に書き込めません");
const char* const TooLargeText = QT_TRANSLATE_NOOP("MidiFiles", "%1 は大きすぎて読み込めません（%2 MiB まで）");

QString Translated(const char* text)
{
    return QCoreApplication::translate("MidiFiles", text);
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const char* text, const QString& path)
{
    throw std::runtime_error(Translated(text).arg(Shown(path)).toStdString());
}

[[noreturn]] void FailTooLarge(const QString& path, qint64 limit)
{
    throw std::runtime_error(
        Translated(TooLargeText).arg(Shown(path)).arg(limit / (1024 * 1024)).toStdString());
}

} // namespace

TFileDialogRequest SyxFileRequest(bool save, const QString& folder)
{
    return {save, QStringLiteral("syx"), Translated(SyxFilter), folder};
}

TFileDialogRequest TextFileRequest(bool save, const QString& folder)
{
    return {save, QStringLiteral("txt"), Translated(TextFilter), folder};
}

QString FolderOf(const QString& path)
{
    QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

// The whole file, refused above limit bytes. Only a regular file: opening a pipe waits for its
// writer, and a device may never end. The pieces stop at the limit also if the file grows.
QByteArray ReadWholeFile(const QString& path, qint64 limit)
{
    if (!QFileInfo(path).isFile())
        Fail(CannotReadText, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(CannotReadText, path);
    if (file.size() > limit)
        FailTooLarge(path, limit);
    QByteArray bytes;
    bytes.reserve(file.size());
    char piece[64 * 1024];
    for (;;) {
        const qint64 got = file.read(piece, sizeof piece);
        if (got < 0)
            Fail(CannotReadText, path);
        if (got == 0)
            break;
        if (bytes.size() + got > limit)
            FailTooLarge(path, limit);
        bytes.append(piece, got);
    }
    return bytes;
}

// Created, or emptied if it exists, with exactly these bytes. Written beside the file and then
// renamed over it, so a full disk leaves the old file as it was.
void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    WriteWholeFile(path, [&](QIODevice& file) { return file.write(bytes) == bytes.size(); });
}

void WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);  // a folder we may write files in but not create them
    if (!file.open(QIODevice::WriteOnly) || !write(file) || !file.commit())
        throw std::runtime_error(
            (Translated(CannotWriteText).arg(Shown(path)) + QLatin1Char('\n') + WriteFailureReason(path)).toStdString());
}

QString WriteFailureReason(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (file.isDir())
        return Translated(QT_TRANSLATE_NOOP("MidiFiles", "同じ名前のフォルダがあります"));
    if (!folder.isDir())
        return Translated(QT_TRANSLATE_NOOP("MidiFiles", "フォルダ %1 がありません")).arg(Shown(folder.filePath()));
    if ((file.exists() && !file.isWritable()) || !folder.isWritable())
        return Translated(QT_TRANSLATE_NOOP("MidiFiles", "書き込みが許可されていません"));
    return Translated(QT_TRANSLATE_NOOP("MidiFiles", "ディスクがいっぱいか，書き込みに失敗しました"));
}

