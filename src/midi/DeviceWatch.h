#pragma once
// Brings word of changed devices (TDeviceChanges) to the window thread: however often the
// backends say so, one call of the handler follows, on the thread the watch was made on.

#include <QObject>

#include <atomic>
#include <functional>

class TDeviceWatch final : public QObject {
public:
    explicit TDeviceWatch(std::function<void()> handler);
    ~TDeviceWatch() override;
    TDeviceWatch(const TDeviceWatch&) = delete;
    TDeviceWatch& operator=(const TDeviceWatch&) = delete;

protected:
    bool event(QEvent* event) override;

private:
    std::function<void()> Handle;
    std::atomic<bool> Posted{false};  // a call is on its way: later words ride along with it
    int ListenerId = 0;
};
