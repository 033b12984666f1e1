// ALSA sequencer ports. Output goes through libasound directly, because RtMidi refuses a
// system exclusive piece without F0 or F7 there; input goes through RtMidi.
#include "PortBackend.h"
#include "RtMidiInput.h"
#include "SequencerEvents.h"

#include <alsa/asoundlib.h>
#include <rtmidi/RtMidi.h>

#include <chrono>
#include <mutex>
#include <unistd.h>

namespace {

constexpr const char* ClientName = "Kelvane";
constexpr const char* InputClientName = "Kelvane In";  // RtMidi runs one client per input

const std::string TextSequencer = "ALSA sequencer: ";
const std::string TextPortGone = "ALSA MIDI port is no longer there: ";
const std::string TextInput = "ALSA MIDI input could not be opened: ";

TMidiResult TextCode(const std::string& text) noexcept
{
    return RegisterMidiErrorText(text);
}

TMidiResult SequencerError(int error) { return TextCode(TextSequencer + snd_strerror(error)); }

struct TAlsaPort {
    std::string Name;  // "client name:port name", without the numbers that change on replug
    int Client;
    int Port;
};

// Our sequencer client, shared by the backend and the outputs it opened.
class TAlsaClient {
public:
    snd_seq_t* const Seq;
    const int Id;
    std::mutex Lock;  // one caller of the sequencer handle at a time

    explicit TAlsaClient(snd_seq_t* seq) : Seq(seq), Id(snd_seq_client_id(seq)) {}
    ~TAlsaClient() { snd_seq_close(Seq); }

    // Ports of other processes' clients that have all of these capabilities. Our own process's
    // clients (this one and those RtMidi opens for inputs) are left out.
    std::vector<TAlsaPort> Ports(unsigned capabilities)
    {
        std::lock_guard guard(Lock);
        std::vector<TAlsaPort> ports;
        snd_seq_client_info_t* client;
        snd_seq_port_info_t* port;
        snd_seq_client_info_alloca(&client);
        snd_seq_port_info_alloca(&port);
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(Seq, client) >= 0) {
            const int id = snd_seq_client_info_get_client(client);
            if (id == Id || snd_seq_client_info_get_pid(client) == getpid())
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
};

class TAlsaOutput : public TOutputConnection {
public:
    static std::unique_ptr<TAlsaOutput> Open(std::shared_ptr<TAlsaClient> client, const TAlsaPort& target,
                                             int number, TMidiResult& result)
    {
        std::unique_ptr<TAlsaOutput> output(new TAlsaOutput(std::move(client)));
        result = output->Connect(target, number);
        if (result != MMSYSERR_NOERROR)
            return nullptr;
        return output;
    }

    ~TAlsaOutput() override
    {
        std::lock_guard guard(Client->Lock);
        if (Connected)
            snd_seq_disconnect_to(Client->Seq, Port, Target.Client, Target.Port);
        if (Port >= 0)
            snd_seq_delete_simple_port(Client->Seq, Port);
        if (Encoder)
            snd_midi_event_free(Encoder);
    }

    TMidiResult SendShort(const uint8_t* bytes, size_t length) override
    {
        if (length < 1 || length > 3)
            return MMSYSERR_INVALPARAM;
        return Send(bytes, length);
    }

    TMidiResult SendBlock(const uint8_t* bytes, size_t length) override { return Send(bytes, length); }

private:
    std::shared_ptr<TAlsaClient> Client;
    TAlsaPort Target{};
    int Port = -1;
    bool Connected = false;
    snd_midi_event_t* Encoder = nullptr;  // short messages only: system exclusive we fill ourselves

    explicit TAlsaOutput(std::shared_ptr<TAlsaClient> client) : Client(std::move(client)) {}

