#include "PortStatus.h"

#include "Dialogs.h"
#include "OutputPortMenu.h"
#include "Session.h"
#include "Widgets.h"

#include <QStatusBar>

TPortStatus::TPortStatus(TSession& session, QStatusBar& bar, QObject* parent)
    : QObject(parent), Session(session), Bar(bar)
{
    Ports = new TElidedLabel(&bar);
    Ports->setObjectName(QStringLiteral("LabelPorts"));
    Ports->setContentsMargins(3, 0, 3, 0);  // as far from the edge as what is said
    bar.addWidget(Ports, 1);
    Refresh();
    TMidiOutput& output = Session.Output();
    // The ports call these from the window thread's event loop: nothing may escape into it.
    output.OnGone = [this](QObject*) {
        RunReported([&] {
            OutputWent = true;
            NotSentSaid = false;
            Say(OutputGoneText, Session.Output().ProductName());
            Refresh();
            if (OnOutputGone)
                OnOutputGone();
        });
    };
    output.OnReturned = [this](QObject*) {
        RunReported([&] {
            Say(OutputWent ? OutputReturnedText : OutputArrivedText, Session.Output().ProductName());
            Refresh();
            OutputWent = false;
            NotSentSaid = false;
            if (OnOutputReturned)
                OnOutputReturned();
        });
    };
    Session.OnSendWhileAbsent = [this] {
        if (std::exchange(NotSentSaid, true))
            return;
        Say(NotSentText, Session.Output().ProductName());
    };
    TMidiInput& input = Session.Input();
    input.OnGone = [this](QObject*) {
        RunReported([&] {
            InputWent = true;
            Say(InputGoneText, Session.Input().ProductName());
            Refresh();
            if (OnInputChanged)
                OnInputChanged(true);
        });
    };
    input.OnReturned = [this](QObject*) {
        RunReported([&] {
            Say(InputWent ? InputReturnedText : InputArrivedText, Session.Input().ProductName());
            Refresh();
            InputWent = false;
            if (OnInputChanged)
                OnInputChanged(false);
        });
    };
}

QString TPortStatus::Text() const
{
    return Bar.currentMessage();
}

QString TPortStatus::PortsShown() const
{
    return Ports->text();
}

void TPortStatus::Refresh()
{
    auto shown = [](bool open, bool absent, const std::string& name) {
        if (!open && !absent)
            return tr(NoPortText);
        const QString caption = QString::fromStdString(name);
        return absent ? TOutputPortMenu::tr(TOutputPortMenu::AbsentCaption).arg(caption) : caption;
    };
    const TMidiOutput& output = Session.Output();
    const TMidiInput& input = Session.Input();
    Ports->SetWholeText(tr(PortsText).arg(shown(output.IsOpen(), output.Absent(), output.ProductName()),
                                          shown(input.IsOpen(), input.Absent(), input.ProductName())));
}

void TPortStatus::Say(const char* text, const std::string& portName)
{
    Bar.showMessage(tr(text).arg(QString::fromStdString(portName)), SaidForMs);
}
