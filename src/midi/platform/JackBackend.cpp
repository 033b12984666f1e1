// JACK ports, each a port of our own client moved in its process callback. Output goes through a
// ring buffer of ours, so that a burst or a large block is carried into later cycles instead of
// being dropped; input through another, read on a thread of ours, so that the process callback
// neither waits nor allocates and each event keeps the time of its frame.
#include "DeviceChanges.h"
#include "PortBackend.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <semaphore.h>
#include <thread>
#include <vector>

namespace {

// Per output port: a 64 KiB block many times over, or a burst of 100,000 short messages,
// while the server takes about 32 KiB per cycle.
constexpr size_t OutputRingBytes = 1 << 20;
constexpr size_t RecordHeaderBytes = sizeof(uint32_t);  // each queued block: length, bytes
// Closing an output waits at most this long for queued bytes to go out.
constexpr auto DrainTimeout = std::chrono::milliseconds(500);

const std::string TextServerGone = "JACK server is not running";
const std::string TextRingFull =
    "JACK output buffer is full: the JACK server is not taking MIDI data fast enough";
const std::string TextTooLarge = "MIDI block is larger than the JACK output buffer";
const std::string TextNoPort = "JACK could not create a MIDI port";
const std::string TextConnect = "JACK could not connect to the MIDI port ";
const std::string TextPortGone = "JACK MIDI port is no longer there: ";
const std::string TextInput = "JACK MIDI input could not be opened: ";
// Per input port: a cycle of 256 frames carries at most 32 KiB, and the reader thread empties it
// within a cycle or two, however many messages a second come.
constexpr size_t InputRingBytes = 1 << 20;

// What the process callback needs of one port of ours: its buffer and the ring between it and
// the connection.
struct TJackPortState {
    jack_port_t* Port = nullptr;
    jack_ringbuffer_t* Ring = nullptr;

    virtual ~TJackPortState()
    {
        if (Ring)
            jack_ringbuffer_free(Ring);
    }
    // Runs on the JACK process thread: must not block, allocate or print. `cycleUsecs` and
    // `periodUsecs`: when this cycle's first frame was, and how long the cycle lasts, on
    // the monotonic clock.
    virtual void Cycle(jack_nframes_t frames, jack_time_t cycleUsecs, float periodUsecs) = 0;
};

struct TJackOutputState final : TJackPortState {
    size_t Pending = 0;  // bytes of the current block still in the ring; process thread only
    bool Live = false;   // the connection has reached the graph the cycles run; process thread only

    void Cycle(jack_nframes_t frames, jack_time_t, float) override
    {
        void* buffer = jack_port_get_buffer(Port, frames);
        jack_midi_clear_buffer(buffer);
        // jack_connect returns before the cycles see the connection: bytes sent right after
        // opening would go to nobody. Hold them until then; later disconnections are the user's.
        if (!Live && jack_port_connected(Port) <= 0)
            return;
        Live = true;
        bool wrote = false;
        for (;;) {
            if (Pending == 0) {
                uint32_t length = 0;
                if (jack_ringbuffer_read_space(Ring) < RecordHeaderBytes)
                    break;
                jack_ringbuffer_read(Ring, reinterpret_cast<char*>(&length), RecordHeaderBytes);
                Pending = length;
                continue;
            }
            size_t size = Pending;
            const size_t room = jack_midi_max_event_size(buffer);
            if (size > room) {
                // Whole into the next cycle while it fits an empty buffer; a block larger than
                // that is cut at what one event can carry.
                if (wrote)
                    break;
                size = room;
            }
            jack_midi_data_t* target = size ? jack_midi_event_reserve(buffer, 0, size) : nullptr;
            if (!target)
                break;
            jack_ringbuffer_read(Ring, reinterpret_cast<char*>(target), size);
            Pending -= size;
            wrote = true;
        }
    }
};

// Each event the input port got, as the ring carries it to the input's reader thread: this
// header, then the bytes.
struct TJackInputRecord {
    int64_t Usecs;  // the event's frame, on the monotonic clock
    uint32_t Size;
};

struct TJackInputState final : TJackPortState {
    std::atomic<bool> Delivering{false};  // events before Start or after Stop are not kept
    std::atomic<bool> Overrun{false};     // the ring had no room: events were lost
    sem_t Wake;                           // posted after each cycle that brought something

