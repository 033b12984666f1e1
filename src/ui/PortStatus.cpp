#include "PortStatus.h"

#include "Dialogs.h"
#include "Session.h"

#include <QStatusBar>

TPortStatus::TPortStatus(TSession& session, QStatusBar& bar, QObject* parent)
    : QObject(parent), Session(session), Bar(bar)
{
    TMidiOutput& output = Session.Output();
    // The ports call these from the window thread's event loop: nothing may escape into it.
    output.OnGone = [this](QObject*) {
        RunReported([&] {
            OutputWent = true;
            NotSentSaid = false;
            Say(OutputGoneText, Session.Output().ProductName());
            if (OnOutputGone)
                OnOutputGone();
        });
    };
    output.OnReturned = [this](QObject*) {
        RunReported([&] {
            Say(OutputWent ? OutputReturnedText : OutputArrivedText, Session.Output().ProductName());
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
            if (OnInputChanged)
                OnInputChanged(true);
        });
    };
    input.OnReturned = [this](QObject*) {
        RunReported([&] {
            Say(InputWent ? InputReturnedText : InputArrivedText, Session.Input().ProductName());
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

void TPortStatus::Say(const char* text, const std::string& portName)
{
    Bar.showMessage(tr(text).arg(QString::fromStdString(portName)));
}
