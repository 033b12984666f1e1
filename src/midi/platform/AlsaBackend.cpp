// ALSA sequencer ports through libasound. Not through RtMidi: its output refuses a system
// exclusive piece without F0 or F7, and its input glues any event that follows an unfinished
// system exclusive piece (a clock byte, a note) onto that message.
#include "DeviceChanges.h"
#include "PortBackend.h"
#include "SequencerEvents.h"
#include "SequencerWait.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string TextSequencer = "ALSA sequencer: ";
const std::string TextPortGone = "ALSA MIDI port is no longer there: ";
const std::string TextInput = "ALSA MIDI input could not be opened: ";
const std::string TextNotTaking = "ALSA MIDI port is not taking data fast enough, its queue is full: ";

// Events we read in one go: larger than the biggest system exclusive event we send, so that
// another program's large events still fit, and room in the kernel for a burst while our
// thread is not running.
constexpr size_t InputBufferBytes = 256 * 1024;
constexpr int InputPoolEvents = 2000;  // the most the sequencer grants one client

TMidiResult SequencerError(int error)
{
    return TMidiResult::Failure(TextSequencer + snd_strerror(error), error == -EBUSY ? TMidiFailure::PortBusy : TMidiFailure::Other);
}

struct TAlsaPort {
    std::string Name;  // "client name:port name", without the numbers that change on replug
    int Client;
    int Port;
};

// Our output client, shared by the backend and the outputs it opened, plus the numbers of the
// clients our inputs run, so that none of our own ports is offered to ourselves.
//
// The same client hears the System client's announcements (clients and ports starting and
// ending, subscriptions made and ended) on a port of its own that nobody else is offered, read
// on a thread of ours, and passes the word on (DeviceChanges).
class TAlsaClient {
public:
    snd_seq_t* const Seq;
    const int Id;
    std::mutex Lock;  // one caller of the sequencer handle at a time

    explicit TAlsaClient(snd_seq_t* seq) : Seq(seq), Id(snd_seq_client_id(seq)) {}

    ~TAlsaClient()
    {
        if (Listener.joinable()) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = write(Wake, &one, sizeof one);
            Listener.join();
        }
        if (Wake >= 0)
            close(Wake);
        snd_seq_close(Seq);
    }

    // Subscribes to the announcements and starts reading them. Without them (an old kernel, no
    // thread) devices are still found when the lists are read; they are just not followed.
    void ListenToAnnouncements()
    {
        const int port = snd_seq_create_simple_port(Seq, "announcements",
                                                    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                    SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0 || snd_seq_connect_from(Seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0)
            return;
        Wake = eventfd(0, EFD_CLOEXEC);
        if (Wake < 0)
            return;
        try {
            Listener = std::thread([this] { Listen(); });
        } catch (const std::exception&) {
        }
    }

    void AddOwnClient(int id)
    {
        std::lock_guard guard(OwnLock);
        OwnClients.insert(id);
    }

    void RemoveOwnClient(int id)
    {
        std::lock_guard guard(OwnLock);
        OwnClients.erase(id);
    }

    // Ports of other clients that have all of these capabilities. The System client's Timer and
    // Announce ports carry no MIDI, so that client is left out.
    std::vector<TAlsaPort> Ports(unsigned capabilities)
    {
        std::set<int> own;
        {
            std::lock_guard guard(OwnLock);
            own = OwnClients;
        }
        std::lock_guard guard(Lock);
        std::vector<TAlsaPort> ports;
        snd_seq_client_info_t* client;
        snd_seq_port_info_t* port;
        snd_seq_client_info_alloca(&client);
        snd_seq_port_info_alloca(&port);
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(Seq, client) >= 0) {
            const int id = snd_seq_client_info_get_client(client);
            if (id == Id || id == SND_SEQ_CLIENT_SYSTEM || own.count(id))
                continue;
            snd_seq_port_info_set_client(port, id);
            snd_seq_port_info_set_port(port, -1);
            while (snd_seq_query_next_port(Seq, port) >= 0) {
                const unsigned caps = snd_seq_port_info_get_capability(port);
                if ((caps & capabilities) != capabilities || (caps & SND_SEQ_PORT_CAP_NO_EXPORT))
                    continue;
                ports.push_back({std::string(snd_seq_client_info_get_name(client)) + ":" +
                                     snd_seq_port_info_get_name(port),
                                 id, snd_seq_port_info_get_port(port)});
            }
        }
        return ports;
    }

    // Whether port client:port is there under this name ("client name:port name"). Window thread.
    bool HasPort(const TAlsaPort& port)
    {
        std::lock_guard guard(Lock);
        snd_seq_client_info_t* client;
        snd_seq_port_info_t* info;
        snd_seq_client_info_alloca(&client);
        snd_seq_port_info_alloca(&info);
        if (snd_seq_get_any_client_info(Seq, port.Client, client) < 0 ||
            snd_seq_get_any_port_info(Seq, port.Client, port.Port, info) < 0)
            return false;
        return port.Name == std::string(snd_seq_client_info_get_name(client)) + ":" + snd_seq_port_info_get_name(info);
    }

    // Whether `sender` still feeds `destination` (the subscription ends with either port).
    bool Subscribed(const snd_seq_addr_t& sender, const snd_seq_addr_t& destination)
    {
        std::lock_guard guard(Lock);
        snd_seq_port_subscribe_t* subscription;
        snd_seq_port_subscribe_alloca(&subscription);
        snd_seq_port_subscribe_set_sender(subscription, &sender);
        snd_seq_port_subscribe_set_dest(subscription, &destination);
        return snd_seq_get_port_subscription(Seq, subscription) == 0;
    }

