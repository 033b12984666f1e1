#pragma once
// The input port's one way from the device thread to the window thread: a hidden QObject to
// which the port's queue posts a notification, handled on the thread the notifier was made on.

#include <QObject>

#include <functional>

enum class TInputNotification {
    EventsWaiting,  // one entry was queued: the window takes one event
    Room,           // the queue refused an entry; handled behind the entries queued before the
                    // refusal, so the reception then offers what waits into the room they left
    Overflow,       // a message was lost
};

class TInputNotifier final : public QObject {
public:
    using THandler = std::function<void(TInputNotification)>;
    explicit TInputNotifier(THandler handler);

    // Any thread: allocates one small event and takes Qt's posted-event lock, which the window
    // thread holds only for moments; never waits for the window thread to handle anything.
    void Post(TInputNotification notification);

protected:
    bool event(QEvent* event) override;

private:
    THandler Handle;
};
