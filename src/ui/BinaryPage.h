#pragma once
// The Binary page: the input monitor on the left, the raw output editor and its timed sender on
// the right. The two share the controls strip below, the font of both memos and the folders of
// their file dialogs; their work is TMonitor's and TRawSender's.

#include "MidiFiles.h"
#include "Settings.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TBinaryPage;
}
class TMonitor;
class TRawSender;
class TSession;

class TBinaryPage final : public QWidget {
    Q_OBJECT
public:
    TBinaryPage(TSession& session, QWidget* parent);
    ~TBinaryPage() override;

    // Start-up, in this order: the input device list once the ports are made; the memos' font,
    // the packet interval and size and the folders; at the end, the input device used last time.
    void ListInputDevices();
    void Restore(const TMainSettings& settings);
    void RestoreInputDevice(const QString& savedName);
    void Collect(TMainSettings& settings) const;

    // The two memos share the panel's width, each under its label.
    void LayOut();

    TMonitor& Monitor() { return *FMonitor; }
    const TMonitor& Monitor() const { return *FMonitor; }
    TRawSender& Sender() { return *FSender; }
    const TRawSender& Sender() const { return *FSender; }
    const TFileFolders& Folders() const { return FFolders; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ButtonBinaryFontSetClick();
    void SetBinaryFont(const QFont& font);

    std::unique_ptr<Ui::TBinaryPage> ui;
    TFileFolders FFolders;
    int BinaryFontCharacterSet = 128;  // no meaning to Qt; kept and written back
    std::unique_ptr<TMonitor> FMonitor;
    std::unique_ptr<TRawSender> FSender;
};