private:
    std::mutex OwnLock;
    std::set<int> OwnClients;
    int Wake = -1;  // eventfd: tells the listener to end
    std::thread Listener;

    // Listener thread: waits on the sequencer and the wake-up; reads under Lock (the window
    // thread sends on the same handle); says nothing but that something changed.
    void Listen()
    {
        TSequencerWait wait(Seq, Wake);
        while (wait.Next()) {
            bool changed = false;
            {
                std::lock_guard guard(Lock);
                for (;;) {
                    snd_seq_event_t* event = nullptr;
                    const int result = snd_seq_event_input(Seq, &event);
                    if (result == -ENOSPC) {
                        changed = true;  // announcements were lost: look anyway
                        continue;
                    }
                    if (result < 0 || !event)
                        break;
                    changed = true;
                }
            }
            if (changed)
                DeviceChanges().Notify();
        }
    }
};

class TAlsaOutput : public TOutputConnection {
public:
    static std::unique_ptr<TAlsaOutput> Open(std::shared_ptr<TAlsaClient> client, const TAlsaPort& target,
                                             int number, TMidiResult& result)
    {
        std::unique_ptr<TAlsaOutput> output(new TAlsaOutput(std::move(client)));
        result = output->Connect(target, number);
        if (!result.Ok())
            return nullptr;
        return output;
    }

    ~TAlsaOutput() override
    {
        std::lock_guard guard(Client->Lock);
        if (Port >= 0)
            snd_seq_delete_simple_port(Client->Seq, Port);
        if (Encoder)
            snd_midi_event_free(Encoder);
    }

    TMidiResult SendShort(const uint8_t* bytes, size_t length) override
    {
        if (length < 1 || length > 3)
            return TMidiResult::Failure(BadShortMessageText);
        return Send(bytes, length);
    }

    TMidiResult SendBlock(const uint8_t* bytes, size_t length) override { return Send(bytes, length); }

