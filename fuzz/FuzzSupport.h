#pragma once
// Shared by the fuzz targets: a failed property aborts with a message (libFuzzer then keeps the
// input as a crash), and a scratch folder in memory for the targets that read real files.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition, what)                                                         \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "fuzz property failed at %s:%d: %s\n  %s\n", __FILE__,     \
                         __LINE__, #condition, std::string(what).c_str());                  \
            std::abort();                                                                   \
        }                                                                                   \
    } while (false)

// A file path of this process's own in a folder on tmpfs where there is one.
QString ScratchPath(const char* name);

// Writes the bytes to the path, replacing it; aborts when it cannot (the harness, not the code
// under test, is broken then).
void WriteScratch(const QString& path, const char* data, size_t size);

std::string Shown(const QByteArray& bytes);
std::string Shown(const QString& text);
