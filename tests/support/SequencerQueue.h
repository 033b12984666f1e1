#pragma once
// The ALSA sequencer's input queue of any client, as the kernel reports it.

// How many events (cells) wait in `client`'s input queue, not yet read by it, asked through
// any open sequencer file descriptor; -errno when the kernel cannot say.
int SequencerEventsWaiting(int sequencerFd, int client);
