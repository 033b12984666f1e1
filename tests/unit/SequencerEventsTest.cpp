// The split of a raw output block into ALSA sequencer events, checked byte by byte.
#include "platform/SequencerEvents.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using TBytes = std::vector<uint8_t>;

TSequencerChunk Short(TBytes bytes) { return {false, std::move(bytes)}; }
TSequencerChunk Raw(TBytes bytes) { return {true, std::move(bytes)}; }

struct TSplitCase {
    const char* Name;
    TBytes Block;
    std::vector<TSequencerChunk> Expected;
};

std::ostream& operator<<(std::ostream& out, const TSplitCase& c) { return out << c.Name; }

}  // namespace

void PrintTo(const TSequencerChunk& chunk, std::ostream* out)
{
    *out << (chunk.Sysex ? "sysex[" : "short[");
    for (size_t i = 0; i < chunk.Bytes.size(); ++i) {
        static const char* digits = "0123456789ABCDEF";
        *out << (i ? " " : "") << digits[chunk.Bytes[i] >> 4] << digits[chunk.Bytes[i] & 15];
    }
    *out << "]";
}

class SequencerSplit : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(SequencerSplit, GivesExactlyTheseEvents)
{
    const TSplitCase& c = GetParam();
    EXPECT_EQ(SplitForSequencer(c.Block.data(), c.Block.size()), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SequencerSplit,
    ::testing::Values(
        TSplitCase{"Empty", {}, {}},
        TSplitCase{"NoteOn", {0x90, 0x3C, 0x64}, {Short({0x90, 0x3C, 0x64})}},
        TSplitCase{"RunningStatusWithinBlock",
                   {0x90, 0x3C, 0x64, 0x3E, 0x64, 0x40, 0x00},
                   {Short({0x90, 0x3C, 0x64}), Short({0x90, 0x3E, 0x64}), Short({0x90, 0x40, 0x00})}},
        TSplitCase{"TwoByteRunningStatus", {0xC0, 0x05, 0x06}, {Short({0xC0, 0x05}), Short({0xC0, 0x06})}},
        TSplitCase{"SeveralMessages",
                   {0xB0, 0x79, 0x00, 0xC1, 0x10, 0xE2, 0x00, 0x40, 0xD3, 0x7F},
                   {Short({0xB0, 0x79, 0x00}), Short({0xC1, 0x10}), Short({0xE2, 0x00, 0x40}),
                    Short({0xD3, 0x7F})}},
        TSplitCase{"WholeSysex", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, {Raw({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7})}},
        TSplitCase{"SysexThenNote",
                   {0xF0, 0x41, 0xF7, 0x90, 0x3C, 0x64},
                   {Raw({0xF0, 0x41, 0xF7}), Short({0x90, 0x3C, 0x64})}},
        TSplitCase{"NoteThenSysex",
                   {0x80, 0x3C, 0x00, 0xF0, 0x43, 0x10, 0xF7},
                   {Short({0x80, 0x3C, 0x00}), Raw({0xF0, 0x43, 0x10, 0xF7})}},
        TSplitCase{"FirstPieceWithoutF7", {0xF0, 0x41, 0x10}, {Raw({0xF0, 0x41, 0x10})}},
        TSplitCase{"MiddlePieceWithoutF0OrF7", {0x42, 0x12, 0x40}, {Raw({0x42, 0x12, 0x40})}},
        TSplitCase{"LastPieceWithoutF0", {0x00, 0x7F, 0xF7}, {Raw({0x00, 0x7F, 0xF7})}},
        TSplitCase{"LastPieceOnlyF7", {0xF7}, {Raw({0xF7})}},
        TSplitCase{"LastPieceThenNote",
                   {0x41, 0xF7, 0x90, 0x3C, 0x64},
                   {Raw({0x41, 0xF7}), Short({0x90, 0x3C, 0x64})}},
        TSplitCase{"TwoSysexInOneBlock",
                   {0xF0, 0x01, 0xF7, 0xF0, 0x02, 0xF7},
                   {Raw({0xF0, 0x01, 0xF7}), Raw({0xF0, 0x02, 0xF7})}},
        TSplitCase{"RealTimeInsideSysex",
                   {0xF0, 0x01, 0xF8, 0x02, 0xF7},
                   {Raw({0xF0, 0x01}), Short({0xF8}), Raw({0x02, 0xF7})}},
        TSplitCase{"RealTimeInsideContinuation",
                   {0x01, 0xFE, 0x02, 0xF7},
                   {Raw({0x01}), Short({0xFE}), Raw({0x02, 0xF7})}},
        TSplitCase{"RealTimeInsideShortMessage",
                   {0x90, 0xF8, 0x3C, 0xFA, 0x64},
                   {Short({0xF8}), Short({0xFA}), Short({0x90, 0x3C, 0x64})}},
        TSplitCase{"RealTimeAlone", {0xF8, 0xFA, 0xFB, 0xFC, 0xFE, 0xFF},
                   {Short({0xF8}), Short({0xFA}), Short({0xFB}), Short({0xFC}), Short({0xFE}), Short({0xFF})}},
        TSplitCase{"RealTimeKeepsRunningStatus",
                   {0x90, 0x3C, 0x64, 0xF8, 0x3E, 0x64},
                   {Short({0x90, 0x3C, 0x64}), Short({0xF8}), Short({0x90, 0x3E, 0x64})}},
        TSplitCase{"StatusEndsUnterminatedSysex",
                   {0xF0, 0x01, 0x02, 0x90, 0x3C, 0x64},
                   {Raw({0xF0, 0x01, 0x02}), Short({0x90, 0x3C, 0x64})}},
        TSplitCase{"StatusCutsShortMessage",
                   {0x90, 0x3C, 0x80, 0x3C, 0x00},
                   {Raw({0x90, 0x3C}), Short({0x80, 0x3C, 0x00})}},
        TSplitCase{"IncompleteAtEnd", {0xB0, 0x07}, {Raw({0xB0, 0x07})}},
        TSplitCase{"StatusOnlyAtEnd", {0x90}, {Raw({0x90})}},
        TSplitCase{"IncompleteRunningStatusKeepsBlockBytes",
                   {0x90, 0x3C, 0x64, 0x3E},
                   {Short({0x90, 0x3C, 0x64}), Raw({0x3E})}},
        TSplitCase{"SystemCommon",
                   {0xF1, 0x20, 0xF2, 0x01, 0x02, 0xF3, 0x05, 0xF6},
                   {Short({0xF1, 0x20}), Short({0xF2, 0x01, 0x02}), Short({0xF3, 0x05}), Short({0xF6})}},
        TSplitCase{"SystemCommonClearsRunningStatus",
                   {0x90, 0x3C, 0x64, 0xF1, 0x20, 0x21, 0x22},
                   {Short({0x90, 0x3C, 0x64}), Short({0xF1, 0x20}), Raw({0x21, 0x22})}},
        TSplitCase{"DataAfterSysexHasNoStatus",
                   {0xF0, 0x01, 0xF7, 0x02, 0x03},
                   {Raw({0xF0, 0x01, 0xF7}), Raw({0x02, 0x03})}},
        TSplitCase{"F7OutsideSysex",
                   {0x90, 0x3C, 0x64, 0xF7, 0x3E},
                   {Short({0x90, 0x3C, 0x64}), Raw({0xF7}), Raw({0x3E})}}),
    [](const ::testing::TestParamInfo<TSplitCase>& info) { return std::string(info.param.Name); });

// Long runs are cut into the largest sequencer events we send, in order, bytes unchanged.
struct TLongCase {
    const char* Name;
    bool StartWithF0;
    size_t Length;
    std::vector<size_t> ChunkSizes;
};

std::ostream& operator<<(std::ostream& out, const TLongCase& c) { return out << c.Name; }

class SequencerSplitLong : public ::testing::TestWithParam<TLongCase> {};

TEST_P(SequencerSplitLong, CutsAtTheMaximumEventSize)
{
    const TLongCase& c = GetParam();
    TBytes block(c.Length);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7 % 128);
    if (c.StartWithF0)
        block.front() = 0xF0;
    block.back() = 0xF7;

    std::vector<TSequencerChunk> chunks = SplitForSequencer(block.data(), block.size());

    std::vector<size_t> sizes;
    TBytes joined;
    for (const TSequencerChunk& chunk : chunks) {
        EXPECT_TRUE(chunk.Sysex);
        sizes.push_back(chunk.Bytes.size());
        joined.insert(joined.end(), chunk.Bytes.begin(), chunk.Bytes.end());
    }
    EXPECT_EQ(sizes, c.ChunkSizes);
    EXPECT_EQ(joined, block);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SequencerSplitLong,
    ::testing::Values(TLongCase{"ExactlyOneEvent", true, 4096, {4096}},
                      TLongCase{"OneByteMore", true, 4097, {4096, 1}},
                      TLongCase{"WholeMessage", true, 9002, {4096, 4096, 810}},
                      TLongCase{"Continuation", false, 5000, {4096, 904}}),
    [](const ::testing::TestParamInfo<TLongCase>& info) { return std::string(info.param.Name); });