    // Events go to the port's number: a port of that name elsewhere is not reached.
    bool Reaches() override { return Client->HasPort(Target); }

private:
    std::shared_ptr<TAlsaClient> Client;
    TAlsaPort Target{};
    int Port = -1;
    snd_midi_event_t* Encoder = nullptr;  // short messages only: system exclusive we fill ourselves

    explicit TAlsaOutput(std::shared_ptr<TAlsaClient> client) : Client(std::move(client)) {}

    // Events are addressed to the port itself rather than to our subscribers: the sequencer
    // then says when the port is gone, where a subscription would just lose its receiver and
    // every later event with it, without a word.
    TMidiResult Connect(const TAlsaPort& target, int number)
    {
        std::lock_guard guard(Client->Lock);
        Target = target;
        int error = snd_midi_event_new(16, &Encoder);
        if (error < 0)
            return SequencerError(error);
        const std::string name = "out-" + std::to_string(number);
        Port = snd_seq_create_simple_port(Client->Seq, name.c_str(), SND_SEQ_PORT_CAP_READ,
                                          SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (Port < 0)
            return SequencerError(Port);
        snd_seq_port_info_t* info;
        snd_seq_port_info_alloca(&info);
        error = snd_seq_get_any_port_info(Client->Seq, target.Client, target.Port, info);
        if (error < 0)
            return TMidiResult::Failure(TextPortGone + target.Name, TMidiFailure::PortGone);
        // A kernel port (a USB or DIN interface through snd-seq-midi, snd-virmidi) opens its
        // device only while someone is subscribed to it, and drops what it is sent otherwise.
        // A port that takes no subscriptions still takes events sent to it directly, as below.
        snd_seq_connect_to(Client->Seq, Port, target.Client, target.Port);
        return {};
    }

    // Caller holds Client->Lock. Hands libasound's buffer to the sequencer. Whatever fails is
    // thrown away, so that no stale event reaches this or another port with a later send.
    // A receiver whose queue is full refuses the event, and the sequencer then empties that
    // whole queue at its next read: waiting and sending again would hide that loss, so the send
    // fails at once.
    TMidiResult Drain()
    {
        const int left = snd_seq_drain_output(Client->Seq);
        if (left == 0)
            return {};
        snd_seq_drop_output(Client->Seq);
        if (left > 0 || left == -EAGAIN || left == -ENOMEM)
            return TMidiResult::Failure(TextNotTaking + Target.Name);
        if (left == -ENOENT || left == -ENXIO || left == -EINVAL)
            return TMidiResult::Failure(TextPortGone + Target.Name, TMidiFailure::PortGone);
        return SequencerError(left);
    }

    TMidiResult Send(const uint8_t* bytes, size_t length)
    {
        std::vector<TSequencerChunk> chunks;
        try {
            chunks = SplitForSequencer(bytes, length);
        } catch (const std::exception&) {
            return TMidiResult::Failure(NoMemoryText);
        }
        std::lock_guard guard(Client->Lock);
        for (const TSequencerChunk& chunk : chunks) {
            snd_seq_event_t event;
            snd_seq_ev_clear(&event);
            bool raw = chunk.Sysex;
            if (!raw) {
                snd_midi_event_reset_encode(Encoder);
                const long used = snd_midi_event_encode(Encoder, chunk.Bytes.data(),
                                                        static_cast<long>(chunk.Bytes.size()), &event);
                // Undefined status bytes (F4, F5, F9, FD) have no typed event: they go raw.
                if (used < 0 || event.type == SND_SEQ_EVENT_NONE) {
                    snd_seq_ev_clear(&event);
                    raw = true;
                }
            }
            if (raw)
                snd_seq_ev_set_sysex(&event, chunk.Bytes.size(), const_cast<uint8_t*>(chunk.Bytes.data()));
            snd_seq_ev_set_source(&event, Port);
            snd_seq_ev_set_dest(&event, Target.Client, Target.Port);
            snd_seq_ev_set_direct(&event);
            int error = snd_seq_event_output_buffer(Client->Seq, &event);
            if (error == -EAGAIN) {  // our own buffer is full: hand it over first
                if (TMidiResult result = Drain(); !result.Ok())
                    return result;
                error = snd_seq_event_output_buffer(Client->Seq, &event);
            }
            if (error < 0) {
                snd_seq_drop_output(Client->Seq);
                return SequencerError(error);
            }
        }
        return Drain();
    }
};

// One input: a client of its own with one port subscribed to the chosen port, read on a
// thread of ours. Short events are decoded to complete messages; system exclusive events are
// passed on as the pieces they are (the reception joins them).
class TAlsaInput final : public TInputConnection {
public:
    TAlsaInput(std::shared_ptr<TAlsaClient> owner, TInputSink& sink) : Owner(std::move(owner)), Sink(sink) {}

