#pragma once
// A thread of ours that reads a sequencer handle waits here: for the sequencer to have events
// to read, or for the eventfd that tells the thread to end.

#include <alsa/asoundlib.h>

#include <cerrno>
#include <poll.h>
#include <vector>

class TSequencerWait {
public:
    TSequencerWait(snd_seq_t* seq, int wake)
    {
        const int count = snd_seq_poll_descriptors_count(seq, POLLIN);
        Fds.resize(size_t(count) + 1);
        snd_seq_poll_descriptors(seq, Fds.data(), unsigned(count), POLLIN);
        Fds.back() = {wake, POLLIN, 0};
    }

    // True when the sequencer may have events to read; false once woken to end, or when
    // waiting itself failed.
    bool Next()
    {
        if (poll(Fds.data(), Fds.size(), -1) < 0 && errno != EINTR)
            return false;
        return !Fds.back().revents;
    }

private:
    std::vector<pollfd> Fds;
};
