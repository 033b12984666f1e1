// The controller state: the bytes each setter and SendAll put on the wire, and what refused values do.
#include "ControlChange.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class TRecordingHost : public TControlChangeHost {
public:
    bool Open = true;
    uint8_t Channel = 1;
    int FailAtMessage = -1;  // index of the message whose PutShort throws
    QStringList Sent;  // "B0 07 64"
    std::vector<TControlParameter> Rejections;

    bool OutputPortOpen() const override { return Open; }
    uint8_t CurrentChannel() const override { return Channel; }
    void PutShort(uint8_t status, uint8_t data1, uint8_t data2) override
    {
        if (Sent.size() == FailAtMessage)
            throw std::runtime_error("port failed");
        Sent.append(QStringLiteral("%1 %2 %3").arg(status, 2, 16, QLatin1Char('0')).arg(data1, 2, 16, QLatin1Char('0')).arg(data2, 2, 16, QLatin1Char('0')).toUpper());
    }
    void ShowRejection(TControlParameter parameter) override { Rejections.push_back(parameter); }
};

struct TSetterCase {
    const char* Name;
    void (TControlChange::*Set)(int);
    int (*Field)(const TControlChange&);
    int Valid;
    QStringList ValidSends;  // on channel 1
    std::vector<int> Invalid;
    TControlParameter Refused;
};

class ControlChangeSetter : public testing::TestWithParam<TSetterCase> {};

TEST_P(ControlChangeSetter, StoresAndSendsAtOnce)
{
    const TSetterCase& c = GetParam();
    TRecordingHost host;
    TControlChange state(host);
    (state.*c.Set)(c.Valid);
    EXPECT_EQ(host.Sent, c.ValidSends);
    EXPECT_EQ(c.Field(state), c.Valid);
    EXPECT_TRUE(host.Rejections.empty());
}

TEST_P(ControlChangeSetter, RefusesOutOfRangeKeepingTheValue)
{
    const TSetterCase& c = GetParam();
    TRecordingHost host;
    TControlChange state(host);
    (state.*c.Set)(c.Valid);
    for (int value : c.Invalid) {
        host.Sent.clear();
        host.Rejections.clear();
        (state.*c.Set)(value);
        EXPECT_TRUE(host.Sent.isEmpty()) << value;
        EXPECT_EQ(host.Rejections, std::vector<TControlParameter>{c.Refused}) << value;
        EXPECT_EQ(c.Field(state), c.Valid) << value;
    }
}

TEST_P(ControlChangeSetter, ClosedPortStoresWithoutSending)
{
    const TSetterCase& c = GetParam();
    TRecordingHost host;
    host.Open = false;
    TControlChange state(host);
    (state.*c.Set)(c.Valid);
    EXPECT_TRUE(host.Sent.isEmpty());
    EXPECT_EQ(c.Field(state), c.Valid);
}

const TSetterCase SetterCases[] = {
    {"Modulation", &TControlChange::SetModulation, [](const TControlChange& s) { return int(s.Modulation); }, 5,
        {"B0 01 05"}, {128, 255, -1}, TControlParameter::Modulation},
    {"Breath", &TControlChange::SetBreath, [](const TControlChange& s) { return int(s.Breath); }, 6,
        {"B0 02 06"}, {128, -1}, TControlParameter::Breath},
    {"Foot", &TControlChange::SetFoot, [](const TControlChange& s) { return int(s.Foot); }, 7,
        {"B0 04 07"}, {128, -1}, TControlParameter::Foot},
    {"PortamentoTime", &TControlChange::SetPortamentoTime, [](const TControlChange& s) { return int(s.PortamentoTime); }, 8,
        {"B0 05 08"}, {128, -1}, TControlParameter::PortamentoTime},
    {"Volume", &TControlChange::SetVolume, [](const TControlChange& s) { return int(s.Volume); }, 127,
        {"B0 07 7F"}, {128, 256, -1}, TControlParameter::Volume},
    {"Panpot", &TControlChange::SetPanpot, [](const TControlChange& s) { return int(s.Panpot); }, 64,
        {"B0 0A 40"}, {128, -1}, TControlParameter::Panpot},
    {"Expression", &TControlChange::SetExpression, [](const TControlChange& s) { return int(s.Expression); }, 0,
        {"B0 0B 00"}, {128, -1}, TControlParameter::Expression},
    {"Effect1", &TControlChange::SetEffect1, [](const TControlChange& s) { return int(s.Effect1); }, 40,
        {"B0 5B 28"}, {128, -1}, TControlParameter::Effect1},
    {"Effect3", &TControlChange::SetEffect3, [](const TControlChange& s) { return int(s.Effect3); }, 1,
        {"B0 5D 01"}, {128, -1}, TControlParameter::Effect3},
    {"Effect4", &TControlChange::SetEffect4, [](const TControlChange& s) { return int(s.Effect4); }, 2,
        {"B0 5E 02"}, {128, -1}, TControlParameter::Effect4},
    {"PitchBendRange", &TControlChange::SetPitchBendRange, [](const TControlChange& s) { return int(s.PitchBendRange); }, 24,
        {"B0 64 00", "B0 65 00", "B0 06 18"}, {25, 127, 128, -1}, TControlParameter::PitchBendRange},
    {"MasterFineTune", &TControlChange::SetMasterFineTune, [](const TControlChange& s) { return int(s.MasterFineTune); }, -100,
        {"B0 64 01", "B0 65 00", "B0 06 3F", "B0 26 1C"}, {8193, -8193, 100000}, TControlParameter::MasterFineTune},
    {"MasterCoarseTune", &TControlChange::SetMasterCoarseTune, [](const TControlChange& s) { return int(s.MasterCoarseTune); }, -12,
        {"B0 64 02", "B0 65 00", "B0 06 34"}, {-65, 65, 200, -200}, TControlParameter::MasterCoarseTune},
};

