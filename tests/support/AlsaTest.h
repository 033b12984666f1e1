#pragma once
// Tests against the real ALSA sequencer (make test-alsa runs them, in a virtual machine where
// this one has none) with a peer client of the test's own. Skipped where /dev/snd/seq is
// missing; a failure where KELVANE_REQUIRE_ALL_TESTS is set, as scripts/test-alsa.sh sets it.

#include "AlsaPeer.h"
#include "KelvaneFixture.h"

#include <gtest/gtest.h>

#include <memory>

class TAlsaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;  // the window first, then the service and the peer

    // Kelvane's MIDI service over the sequencer, as the program would make it.
    void UseAlsaService();

    std::unique_ptr<TAlsaPeer> Peer;
    std::unique_ptr<TKelvaneFixture> Fixture;  // a window, when the test makes one
};

// Waits for the window thread's work (posted notifications) as well as for the condition.
bool WaitWhileProcessingEvents(const std::function<bool()>& done, int timeoutMs);