    TJackInputState() { sem_init(&Wake, 0, 0); }
    ~TJackInputState() override { sem_destroy(&Wake); }

    void Cycle(jack_nframes_t frames, jack_time_t cycleUsecs, float periodUsecs) override
    {
        void* buffer = jack_port_get_buffer(Port, frames);
        if (!Delivering.load(std::memory_order_acquire))
            return;
        const uint32_t count = jack_midi_get_event_count(buffer);
        bool any = false;
        for (uint32_t i = 0; i < count; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0)
                continue;
            const TJackInputRecord record{
                int64_t(cycleUsecs) + int64_t(double(event.time) * periodUsecs / double(frames) + 0.5),
                uint32_t(event.size)};
            if (jack_ringbuffer_write_space(Ring) < sizeof record + event.size) {
                Overrun.store(true, std::memory_order_release);
                any = true;
                continue;
            }
            jack_ringbuffer_write(Ring, reinterpret_cast<const char*>(&record), sizeof record);
            jack_ringbuffer_write(Ring, reinterpret_cast<const char*>(event.buffer), event.size);
            any = true;
        }
        if (any)
            sem_post(&Wake);
    }
};

// Our libjack client, shared by the backend and every connection it opened: each connection is
// a port of this client, moved in its process callback.
class TJackClient {
public:
    jack_client_t* const Handle;
    std::atomic<bool> ShutDown{false};
    std::atomic<uint64_t> Cycles{0};

    static std::shared_ptr<TJackClient> Open()
    {
        jack_status_t status{};
        jack_client_t* handle = jack_client_open(OwnClientName, JackNoStartServer, &status);
        if (!handle)
            return nullptr;
        std::shared_ptr<TJackClient> client;
        try {
            client = std::make_shared<TJackClient>(handle);
        } catch (const std::exception&) {
            jack_client_close(handle);
            return nullptr;
        }
        jack_set_process_callback(handle, &TJackClient::Process, client.get());
        jack_on_shutdown(handle, &TJackClient::OnShutdown, client.get());
        // Clients and ports coming and going, and connections made or broken, all may touch a
        // device in use: the ports look for themselves on the window thread.
        jack_set_client_registration_callback(handle, &TJackClient::OnClient, nullptr);
        jack_set_port_registration_callback(handle, &TJackClient::OnPort, nullptr);
        jack_set_port_connect_callback(handle, &TJackClient::OnConnect, nullptr);
        if (jack_activate(handle) != 0)
            return nullptr;
        return client;
    }

    explicit TJackClient(jack_client_t* handle) : Handle(handle), Ports(new TPortList) {}

    ~TJackClient()
    {
        // After the close no cycle runs any more: whatever waited for one to end can go.
        jack_client_close(Handle);  // also after a shutdown: it frees the client's resources
        delete Ports.load();
        for (TRetired& retired : Retired)
            delete retired.List;
    }

    void AddPort(TJackPortState* port)
    {
        std::lock_guard guard(PortsLock);
        auto next = std::make_unique<TPortList>(*Ports.load());
        next->push_back(port);
        Replace(std::move(next), nullptr);
    }

    // Takes the port's state: it is freed (its port unregistered, its ring freed) once no
    // cycle can still be reading it, which may be only when the client closes.
    void RemovePort(std::unique_ptr<TJackPortState> port)
    {
        std::lock_guard guard(PortsLock);
        auto next = std::make_unique<TPortList>(*Ports.load());
        std::erase(*next, port.get());
        Replace(std::move(next), std::move(port));
    }

