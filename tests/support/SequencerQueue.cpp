// libasound asks the sequencer about the caller's own client's queue only; the kernel answers
// for any client, so this asks the kernel directly. A file of its own: the kernel's header
// and libasound's define structures of the same names.
#include "SequencerQueue.h"

#include <cerrno>
#include <sound/asequencer.h>
#include <sys/ioctl.h>

int SequencerEventsWaiting(int sequencerFd, int client)
{
    snd_seq_client_pool pool{};
    pool.client = client;
    if (ioctl(sequencerFd, SNDRV_SEQ_IOCTL_GET_CLIENT_POOL, &pool) < 0)
        return -errno;
    return pool.input_pool - pool.input_free;
}
