#include "MonitorWindow.h"

#include "Dialogs.h"
#include "GuiTest.h"
#include "platform/DeviceList.h"

#include <QPushButton>
#include <QTest>

#include <cstdio>

bool TMonitorWindow::Open(TMidiApi api, const std::string& peerInput, const std::string& peerOutput, bool needOutput)
{
    SetDeviceList(std::make_unique<TDeviceList>(api));
    TFixtureOptions options;
    options.Settings = QStringLiteral("[Midi]\nOutDeviceName=%1\nInDeviceName=%2\n")
                           .arg(QString::fromStdString(peerInput), QString::fromStdString(peerOutput));
    options.UseRecordingService = false;
    Fixture = std::make_unique<TKelvaneFixture>(options);
    if (!Fixture->Session().Input().IsOpen() || (needOutput && !Fixture->Session().Output().IsOpen())) {
        std::printf("the window did not open the peer's ports\n");
        return false;
    }
    // The hook opens no box, so no loss is counted away while one is open.
    DialogHooks().Message = [this](const QString& text, bool error) {
        if (!error && text.startsWith(QStringLiteral("MIDIイン・オーバーフロー")))
            ++Overflows;
        else
            std::printf("box: %s\n", text.toUtf8().constData());
    };
    Fixture->Main().resize(800, 600);
    ShowPage(*Fixture, 2);
    QTest::qWait(100);
    return true;
}

void TMonitorWindow::Clear()
{
    Fixture->Find<QPushButton>("ButtonInClear")->setEnabled(true);
    QTest::mouseClick(Fixture->Find<QPushButton>("ButtonInClear"), Qt::LeftButton);
    QTest::qWait(50);
    Overflows = 0;
}

void TMonitorWindow::Close()
{
    if (!Fixture)
        return;
    Fixture.reset();
    SetDeviceList(nullptr);
}
