#pragma once
// The memos the raw editor's benchmarks load: a dump nobody checks, and GS data sets to check.

#include <QByteArray>

// One system exclusive message of another maker, `size` bytes: nothing to check, as a sample dump.
QByteArray OneBigMessage(qsizetype size);

// GS data sets (F0 41 10 42 12, a three-byte address, four data bytes, the sum, F7) filling
// `size` bytes, one in ten with a wrong sum: the worst a memo of them gets. `wrong`, when given,
// is set to how many.
QByteArray DataSets(qsizetype size, int* wrong = nullptr);
