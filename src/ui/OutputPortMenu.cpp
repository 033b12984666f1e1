#include "OutputPortMenu.h"

#include "Dialogs.h"
#include "MidiOutput.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QWidget>

namespace {

// Each output-port item knows its device number; a port in use that has gone has none.
const char* const DeviceProperty = "device";
constexpr int VanishedDevice = -2;

// Restores the normal cursor however the handler ends.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString EscapeMnemonic(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

TOutputPortMenu::TOutputPortMenu(QMenu& menu, TMidiOutput& output, QWidget& window)
    : QObject(&window), Menu(menu), Output(output), Window(window)
{
}

std::optional<QString> TOutputPortMenu::PortInUse() const
{
    for (QAction* item : Items)
        if (item->isChecked())
            return item->data().toString();
    return std::nullopt;
}

void TOutputPortMenu::Build(const QString& savedName)
{
    Fill(QString());
    for (QAction* item : std::as_const(Items)) {
        if (item->data().toString() != savedName)
            continue;
        RunReported([&] {
            Output.SetDeviceID(item->property(DeviceProperty).toInt());
            Output.Open();
        });
        item->setChecked(true);
        break;
    }
    if (!savedName.isEmpty() && !PortInUse()) {
        Fill(savedName);
        Output.OpenWhenPresent(savedName.toStdString());
    }
    // Read afresh at each opening: a device plugged in (or a JACK client started) since then
    // can be chosen without a restart.
    connect(&Menu, &QMenu::aboutToShow, this, [this] { RunReported([&] { Refresh(); }); });
}

void TOutputPortMenu::Refresh()
{
    QString inUse;
    for (QAction* item : std::as_const(Items))
        if (item->isChecked())
            inUse = item->data().toString();
    Fill(inUse);
}

void TOutputPortMenu::Fill(const QString& inUse)
{
    for (QAction* item : std::as_const(Items))
        delete item;
    Items.clear();
    const std::vector<std::string> names = Output.ReadDeviceNames();
    bool inUseListed = false;
    auto add = [&](const QString& caption, int device) {
        const QString shown = device == VanishedDevice ? tr(AbsentCaption).arg(caption) : caption;
        QAction* item = Menu.addAction(EscapeMnemonic(shown));
        item->setCheckable(true);
        item->setData(caption);
        item->setProperty(DeviceProperty, device);
        Items.append(item);
        connect(item, &QAction::triggered, this, [this, item] {
            RunReported([&] { ItemClick(item); });
        });
        if (!inUse.isEmpty() && caption == inUse && !inUseListed) {
            item->setChecked(true);
            inUseListed = true;
        }
    };
    for (size_t k = 0; k < names.size(); ++k)
        add(QString::fromStdString(names[k]), int(k) - 1);
    // The port in use has gone: it stays checked, at the end and marked, until another is
    // chosen or a device of its name comes back (the port then opens it by itself).
    if (!inUse.isEmpty() && !inUseListed)
        add(inUse, VanishedDevice);
}

void TOutputPortMenu::ItemClick(QAction* item)
{
    // A click toggles the check mark before we see it; the item's own state is ours to set.
    const bool wasChecked = !item->isChecked();
    if (wasChecked) {
        item->setChecked(true);
        return;
    }
    item->setChecked(false);
    TWaitCursor wait;
    for (QAction* other : std::as_const(Items))
        other->setChecked(false);
    Output.Close();
    // The list may have changed since the menu was read: the number must still name this port.
    const QString name = item->data().toString();
    const int device = item->property(DeviceProperty).toInt();
    bool there = false;
    if (device != VanishedDevice) {
        try {
            Output.SetDeviceID(device);
            there = QString::fromStdString(Output.ProductName()) == name;
        } catch (const EMidiOutputError&) {
            // Gone since the menu was read; said below like any port that has gone.
        }
    }
    if (there)
        Output.Open();
    if (Output.IsOpen()) {
        item->setChecked(true);
        if (OnPortOpened)
            OnPortOpened();
    }
    if (OnPortChosen)
        OnPortChosen();
    if (!Output.IsOpen())
        ShowMessage(&Window, OutputFailureText(name, there ? Output.LastFailure().Kind() : TMidiFailure::PortGone));
}

QString TOutputPortMenu::OutputFailureText(const QString& portName, TMidiFailure failure) const
{
    // The service's own text is English; the reason is said here, in the interface's language.
    QString reason;
    switch (failure) {
    case TMidiFailure::NoAudioOutput:
        reason = tr("音声出力を開けませんでした。別の出力は環境変数 KELVANE_AUDIO_DRIVER で選べます（例：jack、pulseaudio、alsa）");
        break;
    case TMidiFailure::PortBusy:
        reason = tr("%1 は他のプログラムが使用中です").arg(portName);
        break;
    case TMidiFailure::PortGone:
        reason = tr("%1 はもうありません").arg(portName);
        break;
    case TMidiFailure::NoServer:
        reason = tr("MIDIのサービス（JACKサーバーなど）が動いていません");
        break;
    case TMidiFailure::Other:
        break;
    }
    const QString text = tr(PortFailedMessage);
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}
