#include "MidiFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace {

const char* const SyxFilter = "システム・エクスクルーシブ(*.syx)|*.syx|すべてのファイル(*.*)|*.*";
const char* const TextFilter = "テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
const char* const CannotReadText = "%1 を読み込めません";
const char* const CannotWriteText = "%1 に書き込めません";
const char* const TooLargeText = "%1 は大きすぎて読み込めません（%2 MiB まで）";

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const char* text, const QString& path)
{
    throw std::runtime_error(QString::fromUtf8(text).arg(Shown(path)).toStdString());
}

[[noreturn]] void FailTooLarge(const QString& path, qint64 limit)
{
    throw std::runtime_error(
        QString::fromUtf8(TooLargeText).arg(Shown(path)).arg(limit / (1024 * 1024)).toStdString());
}

} // namespace

TFileDialogRequest SyxFileRequest(bool save, const QString& folder)
{
    return {save, QStringLiteral("syx"), QString::fromUtf8(SyxFilter), folder};
}

TFileDialogRequest TextFileRequest(bool save, const QString& folder)
{
    return {save, QStringLiteral("txt"), QString::fromUtf8(TextFilter), folder};
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
    QSaveFile file(path);
    file.setDirectWriteFallback(true);  // a folder we may write files in but not create them
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Fail(CannotWriteText, path);
}

