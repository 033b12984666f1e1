#include "NotifyWindow.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

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
    QCoreApplication::postEvent(this, new TNotification(message, param1, param2));
}

bool TNotifyWindow::event(QEvent* event)
{
    if (event->type() != NotificationType)
        return QObject::event(event);
    const auto* notification = static_cast<TNotification*>(event);
    if (HandleNotification)
        HandleNotification(notification->Message, notification->Param1, notification->Param2);
    return true;
}