    // A port that never joined the cycles.
    void FreeUnused(std::unique_ptr<TJackPortState> port)
    {
        if (port->Port && !ShutDown.load())
            jack_port_unregister(Handle, port->Port);
    }

private:
    using TPortList = std::vector<TJackPortState*>;
    // A list taken out of use, and the state of a port removed with it: both may be read by
    // every cycle that began before the swap, that is, until Finished reaches Began.
    struct TRetired {
        const TPortList* List;
        std::unique_ptr<TJackPortState> Port;
        uint64_t Began;
    };
    // The process callback counts each cycle in Began before it reads the list and in Finished
    // after it is done with it (cycles of one client never overlap). A writer swaps in a new
    // list and notes Began: once Finished has reached that count, no cycle reads the old list.
    // All of these are sequentially consistent: the count must not move past the read.
    std::atomic<const TPortList*> Ports;
    std::atomic<uint64_t> Began{0};
    std::atomic<uint64_t> Finished{0};
    std::mutex PortsLock;
    std::vector<TRetired> Retired;  // under PortsLock

    // Waits a while for the cycles that may read the old list; a cycle that stalls longer (a
    // stopped server) keeps its list and state alive until a later swap or the client's close.
    void Replace(std::unique_ptr<TPortList> next, std::unique_ptr<TJackPortState> removed)
    {
        const TPortList* old = Ports.exchange(next.release());
        Retired.push_back({old, std::move(removed), Began.load()});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (Finished.load() < Retired.back().Began && !ShutDown.load() &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const uint64_t finished = Finished.load();
        std::erase_if(Retired, [&](TRetired& retired) {
            if (finished < retired.Began)
                return false;
            delete retired.List;
            if (retired.Port)
                FreeUnused(std::move(retired.Port));
            return true;
        });
    }

    // Runs on the JACK process thread: must not block, allocate or print.
    static int Process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<TJackClient*>(arg);
        self->Began.fetch_add(1);
        jack_nframes_t cycleFrames = 0;
        jack_time_t cycleUsecs = 0;
        jack_time_t nextUsecs = 0;
        float periodUsecs = 0;
        const jack_time_t jackNow = jack_get_time();
        if (jack_get_cycle_times(self->Handle, &cycleFrames, &cycleUsecs, &nextUsecs, &periodUsecs) != 0) {
            cycleUsecs = jackNow;
            periodUsecs = 0;
        } else if (nextUsecs > cycleUsecs) {
            periodUsecs = float(nextUsecs - cycleUsecs);  // the filtered length of this cycle
        }
        // JACK's clock on Linux is CLOCK_MONOTONIC_RAW, which runs apart from the monotonic
        // clock by what time adjustment has slewed (a steady offset, changing slowly): the
        // cycle's start is moved onto the monotonic clock by the offset measured now.
        cycleUsecs += jack_time_t(DeviceNow().time_since_epoch().count() - int64_t(jackNow));
        for (TJackPortState* port : *self->Ports.load())
            port->Cycle(frames, cycleUsecs, periodUsecs);
        self->Finished.fetch_add(1);
        self->Cycles.fetch_add(1);
        return 0;
    }

    // Runs on a JACK client thread as the server goes away: only sets the flag and says so.
    static void OnShutdown(void* arg)
    {
        static_cast<TJackClient*>(arg)->ShutDown.store(true);
        DeviceChanges().Notify();
    }

    // Run on JACK's notification thread: only pass the word on.
    static void OnClient(const char*, int, void*) { DeviceChanges().Notify(); }
    static void OnPort(jack_port_id_t, int, void*) { DeviceChanges().Notify(); }
    static void OnConnect(jack_port_id_t, jack_port_id_t, int, void*) { DeviceChanges().Notify(); }
};

// Whether a port of ours still has its link to the port `other` it was opened to: that port's
// client is the same one (a client of the same name started since is another: JACK gives each
// client a new id), the port is there, and the link, once the graph showed it, still stands.
// Window thread.
class TJackLink {
public:
    // Right after jack_connect: notes whose port `other` is now.
    void Note(jack_client_t* handle, const std::string& other)
    {
        Other = other;
        ClientId = ClientIdOf(handle, other);
    }

    bool Stands(jack_client_t* handle, const jack_port_t* own)
    {
        if (!jack_port_by_name(handle, Other.c_str()) || ClientIdOf(handle, Other) != ClientId)
            return false;
        // jack_connect returns before the graph the clients read shows the link.
        const bool linked = jack_port_connected_to(own, Other.c_str()) > 0;
        Seen = Seen || linked;
        return linked || !Seen;
    }

private:
    std::string Other;
    std::string ClientId;
    bool Seen = false;

