#include "RtMidiInput.h"

TRtMidiInput::TRtMidiInput(TInputSink& sink, RtMidi::Api api, std::string clientName, std::function<void()> onClosed)
    : Sink(sink), Api(api), ClientName(std::move(clientName)), OnClosed(std::move(onClosed))
{
}

TRtMidiInput::~TRtMidiInput()
{
    Stop();
    try {
        Midi.reset();  // before the members its callback uses
    } catch (...) {
    }
    if (OnClosed)
        OnClosed();
}

TMidiResult TRtMidiInput::Start()
{
    std::lock_guard guard(Lock);
    Delivering = true;
    return {};
}

void TRtMidiInput::Stop()
{
    std::lock_guard guard(Lock);
    Delivering = false;
}

TMidiResult TRtMidiInput::OpenPort(const std::function<size_t(const std::vector<std::string>&)>& choose,
                                   const std::string& wanted, const std::string& goneText,
                                   const std::string& failureText)
{
    try {
        Midi = std::make_unique<RtMidiIn>(Api, ClientName);
        Midi->ignoreTypes(false, false, false);
        Midi->setCallback(&TRtMidiInput::OnMessage, this);
        std::vector<std::string> names;
        const unsigned count = Midi->getPortCount();
        for (unsigned i = 0; i < count; ++i)
            names.push_back(Midi->getPortName(i));
        const size_t chosen = choose(names);
        if (chosen >= names.size())
            return TMidiResult::Failure(goneText + wanted, TMidiFailure::PortGone);
        Midi->openPort(unsigned(chosen), "in");
        return {};
    } catch (const RtMidiError& error) {
        return TMidiResult::Failure(failureText + error.getMessage());
    } catch (const std::exception& error) {
        return TMidiResult::Failure(failureText + error.what());
    }
}

void TRtMidiInput::OnMessage(double, std::vector<unsigned char>* message, void* arg)
{
    auto* self = static_cast<TRtMidiInput*>(arg);
    if (!message || message->empty())
        return;
    std::lock_guard guard(self->Lock);
    if (!self->Delivering)
        return;
    self->Bytes.assign(message->begin(), message->end());
    self->Sink.Receive(self->Bytes.data(), self->Bytes.size(), DeviceNow());
}