    ~TAlsaInput() override
    {
        Stop();
        if (Reader.joinable()) {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = write(Wake, &one, sizeof one);
            Reader.join();
        }
        if (Wake >= 0)
            close(Wake);
        if (Decoder)
            snd_midi_event_free(Decoder);
        if (Seq) {
            Owner->RemoveOwnClient(snd_seq_client_id(Seq));
            snd_seq_close(Seq);
        }
    }

    TMidiResult Open(const TAlsaPort& target)
    {
        int error = snd_seq_open(&Seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK);
        if (error < 0) {
            Seq = nullptr;
            return TMidiResult::Failure(TextInput + snd_strerror(error));
        }
        Owner->AddOwnClient(snd_seq_client_id(Seq));
        snd_seq_set_client_name(Seq, OwnInputClientName);
        snd_seq_set_client_pool_input(Seq, InputPoolEvents);
        snd_seq_set_input_buffer_size(Seq, InputBufferBytes);
        error = snd_midi_event_new(16, &Decoder);
        if (error < 0)
            return TMidiResult::Failure(TextInput + snd_strerror(error));
        snd_midi_event_no_status(Decoder, 1);  // every message with its status byte
        const int port = snd_seq_create_simple_port(Seq, "in", SND_SEQ_PORT_CAP_WRITE,
                                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0)
            return TMidiResult::Failure(TextInput + snd_strerror(port));
        if (snd_seq_connect_from(Seq, port, target.Client, target.Port) < 0)
            return TMidiResult::Failure(TextPortGone + target.Name, TMidiFailure::PortGone);
        Source = {uint8_t(target.Client), uint8_t(target.Port)};
        Own = {uint8_t(snd_seq_client_id(Seq)), uint8_t(port)};
        Wake = eventfd(0, EFD_CLOEXEC);
        if (Wake < 0)
            return TMidiResult::Failure(TextInput + snd_strerror(-errno));
        Reader = std::thread([this] { Read(); });
        return {};
    }

    TMidiResult Start() override
    {
        std::lock_guard guard(Lock);
        Delivering = true;
        return {};
    }

    void Stop() override
    {
        std::lock_guard guard(Lock);
        Delivering = false;
    }

    // The subscription ends when the port it comes from does.
    bool Reaches() override { return Owner->Subscribed(Source, Own); }

private:
    std::shared_ptr<TAlsaClient> Owner;
    snd_seq_addr_t Source{};
    snd_seq_addr_t Own{};
    TInputSink& Sink;
    snd_seq_t* Seq = nullptr;
    snd_midi_event_t* Decoder = nullptr;  // used on the reader thread only
    int Wake = -1;                        // eventfd: tells the reader to end
    std::thread Reader;
    std::mutex Lock;  // held while the sink runs: Stop waits on it
    bool Delivering = false;

