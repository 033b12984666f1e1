#include "JackTest.h"

#include "platform/DeviceList.h"

void TJackTest::SetUp()
{
    if (!TJackServer::Available())
        GTEST_SKIP() << "jackd is not on the PATH (package jackd2; scripts/install-deps.sh installs it)";
    ASSERT_TRUE(Server.Start()) << Server.Error();
    Peer = std::make_unique<TJackPeer>();
    ASSERT_TRUE(Peer->IsOpen()) << Peer->Error();
}

void TJackTest::TearDown()
{
    Fixture.reset();
    SetDeviceList(nullptr);
    Peer.reset();
    Server.Stop();
}

void TJackTest::UseJackService()
{
    SetDeviceList(std::make_unique<TDeviceList>(TMidiApi::Jack));
}
