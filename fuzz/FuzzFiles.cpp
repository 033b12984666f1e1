// The Binary page's .syx and .txt loaders on any file: a file within the limit reads whole and
// exactly, one beyond it is refused with the size text; a loaded .syx file shown as text and
// saved again gives its bytes back, and a loaded .txt file sends what its digits say.
#include "FuzzSupport.h"
#include "HexText.h"
#include "MidiFiles.h"

#include "FuzzInput.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFuzzInput input(data, size);
    const qint64 limit = input.ConsumeIntegralInRange<qint64>(0, 4096);
    const std::string fileBytes = input.ConsumeRemainingBytesAsString();
    const QByteArray file(fileBytes.data(), qsizetype(fileBytes.size()));
    static const QString path = ScratchPath("file.syx");
    WriteScratch(path, file.constData(), size_t(file.size()));

    QByteArray bytes;
    try {
        bytes = ReadWholeFile(path, limit);
    } catch (const std::runtime_error& error) {
        FUZZ_CHECK(file.size() > limit, std::string("refused within the limit: ") + error.what());
        FUZZ_CHECK(QString::fromUtf8(error.what()).contains(QStringLiteral("大きすぎて")), error.what());
        return 0;
    }
    FUZZ_CHECK(file.size() <= limit, "read beyond the limit");
    FUZZ_CHECK(bytes == file, "read " + Shown(bytes) + " of " + Shown(file));

    // .syx: shown as hexadecimal text, saved from that text.
    const QString shown = BytesToHexLine(bytes);
    const THexBytes saved = HexTextToBytes(shown);
    FUZZ_CHECK(!saved.OddDigitCount && saved.Bytes == bytes, Shown(shown));
    static const QString savedPath = ScratchPath("saved.syx");
    WriteWholeFile(savedPath, saved.Bytes);
    FUZZ_CHECK(ReadWholeFile(savedPath, limit) == bytes, "saved .syx differs");

    // .txt: the memo's text sends what the file's own digits say; line breaks and a byte-order
    // mark change nothing of it.
    QByteArray text = NormalizeLineBreaks(bytes);
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    const QString memo = QString::fromUtf8(text);
    QByteArray digits;
    for (char c : bytes)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits.append(c);
    const THexBytes fromMemo = HexTextToBytes(memo);
    const THexBytes fromFile = HexTextToBytes(QString::fromLatin1(digits));
    FUZZ_CHECK(fromMemo.OddDigitCount == fromFile.OddDigitCount && fromMemo.Bytes == fromFile.Bytes,
               "the memo's digits differ from the file's: " + Shown(bytes));
    return 0;
}
