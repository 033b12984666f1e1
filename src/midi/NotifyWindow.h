#pragma once
// The hidden sink on the window thread to which the MIDI callback posts. Posting is safe from
// any thread; the handler always runs on the thread the sink was made on.

#include <QObject>

#include <cstdint>
#include <functional>

constexpr unsigned NotifyEventsWaiting = 963;
constexpr unsigned NotifyOutputDone = 969;
constexpr unsigned NotifyOverflow = 1024;
constexpr unsigned NotifyRoom = 1025;  // the service keeps what the queue refused: ask for it

class TNotifyWindow final : public QObject {
public:
    using THandler = std::function<void(unsigned message, uintptr_t param1, uintptr_t param2)>;
    explicit TNotifyWindow(THandler handler);

    // Any thread: allocates one small event and takes Qt's posted-event lock, which the window
    // thread holds only for moments; never waits for the window thread to handle anything.
    void Post(unsigned message, uintptr_t param1, uintptr_t param2);

protected:
    bool event(QEvent* event) override;

private:
    THandler HandleNotification;
};