    static std::string ClientIdOf(jack_client_t* handle, const std::string& port)
    {
        const std::string client = port.substr(0, port.find(':'));
        char* uuid = jack_get_uuid_for_client_name(handle, client.c_str());
        if (!uuid)
            return {};
        std::string id = uuid;
        jack_free(uuid);
        return id;
    }
};

class TJackOutput : public TOutputConnection {
public:
    static std::unique_ptr<TJackOutput> Open(std::shared_ptr<TJackClient> client,
                                             const std::string& target, int number,
                                             TMidiResult& result)
    {
        std::unique_ptr<TJackOutput> output(new TJackOutput(std::move(client)));
        result = output->Connect(target, number);
        if (!result.Ok())
            return nullptr;
        return output;
    }

    ~TJackOutput() override
    {
        if (Registered) {
            WaitUntilSent();
            Client->RemovePort(std::move(State));  // frees it once no cycle reads it
            return;
        }
        Client->FreeUnused(std::move(State));
    }

    TMidiResult SendShort(const uint8_t* bytes, size_t length) override
    {
        if (length < 1 || length > 3)
            return TMidiResult::Failure(BadShortMessageText);
        return Queue(bytes, length);
    }

    TMidiResult SendBlock(const uint8_t* bytes, size_t length) override { return Queue(bytes, length); }

    bool Reaches() override { return !Client->ShutDown.load() && Link.Stands(Client->Handle, State->Port); }
    TMidiResult WhyGone() override
    {
        return Client->ShutDown.load() ? TMidiResult::Failure(TextServerGone, TMidiFailure::NoServer) : TMidiResult{};
    }

private:
    std::shared_ptr<TJackClient> Client;
    TJackLink Link;
    // On the heap: the process thread may still read it after this connection is gone.
    std::unique_ptr<TJackOutputState> State = std::make_unique<TJackOutputState>();
    size_t Capacity = 0;
    bool Registered = false;
    std::mutex WriteLock;  // the ring buffer takes one writer at a time

    explicit TJackOutput(std::shared_ptr<TJackClient> client) : Client(std::move(client)) {}

