#include "AlsaPeer.h"
#include "SequencerQueue.h"
#include "platform/SequencerWait.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

bool TAlsaPeer::SequencerPresent()
{
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0 || !seq)
        return false;
    snd_seq_close(seq);
    return true;
}

TAlsaPeer::TAlsaPeer(const std::string& clientName, bool reading) : Name(clientName)
{
    int error = snd_seq_open(&Seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    if (error < 0) {
        Seq = nullptr;
        LastError = std::string("cannot open the sequencer: ") + snd_strerror(error);
        return;
    }
    snd_seq_set_client_name(Seq, clientName.c_str());
    if (reading) {
        snd_seq_set_client_pool_input(Seq, 2000);
        snd_seq_set_input_buffer_size(Seq, 256 * 1024);
    }
    snd_seq_set_output_buffer_size(Seq, 256 * 1024);
    In = snd_seq_create_simple_port(Seq, "in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    Out = snd_seq_create_simple_port(Seq, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (In < 0 || Out < 0 || snd_midi_event_new(16, &Encoder) < 0 || snd_midi_event_new(16, &Decoder) < 0) {
        LastError = "cannot make the ports of " + clientName;
        snd_seq_close(Seq);
        Seq = nullptr;
        return;
    }
    snd_midi_event_no_status(Decoder, 1);
    Received.reserve(1 << 20);
    if (reading) {
        Wake = eventfd(0, EFD_CLOEXEC);
        Reader = std::thread([this] { Read(); });
    }
}

TAlsaPeer::~TAlsaPeer()
{
    if (Reader.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(Wake, &one, sizeof one);
        Reader.join();
    }
    if (Wake >= 0)
        close(Wake);
    if (Encoder)
        snd_midi_event_free(Encoder);
    if (Decoder)
        snd_midi_event_free(Decoder);
    if (Seq)
        snd_seq_close(Seq);
}

int TAlsaPeer::ClientId() const { return Seq ? snd_seq_client_id(Seq) : -1; }

std::string TAlsaPeer::InputPortName() const { return Name + ":in"; }

std::string TAlsaPeer::OutputPortName() const { return Name + ":out"; }

int TAlsaPeer::Write(snd_seq_event_t& event)
{
    snd_seq_ev_set_source(&event, Out);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    int result = snd_seq_event_output_buffer(Seq, &event);
    if (result < 0)
        return result;
    // A receiver whose queue is full refuses the event (and loses its queue): no second try.
    result = snd_seq_drain_output(Seq);
    if (result == 0)
        return 0;
    snd_seq_drop_output(Seq);
    return result > 0 ? -EAGAIN : result;
}

int TAlsaPeer::Send(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return -EINVAL;
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    const uint8_t first = bytes[0];
    if (first < 0x80 || first == 0xF0 || first == 0xF7) {
        snd_seq_ev_set_sysex(&event, bytes.size(), const_cast<uint8_t*>(bytes.data()));
    } else {
        snd_midi_event_reset_encode(Encoder);
        const long used = snd_midi_event_encode(Encoder, bytes.data(), long(bytes.size()), &event);
        if (used != long(bytes.size()) || event.type == SND_SEQ_EVENT_NONE)
            return -EINVAL;
    }
    return Write(event);
}

int TAlsaPeer::SendStream(const std::vector<uint8_t>& bytes)
{
    snd_midi_event_reset_encode(Encoder);
    for (uint8_t byte : bytes) {
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        const int complete = snd_midi_event_encode_byte(Encoder, byte, &event);
        if (complete < 0)
            return complete;
        if (complete == 0)
            continue;
        if (const int result = Write(event); result < 0)
            return result;
    }
    return 0;
}

std::vector<int> TAlsaPeer::SubscriberClients() const
{
    std::vector<int> clients;
    if (!Seq)
        return clients;
    snd_seq_query_subscribe_t* query;
    snd_seq_query_subscribe_alloca(&query);
    snd_seq_addr_t root{static_cast<unsigned char>(ClientId()), static_cast<unsigned char>(Out)};
    snd_seq_query_subscribe_set_root(query, &root);
    snd_seq_query_subscribe_set_type(query, SND_SEQ_QUERY_SUBS_READ);
    snd_seq_query_subscribe_set_index(query, 0);
    while (snd_seq_query_port_subscribers(Seq, query) >= 0) {
        clients.push_back(snd_seq_query_subscribe_get_addr(query)->client);
        snd_seq_query_subscribe_set_index(query, snd_seq_query_subscribe_get_index(query) + 1);
    }
    return clients;
}

size_t TAlsaPeer::SubscriberCount() const { return SubscriberClients().size(); }

bool TAlsaPeer::WaitUntilTaken(int timeoutMs) const
{
    pollfd descriptor{};
    if (!Seq || snd_seq_poll_descriptors(Seq, &descriptor, 1, POLLIN) != 1)
        return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        bool taken = true;
        for (int client : SubscriberClients())
            taken = taken && SequencerEventsWaiting(descriptor.fd, client) == 0;
        if (taken)
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool TAlsaPeer::WaitForSubscriber(int timeoutMs) const
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (SubscriberCount() == 0) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void TAlsaPeer::Read()
{
    TSequencerWait wait(Seq, Wake);
    while (wait.Next()) {
        std::vector<TAlsaEvent> batch;
        for (;;) {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(Seq, &event);
            if (result == -ENOSPC) {
                batch.push_back({{}, false});  // an empty event marks a loss the test will see
                continue;
            }
            if (result < 0 || !event)
                break;
            if (event->dest.port != In)
                continue;
            if (event->type == SND_SEQ_EVENT_SYSEX) {
                const auto* data = static_cast<const uint8_t*>(event->data.ext.ptr);
                batch.push_back({{data, data + event->data.ext.len}, true});
            } else {
                uint8_t bytes[16];
                const long used = snd_midi_event_decode(Decoder, bytes, sizeof bytes, event);
                if (used > 0)
                    batch.push_back({{bytes, bytes + used}, false});
            }
        }
        if (batch.empty())
            continue;
        std::lock_guard guard(Lock);
        for (auto& event : batch) {
            ReceivedBytes += event.Bytes.size();
            Received.push_back(std::move(event));
        }
        Changed.notify_all();
    }
}

bool TAlsaPeer::WaitForEvents(size_t count, int timeoutMs) const
{
    std::unique_lock guard(Lock);
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return Received.size() >= count; });
}

bool TAlsaPeer::WaitForBytes(size_t count, int timeoutMs) const
{
    std::unique_lock guard(Lock);
    return Changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return ReceivedBytes >= count; });
}

std::vector<TAlsaEvent> TAlsaPeer::Events() const
{
    std::lock_guard guard(Lock);
    return Received;
}

std::vector<std::vector<uint8_t>> TAlsaPeer::Messages() const
{
    std::lock_guard guard(Lock);
    std::vector<std::vector<uint8_t>> messages;
    for (const TAlsaEvent& event : Received)
        messages.push_back(event.Bytes);
    return messages;
}

std::vector<uint8_t> TAlsaPeer::AllBytes() const
{
    std::lock_guard guard(Lock);
    std::vector<uint8_t> bytes;
    for (const TAlsaEvent& event : Received)
        bytes.insert(bytes.end(), event.Bytes.begin(), event.Bytes.end());
    return bytes;
}

void TAlsaPeer::Clear()
{
    std::lock_guard guard(Lock);
    Received.clear();
    ReceivedBytes = 0;
}
