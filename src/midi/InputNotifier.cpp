#include "InputNotifier.h"

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
    explicit TNotification(TInputNotification notification) : QEvent(NotificationType), Notification(notification) {}
    TInputNotification Notification;
};

} // namespace

TInputNotifier::TInputNotifier(THandler handler) : Handle(std::move(handler)) {}

void TInputNotifier::Post(TInputNotification notification)
{
    auto* posted = new TNotification(notification);
    HandOver(posted);
    QCoreApplication::postEvent(this, posted);
}

bool TInputNotifier::event(QEvent* event)
{
    // Taken over before anything of it is read, its type included; for an event of Qt's own
    // this tells nothing.
    TakeOver(event);
    if (event->type() != NotificationType)
        return QObject::event(event);
    auto* notification = static_cast<TNotification*>(event);
    if (Handle)
        Handle(notification->Notification);
    return true;
}
