#include "RawMemo.h"

#include <QEvent>

TRawMemo::TRawMemo(QWidget* parent) : QPlainTextEdit(parent)
{
}

void TRawMemo::SetStrip(QWidget* strip)
{
    Strip = strip;
    Strip->setParent(this);
    Strip->installEventFilter(this);
    PlaceStrip();
}

void TRawMemo::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    PlaceStrip();
}

bool TRawMemo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Strip) {
        switch (event->type()) {
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::LayoutRequest:
            PlaceStrip();
            break;
        default:
            break;
        }
    }
    return QPlainTextEdit::eventFilter(watched, event);
}

void TRawMemo::PlaceStrip()
{
    if (!Strip)
        return;
    // The margin shortens the text's viewport from below; its width, and so the lines' wrapping,
    // stays as it was. The scroll bar keeps the memo's whole height beside both.
    const int width = viewport()->width();
    int height = 0;
    if (!Strip->isHidden())
        height = Strip->hasHeightForWidth() ? Strip->heightForWidth(width) : Strip->sizeHint().height();
    if (viewportMargins().bottom() != height)
        setViewportMargins(0, 0, 0, height);
    if (height > 0)
        Strip->setGeometry(viewport()->x(), viewport()->geometry().bottom() + 1, width, height);
}