INSTANTIATE_TEST_SUITE_P(Table, ControlChangeSetter, testing::ValuesIn(SetterCases),
    [](const testing::TestParamInfo<TSetterCase>& info) { return std::string(info.param.Name); });

struct TSendCase {
    const char* Name;
    uint8_t Channel;
    void (*Act)(TControlChange&);
    QStringList Expected;
};

class ControlChangeSends : public testing::TestWithParam<TSendCase> {};

TEST_P(ControlChangeSends, ExactBytes)
{
    const TSendCase& c = GetParam();
    TRecordingHost host;
    host.Channel = c.Channel;
    TControlChange state(host);
    c.Act(state);
    EXPECT_EQ(host.Sent, c.Expected);
    EXPECT_TRUE(host.Rejections.empty());
}

const TSendCase SendCases[] = {
    {"VolumeOnChannel16", 16, [](TControlChange& s) { s.SetVolume(127); }, {"BF 07 7F"}},
    {"Hold1On", 1, [](TControlChange& s) { s.SetHold1(true); }, {"B0 40 41"}},
    {"Hold1Off", 1, [](TControlChange& s) { s.SetHold1(false); }, {"B0 40 00"}},
    {"PortamentoOn", 1, [](TControlChange& s) { s.SetPortamento(true); }, {"B0 41 41"}},
    {"SostenutoOn", 5, [](TControlChange& s) { s.SetSostenuto(true); }, {"B4 42 41"}},
    {"SoftOn", 10, [](TControlChange& s) { s.SetSoft(true); }, {"B9 43 41"}},
    {"MonoOnChannel3", 3, [](TControlChange& s) { s.SetMono(true); }, {"B2 7E 01"}},
    {"MonoOffChannel3", 3, [](TControlChange& s) { s.SetMono(false); }, {"B2 7F 00"}},
    {"PitchBendRangeZero", 1, [](TControlChange& s) { s.SetPitchBendRange(0); }, {"B0 64 00", "B0 65 00", "B0 06 00"}},
    {"FineTuneCentre", 1, [](TControlChange& s) { s.SetMasterFineTune(0); }, {"B0 64 01", "B0 65 00", "B0 06 40", "B0 26 00"}},
    {"FineTuneBottom", 1, [](TControlChange& s) { s.SetMasterFineTune(-8192); }, {"B0 64 01", "B0 65 00", "B0 06 00", "B0 26 00"}},
    {"FineTune8191", 1, [](TControlChange& s) { s.SetMasterFineTune(8191); }, {"B0 64 01", "B0 65 00", "B0 06 7F", "B0 26 7F"}},
    {"FineTuneTopIsHighestValue", 1, [](TControlChange& s) { s.SetMasterFineTune(8192); }, {"B0 64 01", "B0 65 00", "B0 06 7F", "B0 26 7F"}},
    {"CoarseTuneBottom", 1, [](TControlChange& s) { s.SetMasterCoarseTune(-64); }, {"B0 64 02", "B0 65 00", "B0 06 00"}},
    {"CoarseTuneCentre", 1, [](TControlChange& s) { s.SetMasterCoarseTune(0); }, {"B0 64 02", "B0 65 00", "B0 06 40"}},
    {"CoarseTune63", 1, [](TControlChange& s) { s.SetMasterCoarseTune(63); }, {"B0 64 02", "B0 65 00", "B0 06 7F"}},
    {"CoarseTuneTopIsHighestValue", 1, [](TControlChange& s) { s.SetMasterCoarseTune(64); }, {"B0 64 02", "B0 65 00", "B0 06 7F"}},
};