    TMidiResult Connect(const TAlsaPort& target, int number)
    {
        std::lock_guard guard(Client->Lock);
        Target = target;
        int error = snd_midi_event_new(16, &Encoder);
        if (error < 0)
            return SequencerError(error);
        const std::string name = "out-" + std::to_string(number);
        Port = snd_seq_create_simple_port(Client->Seq, name.c_str(), SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                          SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (Port < 0)
            return SequencerError(Port);
        error = snd_seq_connect_to(Client->Seq, Port, target.Client, target.Port);
        if (error < 0)
            return TextCode(TextPortGone + target.Name);
        Connected = true;
        return MMSYSERR_NOERROR;
    }

    TMidiResult Send(const uint8_t* bytes, size_t length)
    {
        std::vector<TSequencerChunk> chunks;
        try {
            chunks = SplitForSequencer(bytes, length);
        } catch (const std::exception&) {
            return MMSYSERR_NOMEM;
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
            snd_seq_ev_set_subs(&event);
            snd_seq_ev_set_direct(&event);
            const int error = snd_seq_event_output(Client->Seq, &event);
            if (error < 0)
                return SequencerError(error);
        }
        const int error = snd_seq_drain_output(Client->Seq);
        return error < 0 ? SequencerError(error) : MMSYSERR_NOERROR;
    }
};

// RtMidi's ALSA port names end in " client:port"; the numbers change when a device is replugged.
std::string WithoutAddress(const std::string& name)
{
    const size_t space = name.rfind(' ');
    if (space == std::string::npos || name.find(':', space) == std::string::npos)
        return name;
    for (size_t i = space + 1; i < name.size(); ++i)
        if (name[i] != ':' && (name[i] < '0' || name[i] > '9'))
            return name;
    return name.substr(0, space);
}

// The RtMidi port with this name, the one at the same address when several share it.
size_t ChooseInput(const std::vector<std::string>& names, const TAlsaPort& target)
{
    const std::string address = target.Name + " " + std::to_string(target.Client) + ":" + std::to_string(target.Port);
    size_t chosen = names.size();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == address)
            return i;
        if (chosen == names.size() && WithoutAddress(names[i]) == target.Name)
            chosen = i;
    }
    return chosen;
}

class TAlsaBackend : public TPortBackend {
public:
    explicit TAlsaBackend(std::shared_ptr<TAlsaClient> client) : Client(std::move(client)) {}

    std::string ApiName() const override { return "ALSA"; }

    // Out of memory is the one thing that can throw here: it becomes no devices or NOMEM.
    std::vector<std::string> OutputNames() override
    {
        try {
            Outputs = Client->Ports(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
            return NamesOf(Outputs);
        } catch (const std::exception&) {
            Outputs.clear();
            return {};
        }
    }

    std::vector<std::string> InputNames() override
    {
        try {
            Inputs = Client->Ports(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ);
            return NamesOf(Inputs);
        } catch (const std::exception&) {
            Inputs.clear();
            return {};
        }
    }

    std::unique_ptr<TOutputConnection> OpenOutput(size_t index, TMidiResult& result) override
    {
        if (index >= Outputs.size()) {
            result = MMSYSERR_BADDEVICEID;
            return nullptr;
        }
        try {
            return TAlsaOutput::Open(Client, Outputs[index], ++OutputPorts, result);
        } catch (const std::exception&) {
            result = MMSYSERR_NOMEM;
            return nullptr;
        }
    }

    std::unique_ptr<TInputConnection> OpenInput(size_t index, TInputSink& sink, TMidiResult& result) override
    {
        if (index >= Inputs.size()) {
            result = MMSYSERR_BADDEVICEID;
            return nullptr;
        }
        try {
            auto input = std::make_unique<TRtMidiInput>(sink, RtMidi::LINUX_ALSA, InputClientName);
            const TAlsaPort& target = Inputs[index];
            result = input->OpenPort([&](const std::vector<std::string>& names) { return ChooseInput(names, target); },
                                     target.Name, TextPortGone, TextInput);
            if (result != MMSYSERR_NOERROR)
                return nullptr;
            return input;
        } catch (const std::exception&) {
            result = MMSYSERR_NOMEM;
            return nullptr;
        }
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
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0 || !seq)
        return nullptr;
    snd_seq_set_client_name(seq, ClientName);
    std::shared_ptr<TAlsaClient> client;
    try {
        client = std::make_shared<TAlsaClient>(seq);
    } catch (const std::exception&) {
        snd_seq_close(seq);
        return nullptr;
    }
    try {
        return std::make_unique<TAlsaBackend>(std::move(client));
    } catch (const std::exception&) {
        return nullptr;
    }
}
