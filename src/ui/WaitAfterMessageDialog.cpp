#include "WaitAfterMessageDialog.h"

#include "Settings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

TWaitAfterMessageDialog::TWaitAfterMessageDialog(int milliseconds, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogWaitAfterMessage"));
    setWindowTitle(tr("メッセージ後の待ち時間"));

    auto* explanation = new QLabel(tr("F7で終わるメッセージを送った後，次のパケットを送るまでに待つ時間です。"
                                      "シンセサイザーがバルク・データをメモリーに書き込む間，待つことができます。"
                                      "0のときは送信間隔で送ります。"),
                                   this);
    explanation->setWordWrap(true);

    SpinEditWaitAfterMessage = new QSpinBox(this);
    SpinEditWaitAfterMessage->setObjectName(QStringLiteral("SpinEditWaitAfterMessage"));
    SpinEditWaitAfterMessage->setRange(0, TMainSettings::LongestWaitAfterMessage);
    SpinEditWaitAfterMessage->setSingleStep(10);
    SpinEditWaitAfterMessage->setValue(milliseconds);
    SpinEditWaitAfterMessage->setAccessibleName(tr("待ち時間（ミリ秒）"));
    auto* caption = new QLabel(tr("待ち時間（ミリ秒）(&W)"), this);
    caption->setBuddy(SpinEditWaitAfterMessage);
    auto* field = new QFormLayout;
    field->addRow(caption, SpinEditWaitAfterMessage);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(field);
    layout->addWidget(buttons);
    resize(360, sizeHint().height());
    SpinEditWaitAfterMessage->setFocus();
    SpinEditWaitAfterMessage->selectAll();
}

int TWaitAfterMessageDialog::Milliseconds() const
{
    return SpinEditWaitAfterMessage->value();
}
