#pragma once
// The raw editor's memo: a plain text box with a strip along its bottom edge, inside its frame,
// for what the sender and the checksum check have to say. The strip takes its room from the
// text only while it is shown, so the box itself keeps its place and size on the page.

#include <QPlainTextEdit>

class TRawMemo final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TRawMemo(QWidget* parent = nullptr);

    // The memo takes the strip as its child and places it whenever it is shown or hidden, or
    // its contents ask for another height.
    void SetStrip(QWidget* strip);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceStrip();

    QWidget* Strip = nullptr;
};
