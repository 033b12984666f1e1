#include "NotifyWindow.h"

#include <QCoreApplication>
#include <QEvent>

// Qt hands a posted event to the window thread under its own lock, which ThreadSanitizer
// cannot see in an uninstrumented Qt: the hand-over is told to it here, and nowhere else.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace {

void HandOver([[maybe_unused]] void* block)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(block);
#endif
}

void TakeOver([[maybe_unused]] void* block)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(block);
#endif
}

const QEvent::Type NotificationType = static_cast<QEvent::Type>(QEvent::registerEventType());

class TNotification final : public QEvent {
public:
    TNotification(unsigned message, uintptr_t param1, uintptr_t param2)
        : QEvent(NotificationType), Message(message), Param1(param1), Param2(param2)
    {
    }
    unsigned Message;
    uintptr_t Param1;
    uintptr_t Param2;
};

} // namespace

TNotifyWindow::TNotifyWindow(THandler handler) : HandleNotification(std::move(handler)) {}

void TNotifyWindow::Post(unsigned message, uintptr_t param1, uintptr_t param2)
{
    auto* notification = new TNotification(message, param1, param2);
    HandOver(notification);
    QCoreApplication::postEvent(this, notification);
}

bool TNotifyWindow::event(QEvent* event)
{
    if (event->type() != NotificationType)
        return QObject::event(event);
    auto* notification = static_cast<TNotification*>(event);
    TakeOver(notification);
    if (HandleNotification)
        HandleNotification(notification->Message, notification->Param1, notification->Param2);
    return true;
}
