#pragma once
// Tests against the real thing: a JACK server of the test's own in dummy mode and a peer
// client on it. Skipped where jackd is not on the PATH (a failure where KELVANE_REQUIRE_ALL_TESTS
// is set: TestMain.cpp).

#include "JackPeer.h"
#include "JackServer.h"
#include "KelvaneFixture.h"

#include <gtest/gtest.h>

#include <memory>

class TJackTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;  // the window first, then the service, the peer and the server

    // Kelvane's MIDI service over this server, as the program would make it.
    void UseJackService();

    TJackServer Server;
    std::unique_ptr<TJackPeer> Peer;
    std::unique_ptr<TKelvaneFixture> Fixture;  // a window, when the test makes one
};
