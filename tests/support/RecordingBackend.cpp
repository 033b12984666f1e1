#include "RecordingBackend.h"

#include "platform/DeviceChanges.h"
#include "platform/DeviceList.h"

#include <algorithm>
#include <utility>

TMidiResult Refusal(const std::string& text, TMidiFailure kind)
{
    return TMidiResult::Failure(text, kind);
}

class TRecordingBackend::TOutput final : public TOutputConnection {
public:
    TOutput(std::shared_ptr<TRecordingBackend> recorder, int device, std::string name)
        : Recorder(std::move(recorder)), Device(device), Name(std::move(name)), Incarnation(Recorder->IncarnationOf(Name))
    {
    }
    ~TOutput() override { Recorder->Outcome({"CloseOutput", Device, {}}); }

    TMidiResult SendShort(const uint8_t* bytes, size_t length) override { return Send("SendShort", bytes, length); }
    TMidiResult SendBlock(const uint8_t* bytes, size_t length) override { return Send("SendBlock", bytes, length); }
    bool Reaches() override { return !Recorder->Vanished.count(Name) && Recorder->IncarnationOf(Name) == Incarnation; }

private:
    std::shared_ptr<TRecordingBackend> Recorder;
    const int Device;
    const std::string Name;
    const int Incarnation;

    TMidiResult Send(const char* op, const uint8_t* bytes, size_t length)
    {
        if (!Reaches())
            return Refusal("Test port is no longer there: " + Name, TMidiFailure::PortGone);
        TRecordedCall call{op, -1, std::vector<uint8_t>(bytes, bytes + length), Recorder->Stalled};
        return Recorder->Outcome(std::move(call));
    }
};

class TRecordingBackend::TInput final : public TInputConnection {
public:
    TInput(std::shared_ptr<TRecordingBackend> recorder, int device, std::string name, TInputSink& sink)
        : Recorder(std::move(recorder)), Device(device), Name(std::move(name)), Sink(sink)
    {
        std::lock_guard guard(Recorder->InputLock);
        Incarnation = Recorder->IncarnationOfLocked(Name);
        Recorder->Input = this;
    }

    ~TInput() override
    {
        {
            std::lock_guard guard(Recorder->InputLock);
            Recorder->Input = nullptr;
        }
        Recorder->Outcome({"CloseInput", Device, {}});
    }

    TMidiResult Start() override
    {
        const TMidiResult result = Recorder->Outcome({"Start", Device, {}});
        if (result.Ok()) {
            std::lock_guard guard(Recorder->InputLock);
            Started = true;
        }
        return result;
    }

    void Stop() override  // recorded only when it stops something
    {
        bool wasStarted;
        {
            std::lock_guard guard(Recorder->InputLock);
            wasStarted = std::exchange(Started, false);
        }
        if (wasStarted)
            Recorder->Outcome({"Stop", Device, {}});
    }

    bool Reaches() override
    {
        std::lock_guard guard(Recorder->InputLock);
        return ReachesLocked();
    }

    // Caller holds the recorder's InputLock, so that Stop waits for a delivery under way.
    void Deliver(const std::vector<uint8_t>& bytes, TDeviceTime time)
    {
        if (Started && ReachesLocked())
            Sink.Receive(bytes.data(), bytes.size(), time);
    }

private:
    std::shared_ptr<TRecordingBackend> Recorder;
    const int Device;
    const std::string Name;
    TInputSink& Sink;
    int Incarnation = 0;  // set under the recorder's InputLock

    bool ReachesLocked() const  // caller holds the recorder's InputLock
    {
        return !Recorder->Vanished.count(Name) && Recorder->IncarnationOfLocked(Name) == Incarnation;
    }
    bool Started = false;  // under the recorder's InputLock
};

class TRecordingBackend::TBackend final : public TPortBackend {
public:
    explicit TBackend(std::shared_ptr<TRecordingBackend> recorder) : Recorder(std::move(recorder)) {}

    std::string ApiName() const override { return "Test"; }

    std::vector<std::string> OutputNames() override { return ListedOutputs = Recorder->OutputNames; }
    std::vector<std::string> InputNames() override { return ListedInputs = Recorder->InputNames; }

