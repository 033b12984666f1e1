// The bytes of the windows' messages: status from kind and channel, data as given, the pitch
// bend's ends, and the exact system exclusive and reset sequences.
#include "MidiMessages.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TShortCase {
    const char* Title;
    std::function<TShortMessage()> Build;
    TShortMessage Expected;
};

class ShortMessages : public testing::TestWithParam<TShortCase> {};

TEST_P(ShortMessages, HaveTheirExactBytes)
{
    const TShortMessage m = GetParam().Build();
    const TShortMessage e = GetParam().Expected;
    EXPECT_EQ(m.Status, e.Status);
    EXPECT_EQ(m.Data1, e.Data1);
    EXPECT_EQ(m.Data2, e.Data2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShortMessages,
    testing::Values(
        TShortCase{"NoteOnChannel1", [] { return NoteOn(1, 60, 120); }, {0x90, 0x3C, 0x78}},
        TShortCase{"NoteOnChannel16", [] { return NoteOn(16, 0, 127); }, {0x9F, 0x00, 0x7F}},
        TShortCase{"NoteOffKeepsItsVelocity", [] { return NoteOff(10, 36, 40); }, {0x89, 0x24, 0x28}},
        TShortCase{"NoteOffVelocityZero", [] { return NoteOff(1, 127, 0); }, {0x80, 0x7F, 0x00}},
        TShortCase{"PolyPressure", [] { return PolyPressure(3, 64, 40); }, {0xA2, 0x40, 0x28}},
        TShortCase{"ControlChange", [] { return ControlChangeMessage(2, 7, 100); }, {0xB1, 0x07, 0x64}},
        TShortCase{"ProgramChangeHasNoSecondDataByte", [] { return ProgramChange(1, 127); }, {0xC0, 0x7F, 0x00}},
        TShortCase{"ProgramChangeChannel16", [] { return ProgramChange(16, 0); }, {0xCF, 0x00, 0x00}},
        TShortCase{"ChannelPressure", [] { return ChannelPressure(5, 40); }, {0xD4, 0x28, 0x00}},
        TShortCase{"ChannelPressureRelease", [] { return ChannelPressure(1, 0); }, {0xD0, 0x00, 0x00}},
        TShortCase{"PitchBendCentre", [] { return PitchBend(1, 0); }, {0xE0, 0x00, 0x40}},
        TShortCase{"PitchBendLowest", [] { return PitchBend(1, -8192); }, {0xE0, 0x00, 0x00}},
        TShortCase{"PitchBendOneBelowCentre", [] { return PitchBend(1, -1); }, {0xE0, 0x7F, 0x3F}},
        TShortCase{"PitchBendHighestOf14Bits", [] { return PitchBend(16, 8191); }, {0xEF, 0x7F, 0x7F}},
        TShortCase{"PitchBendRightEndSendsTheHighestToo", [] { return PitchBend(1, 8192); }, {0xE0, 0x7F, 0x7F}}),
    [](const testing::TestParamInfo<TShortCase>& info) { return std::string(info.param.Title); });

TEST(AllNotesOff, SoundOffThenNotesOffOnEveryChannelInOrder)
{
    const std::vector<TShortMessage> messages = AllNotesOff();
    ASSERT_EQ(messages.size(), 32u);
    for (int channel = 0; channel < 16; ++channel) {
        EXPECT_EQ(messages[size_t(2 * channel)], (TShortMessage{uint8_t(0xB0 + channel), 0x78, 0x00})) << channel;
        EXPECT_EQ(messages[size_t(2 * channel + 1)], (TShortMessage{uint8_t(0xB0 + channel), 0x7B, 0x00})) << channel;
    }
}

TEST(SystemExclusive, GmSystemOnIsBroadcast)
{
    EXPECT_EQ(GmSystemOn(), (std::vector<uint8_t>{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
}

struct TGsCase {
    int DeviceNumber;
    uint8_t DeviceId;
};

class GsResetMessage : public testing::TestWithParam<TGsCase> {};

TEST_P(GsResetMessage, CarriesTheDeviceIdAndAChecksumThatDoesNotDependOnIt)
{
    const std::vector<uint8_t> expected{0xF0, 0x41, GetParam().DeviceId, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
    EXPECT_EQ(GsReset(GetParam().DeviceNumber), expected);
}

INSTANTIATE_TEST_SUITE_P(Devices, GsResetMessage,
                         testing::Values(TGsCase{DefaultGsDeviceNumber, 0x10}, TGsCase{1, 0x00}, TGsCase{32, 0x1F}));

} // namespace
