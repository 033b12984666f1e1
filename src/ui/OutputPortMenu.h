#pragma once
// The output-port menu: one item per output device, read afresh each time the menu opens, the
// port in use checked by its name, and the switch to the port a click chooses.

#include "platform/PortBackend.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QWidget;
class TMidiOutput;

class TOutputPortMenu final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* PortFailedMessage = QT_TR_NOOP("指定された出力ポートを開けませんでした");
    // The caption of the port in use while its device is not there.
    static constexpr const char* AbsentCaption = QT_TR_NOOP("%1（見つかりません）");

    // window: where the boxes open.
    TOutputPortMenu(QMenu& menu, TMidiOutput& output, QWidget& window);

    // The items, and the port saved by that name opened; its item is checked whether or not it
    // opened. A saved name no item has is checked all the same, marked as not there, and the
    // port opens it as soon as a device of that name comes.
    void Build(const QString& savedName);
    // The checked item's name; none when no item is checked.
    std::optional<QString> PortInUse() const;
    // The items read afresh, the port in use kept checked (marked when its device is not there).
    void Refresh();

    // A port chosen from the menu has opened.
    std::function<void()> OnPortOpened;
    // A port was chosen from the menu, whether it opened or not; said before any box.
    std::function<void()> OnPortChosen;

private:
    void Fill(const QString& inUse);
    void ItemClick(QAction* item);
    QString OutputFailureText(const QString& portName, TMidiFailure failure) const;

    QMenu& Menu;
    TMidiOutput& Output;
    QWidget& Window;
    QList<QAction*> Items;
};