    std::unique_ptr<TOutputConnection> OpenOutput(size_t index, TMidiResult& result) override
    {
        if (index >= ListedOutputs.size() || Recorder->Vanished.count(ListedOutputs[index])) {
            result = Refusal("Test port is no longer there", TMidiFailure::PortGone);
            return nullptr;
        }
        if (Recorder->FailingOpens.count(int(index))) {
            result = Refusal(ListedOutputs[index] + " is in use by another program", TMidiFailure::PortBusy);
            return nullptr;
        }
        result = Recorder->Outcome({"OpenOutput", int(index), {}});
        if (!result.Ok())
            return nullptr;
        return std::make_unique<TOutput>(Recorder, int(index), ListedOutputs[index]);
    }

    std::unique_ptr<TInputConnection> OpenInput(size_t index, TInputSink& sink, TMidiResult& result) override
    {
        if (index >= ListedInputs.size() || Recorder->Vanished.count(ListedInputs[index])) {
            result = Refusal("Test port is no longer there", TMidiFailure::PortGone);
            return nullptr;
        }
        if (Recorder->InputOpen()) {
            result = Refusal("The test input is open already", TMidiFailure::PortBusy);
            return nullptr;
        }
        result = Recorder->Outcome({"OpenInput", int(index), {}});
        if (!result.Ok())
            return nullptr;
        return std::make_unique<TInput>(Recorder, int(index), ListedInputs[index], sink);
    }

private:
    std::shared_ptr<TRecordingBackend> Recorder;
    std::vector<std::string> ListedOutputs;  // what the last listing found: opens count in it
    std::vector<std::string> ListedInputs;
};

TMidiResult TRecordingBackend::Outcome(TRecordedCall call)
{
    const auto failure = Failures.find(call.Op);
    if (failure != Failures.end())
        return failure->second;
    Calls.push_back(std::move(call));
    return {};
}

std::vector<std::vector<uint8_t>> TRecordingBackend::Sent() const
{
    std::vector<std::vector<uint8_t>> sent;
    for (const TRecordedCall& call : Calls)
        if ((call.Op == "SendShort" || call.Op == "SendBlock") && !call.Held)
            sent.push_back(call.Bytes);
    return sent;
}

size_t TRecordingBackend::CountOf(const std::string& op) const
{
    return size_t(std::count_if(Calls.begin(), Calls.end(), [&](const TRecordedCall& call) { return call.Op == op; }));
}

void TRecordingBackend::Inject(const std::vector<uint8_t>& bytes, TDeviceTime time)
{
    std::lock_guard guard(InputLock);
    if (Input)
        Input->Deliver(bytes, time);
}

bool TRecordingBackend::InputOpen() const
{
    std::lock_guard guard(InputLock);
    return Input != nullptr;
}

void TRecordingBackend::Resume()
{
    Stalled = false;
    for (TRecordedCall& call : Calls)
        call.Held = false;
}

void TRecordingBackend::Vanish(const std::string& name)
{
    {
        std::lock_guard guard(InputLock);  // an injection in progress reads it
        Vanished.insert(name);
    }
    const bool output = std::find(OutputNames.begin(), OutputNames.end(), name) != OutputNames.end();
    const bool input = std::find(InputNames.begin(), InputNames.end(), name) != InputNames.end();
    VanishedFrom[name] = {output || !input, input};
    std::erase(OutputNames, name);
    std::erase(InputNames, name);
    DeviceChanges().Notify();
}

int TRecordingBackend::IncarnationOfLocked(const std::string& name) const
{
    const auto found = Incarnation.find(name);
    return found == Incarnation.end() ? 0 : found->second;
}

int TRecordingBackend::IncarnationOf(const std::string& name) const
{
    std::lock_guard guard(InputLock);
    return IncarnationOfLocked(name);
}

void TRecordingBackend::Return(const std::string& name)
{
    const auto [output, input] = VanishedFrom.count(name) ? VanishedFrom[name] : std::pair{true, false};
    {
        std::lock_guard guard(InputLock);
        Vanished.erase(name);
        ++Incarnation[name];
    }
    if (output)
        OutputNames.push_back(name);
    if (input)
        InputNames.push_back(name);
    DeviceChanges().Notify();
}

std::unique_ptr<TPortBackend> TRecordingBackend::PortBackend()
{
    return std::make_unique<TBackend>(shared_from_this());
}

std::shared_ptr<TRecordingBackend> UseRecordingBackend()
{
    auto recorder = std::make_shared<TRecordingBackend>();
    std::vector<std::unique_ptr<TPortBackend>> backends;
    backends.push_back(recorder->PortBackend());
    SetDeviceList(std::make_unique<TDeviceList>(std::move(backends)));
    return recorder;
}