    TMidiResult Connect(const std::string& target, int number)
    {
        jack_client_t* handle = Client->Handle;
        if (!jack_port_by_name(handle, target.c_str()))
            return TMidiResult::Failure(TextPortGone + target, TMidiFailure::PortGone);
        State->Ring = jack_ringbuffer_create(OutputRingBytes);
        if (!State->Ring)
            return TMidiResult::Failure(NoMemoryText);
        Capacity = jack_ringbuffer_write_space(State->Ring);
        const std::string name = "out-" + std::to_string(number);
        State->Port = jack_port_register(handle, name.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        if (!State->Port)
            return TMidiResult::Failure(TextNoPort);
        // In the list before it is connected, so that its buffer is cleared from the first
        // cycle anyone reads it.
        Client->AddPort(State.get());
        Registered = true;
        const int error = jack_connect(handle, jack_port_name(State->Port), target.c_str());
        if (error != 0 && error != EEXIST)
            return TMidiResult::Failure(TextConnect + target);
        Link.Note(handle, target);
        return {};
    }

    TMidiResult Queue(const uint8_t* bytes, size_t length)
    {
        if (Client->ShutDown.load())
            return TMidiResult::Failure(TextServerGone, TMidiFailure::NoServer);
        if (length == 0)
            return {};
        const size_t need = RecordHeaderBytes + length;
        if (need > Capacity)
            return TMidiResult::Failure(TextTooLarge);
        std::lock_guard guard(WriteLock);
        if (jack_ringbuffer_write_space(State->Ring) < need)
            return TMidiResult::Failure(TextRingFull);
        // Header and bytes become visible to the process thread in one step.
        jack_ringbuffer_data_t parts[2];
        jack_ringbuffer_get_write_vector(State->Ring, parts);
        const uint32_t header = static_cast<uint32_t>(length);
        TRingWriter writer{parts};
        writer.Put(reinterpret_cast<const uint8_t*>(&header), RecordHeaderBytes);
        writer.Put(bytes, length);
        jack_ringbuffer_write_advance(State->Ring, need);
        return {};
    }

    // Fills the (up to) two free regions of the ring in order.
    struct TRingWriter {
        jack_ringbuffer_data_t* Parts;
        size_t Part = 0;
        size_t Offset = 0;

        void Put(const uint8_t* bytes, size_t length)
        {
            while (length > 0 && Part < 2) {
                const size_t n = std::min(length, Parts[Part].len - Offset);
                std::memcpy(Parts[Part].buf + Offset, bytes, n);
                bytes += n;
                length -= n;
                Offset += n;
                if (Offset == Parts[Part].len) {
                    ++Part;
                    Offset = 0;
                }
            }
        }
    };

    // The last notes-off must reach the device before the port goes: wait until the ring is
    // empty and two more cycles have passed (the one that wrote the bytes and its readers).
    void WaitUntilSent()
    {
        const auto deadline = std::chrono::steady_clock::now() + DrainTimeout;
        auto expired = [&] { return Client->ShutDown.load() || std::chrono::steady_clock::now() >= deadline; };
        while (jack_ringbuffer_read_space(State->Ring) != 0) {
            if (expired())
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const uint64_t seen = Client->Cycles.load();
        while (Client->Cycles.load() < seen + 2 && !expired())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

// One input: a port of our client connected from the chosen port. The process callback copies
// each event with its time into a ring; a thread of ours hands them to the sink.
class TJackInput final : public TInputConnection {
public:
    TJackInput(std::shared_ptr<TJackClient> client, TInputSink& sink) : Client(std::move(client)), Sink(sink) {}

    ~TJackInput() override
    {
        Stop();
        if (Reader.joinable()) {
            Quit.store(true);
            sem_post(&State->Wake);
            Reader.join();
        }
        if (Registered)
            Client->RemovePort(std::move(State));  // frees it once no cycle reads it
        else
            Client->FreeUnused(std::move(State));
    }

    TMidiResult Open(const std::string& source, int number)
    {
        jack_client_t* handle = Client->Handle;
        if (!jack_port_by_name(handle, source.c_str()))
            return TMidiResult::Failure(TextPortGone + source, TMidiFailure::PortGone);
        State->Ring = jack_ringbuffer_create(InputRingBytes);
        if (!State->Ring)
            return TMidiResult::Failure(NoMemoryText);
        const std::string name = "in-" + std::to_string(number);
        State->Port = jack_port_register(handle, name.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        if (!State->Port)
            return TMidiResult::Failure(TextNoPort);
        try {
            Reader = std::thread([this] { Read(); });
        } catch (const std::exception& error) {
            return TMidiResult::Failure(TextInput + error.what());
        }
        Client->AddPort(State.get());
        Registered = true;
        const int error = jack_connect(handle, source.c_str(), jack_port_name(State->Port));
        if (error != 0 && error != EEXIST)
            return TMidiResult::Failure(TextConnect + source);
        Link.Note(handle, source);
        return {};
    }

    TMidiResult Start() override
    {
        std::lock_guard guard(Lock);
        Delivering = true;
        State->Delivering.store(true, std::memory_order_release);
        return {};
    }

    void Stop() override
    {
        std::lock_guard guard(Lock);
        Delivering = false;
        State->Delivering.store(false, std::memory_order_release);
    }

    bool Reaches() override { return !Client->ShutDown.load() && Link.Stands(Client->Handle, State->Port); }

private:
    std::shared_ptr<TJackClient> Client;
    TJackLink Link;
    TInputSink& Sink;
    // On the heap: the process thread may still read it after this connection is gone.
    std::unique_ptr<TJackInputState> State = std::make_unique<TJackInputState>();
    bool Registered = false;
    std::thread Reader;
    std::atomic<bool> Quit{false};
    std::mutex Lock;  // held while the sink runs: Stop waits on it
    bool Delivering = false;
    std::vector<uint8_t> Bytes;  // reader thread only; grows to the longest event seen

    // Reader thread: waits for the process callback's word only; calls nothing of the window.
    void Read()
    {
        for (;;) {
            while (sem_wait(&State->Wake) != 0 && errno == EINTR) {
            }
            if (Quit.load())
                return;
            TJackInputRecord record;
            while (jack_ringbuffer_read_space(State->Ring) >= sizeof record) {
                jack_ringbuffer_peek(State->Ring, reinterpret_cast<char*>(&record), sizeof record);
                if (jack_ringbuffer_read_space(State->Ring) < sizeof record + record.Size)
                    break;  // written in two steps: the rest comes with the next word
                jack_ringbuffer_read_advance(State->Ring, sizeof record);
                try {
                    Bytes.resize(record.Size);
                } catch (const std::exception&) {
                    jack_ringbuffer_read_advance(State->Ring, record.Size);
                    Lose(DeviceNow());
                    continue;
                }
                jack_ringbuffer_read(State->Ring, reinterpret_cast<char*>(Bytes.data()), record.Size);
                const TDeviceTime time{std::chrono::microseconds(record.Usecs)};
                std::lock_guard guard(Lock);
                if (Delivering)
                    Sink.Receive(Bytes.data(), Bytes.size(), time);
            }
            if (State->Overrun.exchange(false, std::memory_order_acq_rel))
                Lose(DeviceNow());
        }
    }

    void Lose(TDeviceTime time)
    {
        std::lock_guard guard(Lock);
        if (Delivering)
            Sink.Lost(time);
    }
};

class TJackBackend : public TPortBackend {
public:
    explicit TJackBackend(std::shared_ptr<TJackClient> client) : Client(std::move(client)) {}

    std::string ApiName() const override { return "JACK"; }

    std::vector<std::string> OutputNames() override
    {
        return NamesOrNone(Outputs, [&] { return Outputs = PortNames(JackPortIsInput); });
    }

    std::vector<std::string> InputNames() override
    {
        return NamesOrNone(Inputs, [&] { return Inputs = PortNames(JackPortIsOutput); });
    }

    std::unique_ptr<TOutputConnection> OpenOutput(size_t index, TMidiResult& result) override
    {
        if (Client->ShutDown.load()) {
            result = TMidiResult::Failure(TextServerGone, TMidiFailure::NoServer);
            return nullptr;
        }
        return OpenListed<TOutputConnection>(index, Outputs.size(), result, [&] {
            return TJackOutput::Open(Client, Outputs[index], ++OutputPorts, result);
        });
    }

    std::unique_ptr<TInputConnection> OpenInput(size_t index, TInputSink& sink, TMidiResult& result) override
    {
        if (Client->ShutDown.load()) {
            result = TMidiResult::Failure(TextServerGone, TMidiFailure::NoServer);
            return nullptr;
        }
        return OpenListed<TInputConnection>(index, Inputs.size(), result, [&]() -> std::unique_ptr<TInputConnection> {
            auto input = std::make_unique<TJackInput>(Client, sink);
            result = input->Open(Inputs[index], ++InputPorts);
            if (!result.Ok())
                return nullptr;
            return input;
        });
    }

private:
    std::shared_ptr<TJackClient> Client;
    std::vector<std::string> Outputs;
    std::vector<std::string> Inputs;
    int OutputPorts = 0;
    int InputPorts = 0;

    // Full names ("client:port") of other clients' MIDI ports with these flags.
    std::vector<std::string> PortNames(unsigned long flags)
    {
        std::vector<std::string> names;
        if (Client->ShutDown.load())
            return names;
        const char** ports = jack_get_ports(Client->Handle, nullptr, JACK_DEFAULT_MIDI_TYPE, flags);
        for (const char** name = ports; name && *name; ++name) {
            const jack_port_t* port = jack_port_by_name(Client->Handle, *name);
            if (port && jack_port_is_mine(Client->Handle, port))
                continue;
            names.push_back(*name);
        }
        if (ports)
            jack_free(ports);
        return names;
    }
};

}  // namespace

std::unique_ptr<TPortBackend> MakeJackBackend()
{
    try {
        std::shared_ptr<TJackClient> client = TJackClient::Open();
        if (!client)
            return nullptr;
        return std::make_unique<TJackBackend>(std::move(client));
    } catch (const std::exception&) {
        return nullptr;
    }
}
