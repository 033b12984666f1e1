#include "AlsaTest.h"

#include "platform/DeviceList.h"

#include <QCoreApplication>
#include <QTest>

void TAlsaTest::SetUp()
{
    if (!TAlsaPeer::SequencerPresent())
        GTEST_SKIP() << "no ALSA sequencer here (/dev/snd/seq); scripts/test-alsa.sh runs these where there is one, "
                         "or in a virtual machine that has one";
    Peer = std::make_unique<TAlsaPeer>();
    ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
}

void TAlsaTest::TearDown()
{
    Fixture.reset();
    SetDeviceList(nullptr);
    Peer.reset();
}

void TAlsaTest::UseAlsaService()
{
    SetDeviceList(std::make_unique<TDeviceList>(TMidiApi::Alsa));
}

bool WaitWhileProcessingEvents(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}