    // Reader thread: waits on the sequencer and the wake-up only; calls nothing of the window.
    void Read()
    {
        TSequencerWait wait(Seq, Wake);
        while (wait.Next()) {
            // What this wake-up reads arrived by now: the nearest the sequencer says without
            // a timestamping queue.
            const TDeviceTime arrived = DeviceNow();
            for (;;) {
                snd_seq_event_t* event = nullptr;
                const int result = snd_seq_event_input(Seq, &event);
                if (result == -EAGAIN || result == -EINTR)
                    break;
                if (result == -ENOSPC) {
                    // Our queue ran full: the sequencer threw away what it held. Say so.
                    std::lock_guard guard(Lock);
                    if (Delivering)
                        Sink.Lost(arrived);
                    continue;
                }
                if (result < 0 || !event)
                    break;
                Deliver(*event, arrived);
            }
        }
    }

    void Deliver(const snd_seq_event_t& event, TDeviceTime arrived)
    {
        const uint8_t* bytes;
        size_t length;
        uint8_t decoded[16];
        if (event.type == SND_SEQ_EVENT_SYSEX) {
            bytes = static_cast<const uint8_t*>(event.data.ext.ptr);
            length = event.data.ext.len;
        } else {
            const long used = snd_midi_event_decode(Decoder, decoded, sizeof decoded, &event);
            if (used <= 0)
                return;  // not a MIDI message (port and client notices)
            bytes = decoded;
            length = size_t(used);
        }
        std::lock_guard guard(Lock);
        if (!Delivering || length == 0)
            return;
        Sink.Receive(bytes, length, arrived);
    }
};

class TAlsaBackend : public TPortBackend {
public:
    explicit TAlsaBackend(std::shared_ptr<TAlsaClient> client) : Client(std::move(client)) {}

    std::string ApiName() const override { return "ALSA"; }

    std::vector<std::string> OutputNames() override
    {
        return NamesOrNone(Outputs, [&] {
            Outputs = Client->Ports(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
            return NamesOf(Outputs);
        });
    }

    std::vector<std::string> InputNames() override
    {
        return NamesOrNone(Inputs, [&] {
            Inputs = Client->Ports(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ);
            return NamesOf(Inputs);
        });
    }

    std::unique_ptr<TOutputConnection> OpenOutput(size_t index, TMidiResult& result) override
    {
        return OpenListed<TOutputConnection>(index, Outputs.size(), result, [&] {
            return TAlsaOutput::Open(Client, Outputs[index], ++OutputPorts, result);
        });
    }

    std::unique_ptr<TInputConnection> OpenInput(size_t index, TInputSink& sink, TMidiResult& result) override
    {
        return OpenListed<TInputConnection>(index, Inputs.size(), result, [&]() -> std::unique_ptr<TInputConnection> {
            auto input = std::make_unique<TAlsaInput>(Client, sink);
            result = input->Open(Inputs[index]);
            if (!result.Ok())
                return nullptr;
            return input;
        });
    }

private:
    std::shared_ptr<TAlsaClient> Client;
    std::vector<TAlsaPort> Outputs;
    std::vector<TAlsaPort> Inputs;
    int OutputPorts = 0;

    static std::vector<std::string> NamesOf(const std::vector<TAlsaPort>& ports)
    {
        std::vector<std::string> names;
        for (const TAlsaPort& port : ports)
            names.push_back(port.Name);
        return names;
    }
};

}  // namespace

std::unique_ptr<TPortBackend> MakeAlsaBackend()
{
    snd_seq_t* seq = nullptr;
    // Non-blocking: a receiver that stops reading makes a send fail, never hang.
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0 || !seq)
        return nullptr;
    snd_seq_set_client_name(seq, OwnClientName);
    std::shared_ptr<TAlsaClient> client;
    try {
        client = std::make_shared<TAlsaClient>(seq);
    } catch (const std::exception&) {
        snd_seq_close(seq);
        return nullptr;
    }
    client->ListenToAnnouncements();
    try {
        return std::make_unique<TAlsaBackend>(std::move(client));
    } catch (const std::exception&) {
        return nullptr;
    }
}
