#include "DeviceWatch.h"

#include "platform/DeviceChanges.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

const QEvent::Type ChangedType = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

TDeviceWatch::TDeviceWatch(std::function<void()> handler) : Handle(std::move(handler))
{
    // Runs on a backend's thread: posts at most one event until the window thread takes it.
    ListenerId = DeviceChanges().Listen([this] {
        if (!Posted.exchange(true, std::memory_order_acq_rel))
            QCoreApplication::postEvent(this, new QEvent(ChangedType));
    });
}

TDeviceWatch::~TDeviceWatch()
{
    DeviceChanges().Forget(ListenerId);  // after this no listener call can post to us
}

bool TDeviceWatch::event(QEvent* event)
{
    if (event->type() != ChangedType)
        return QObject::event(event);
    // Cleared first: a change while the handler looks is brought again.
    Posted.store(false, std::memory_order_release);
    if (Handle)
        Handle();
    return true;
}
