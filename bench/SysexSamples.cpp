#include "SysexSamples.h"

QByteArray OneBigMessage(qsizetype size)
{
    QByteArray bytes(size, '\0');
    bytes[0] = char(0xF0);
    for (qsizetype i = 1; i + 1 < size; ++i)
        bytes[i] = char((i * 13 + i / 251) & 0x7F);
    bytes[size - 1] = char(0xF7);
    return bytes;
}

QByteArray DataSets(qsizetype size, int* wrong)
{
    QByteArray bytes;
    int wrongCount = 0;
    for (int n = 0; bytes.size() + 14 <= size; ++n) {
        const char body[] = {0x40, char(0x10 + n % 16), char(n % 0x7F), char(n % 3), 0x11, 0x22, char(n % 100)};
        int sum = 0;
        for (char b : body)
            sum += b;
        bytes += QByteArray::fromHex("F041104212");
        bytes += QByteArray(body, sizeof body);
        const bool bad = n % 10 == 3;
        wrongCount += bad;
        bytes += char(((128 - sum % 128) % 128 + (bad ? 1 : 0)) & 0x7F);
        bytes += char(0xF7);
    }
    if (wrong)
        *wrong = wrongCount;
    return bytes;
}