INSTANTIATE_TEST_SUITE_P(Table, ControlChangeSends, testing::ValuesIn(SendCases),
    [](const testing::TestParamInfo<TSendCase>& info) { return std::string(info.param.Name); });

const QStringList SendAllOfNewInstance = {
    "B0 01 00", "B0 02 00", "B0 04 00", "B0 05 00", "B0 07 00", "B0 0A 00", "B0 0B 00", "B0 5B 00", "B0 5D 00",
    "B0 5E 00", "B0 40 00", "B0 41 00", "B0 42 00", "B0 43 00", "B0 64 00", "B0 65 00", "B0 06 00", "B0 64 01",
    "B0 65 00", "B0 06 40", "B0 26 00", "B0 64 02", "B0 65 00", "B0 06 40", "B0 7F 00"};

TEST(ControlChange, NewInstanceIsAllZeroAndSendAllSendsTheFixedSequence)
{
    TRecordingHost host;
    TControlChange state(host);
    EXPECT_EQ(state.Volume, 0);
    EXPECT_EQ(state.MasterFineTune, 0);
    EXPECT_FALSE(state.Mono);
    EXPECT_TRUE(host.Sent.isEmpty());
    state.SendAll();
    EXPECT_EQ(host.Sent, SendAllOfNewInstance);
}

TEST(ControlChange, SendAllFollowsTheChannelAndTheStoredValues)
{
    TRecordingHost host;
    TControlChange state(host);
    state.SetModulation(1);
    state.SetBreath(2);
    state.SetFoot(3);
    state.SetPortamentoTime(4);
    state.SetVolume(100);
    state.SetPanpot(64);
    state.SetExpression(127);
    state.SetEffect1(40);
    state.SetEffect3(9);
    state.SetEffect4(10);
    state.SetHold1(true);
    state.SetPortamento(true);
    state.SetSostenuto(true);
    state.SetSoft(true);
    state.SetPitchBendRange(12);
    state.SetMasterFineTune(8192);
    state.SetMasterCoarseTune(-64);
    state.SetMono(true);
    host.Sent.clear();
    host.Channel = 2;
    state.SendAll();
    EXPECT_EQ(host.Sent, QStringList({"B1 01 01", "B1 02 02", "B1 04 03", "B1 05 04", "B1 07 64", "B1 0A 40",
                             "B1 0B 7F", "B1 5B 28", "B1 5D 09", "B1 5E 0A", "B1 40 41", "B1 41 41", "B1 42 41",
                             "B1 43 41", "B1 64 00", "B1 65 00", "B1 06 0C", "B1 64 01", "B1 65 00", "B1 06 7F",
                             "B1 26 7F", "B1 64 02", "B1 65 00", "B1 06 00", "B1 7E 01"}));
}

TEST(ControlChange, ValuesStoredWhileClosedAreSentBySendAllLater)
{
    TRecordingHost host;
    host.Open = false;
    TControlChange state(host);
    state.SetVolume(50);
    state.SendAll();
    EXPECT_TRUE(host.Sent.isEmpty());
    host.Open = true;
    state.SendAll();
    QStringList expected = SendAllOfNewInstance;
    expected[4] = "B0 07 32";
    EXPECT_EQ(host.Sent, expected);
}

TEST(ControlChange, PortFailureStopsTheSequenceAfterStoring)
{
    TRecordingHost host;
    host.FailAtMessage = 2;  // the data entry
    TControlChange state(host);
    EXPECT_THROW(state.SetMasterFineTune(-100), std::runtime_error);
    EXPECT_EQ(state.MasterFineTune, -100);
    EXPECT_EQ(host.Sent, QStringList({"B0 64 01", "B0 65 00"}));

    host.Sent.clear();
    host.FailAtMessage = 5;
    EXPECT_THROW(state.SendAll(), std::runtime_error);
    EXPECT_EQ(host.Sent, SendAllOfNewInstance.mid(0, 5));
}

}  // namespace
