#include "SysexChecksums.h"

namespace {

constexpr uint8_t Roland = 0x41;
constexpr uint8_t Yamaha = 0x43;
constexpr uint8_t DataSet = 0x12;  // Roland's DT1 command
constexpr uint8_t ExtendedYamahaModel = 0x7F;  // a second model byte follows
constexpr uint32_t LongestYamahaAddress = 4;
constexpr uint32_t ShortestRolandBody = 3;  // an address byte, a data byte and the sum

// The byte that makes `sum` plus itself a multiple of 128.
uint8_t Complement(uint32_t sum)
{
    return uint8_t((128 - (sum & 0x7F)) & 0x7F);
}

}  // namespace

std::optional<TChecksumVerdict> TChecksumParser::FeedOpen(uint8_t byte)
{
    if (byte >= 0x80) {
        std::optional<TChecksumVerdict> verdict;
        if (byte == 0xF7)
            verdict = Close();
        FStep = byte == 0xF0 ? TStep::Maker : TStep::Idle;
        return verdict;
    }
    switch (FStep) {
    case TStep::Idle:
        break;
    case TStep::Maker:
        FStep = byte == Roland ? TStep::RolandDevice : byte == Yamaha ? TStep::YamahaDevice : TStep::Idle;
        break;
    case TStep::RolandDevice:
        FStep = TStep::RolandModel;
        break;
    case TStep::RolandModel:
        // 00 bytes lengthen the model ID; the first other byte ends it and the command follows.
        if (byte != 0)
            FStep = TStep::RolandCommand;
        break;
    case TStep::RolandCommand:
        FStep = byte == DataSet ? TStep::RolandBody : TStep::Idle;
        FBodySum = 0;
        FBodyLength = 0;
        break;
    case TStep::RolandBody:
        FBodySum = uint8_t((FBodySum + byte) & 0x7F);
        FLast = byte;
        ++FBodyLength;
        break;
    case TStep::YamahaDevice:
        FStep = (byte & 0xF0) == 0 ? TStep::YamahaModel : TStep::Idle;
        break;
    case TStep::YamahaModel:
        FStep = byte == ExtendedYamahaModel ? TStep::YamahaSecondModel : TStep::YamahaCountMsb;
        break;
    case TStep::YamahaSecondModel:
        FStep = TStep::YamahaCountMsb;
        break;
    case TStep::YamahaCountMsb:
        FCount = uint32_t(byte) << 7;
        FCountBytes = byte;
        FStep = TStep::YamahaCountLsb;
        break;
    case TStep::YamahaCountLsb:
        FCount |= byte;
        FCountBytes = uint8_t((FCountBytes + byte) & 0x7F);
        FBodySum = 0;
        FBodyLength = 0;
        FStep = TStep::YamahaBody;
        break;
    case TStep::YamahaBody:
        FBodySum = uint8_t((FBodySum + byte) & 0x7F);
        FLast = byte;
        ++FBodyLength;
        // Longer than the count and the longest address allow: not a dump this rule knows, and
        // reading on would only keep the editor from settling.
        if (FBodyLength > FCount + LongestYamahaAddress + 1)
            FStep = TStep::Idle;
        break;
    }
    return std::nullopt;
}

uint8_t RolandChecksum(QByteArrayView addressAndData)
{
    uint32_t sum = 0;
    for (const char byte : addressAndData)
        sum += uint8_t(byte);
    return Complement(sum);
}

std::optional<TChecksumVerdict> TChecksumParser::Close() const
{
    TChecksumVerdict verdict;
    verdict.Sum = FLast;
    const uint32_t beforeSum = uint32_t(FBodySum) + 128 - FLast;
    if (FStep == TStep::RolandBody) {
        if (FBodyLength < ShortestRolandBody)
            return std::nullopt;
        verdict.Maker = TChecksumMaker::Roland;
        verdict.Expected = Complement(beforeSum);
        return verdict;
    }
    if (FStep == TStep::YamahaBody) {
        if (FBodyLength < FCount + 1)
            return std::nullopt;
        const uint32_t addressLength = FBodyLength - FCount - 1;
        verdict.Maker = TChecksumMaker::Yamaha;
        if (addressLength == 0) {
            if (FCount == 0)
                return std::nullopt;
            verdict.Expected = Complement(beforeSum);
        } else if (addressLength <= LongestYamahaAddress) {
            verdict.Expected = Complement(beforeSum + FCountBytes);
        } else {
            return std::nullopt;
        }
        return verdict;
    }
    return std::nullopt;
}

QList<TChecksumMessage> FindChecksumMessages(QByteArrayView bytes)
{
    QList<TChecksumMessage> messages;
    TChecksumParser parser;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        if (byte == 0xF0)
            start = i;
        if (const std::optional<TChecksumVerdict> verdict = parser.Feed(byte))
            messages.append({start, i + 1 - start, *verdict});
    }
    return messages;
}

QByteArray FixChecksums(QByteArray bytes)
{
    for (const TChecksumMessage& message : FindChecksumMessages(bytes))
        if (!message.Verdict.Right())
            bytes[message.Offset + message.Length - 2] = char(message.Verdict.Expected);
    return bytes;
}
