#include "FuzzSupport.h"

#include <QDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string Folder;

void RemoveFolder()
{
    QDir(QString::fromStdString(Folder)).removeRecursively();
}

}  // namespace

QString ScratchPath(const char* name)
{
    static const QString folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/kelvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        Folder = pattern;
        std::atexit(RemoveFolder);  // the folder goes when the run ends
        return QString::fromStdString(Folder);
    }();
    return folder + u'/' + QString::fromUtf8(name);
}

void WriteScratch(const QString& path, const char* data, size_t size)
{
    const QByteArray name = path.toLocal8Bit();
    const int fd = open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) {
        std::perror(name.constData());
        std::abort();
    }
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) {
            std::perror("write");
            std::abort();
        }
        done += size_t(n);
    }
    close(fd);
}

std::string Shown(const QByteArray& bytes)
{
    return bytes.left(200).toHex(' ').toStdString() + (bytes.size() > 200 ? " ..." : "");
}

std::string Shown(const QString& text)
{
    return text.left(200).toStdString() + (text.size() > 200 ? " ..." : "");
}
