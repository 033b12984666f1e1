#include "ChecksumMarks.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {

// A change this large (a file loaded, the memo cleared) is read as a new text: taking the
// changed part out of the document would copy as much as reading the whole.
constexpr int WholeTextChange = 65536;

// A wrong message: its text on a pale red, its sum's two digits on a stronger red.
const QColor MessageBackground(255, 214, 214);
const QColor SumBackground(224, 64, 64);
const QColor SumForeground(Qt::white);

QTextEdit::ExtraSelection Mark(QTextDocument* document, qsizetype from, qsizetype to, const QTextCharFormat& format)
{
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(document);
    mark.cursor.setPosition(int(from));
    mark.cursor.setPosition(int(to), QTextCursor::KeepAnchor);
    mark.format = format;
    return mark;
}

bool SameMarks(const QList<QTextEdit::ExtraSelection>& a, const QList<QTextEdit::ExtraSelection>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.cursor.anchor() == y.cursor.anchor() && x.cursor.position() == y.cursor.position()
            && x.format == y.format;
    });
}

}  // namespace

TChecksumMarks::TChecksumMarks(QPlainTextEdit* memo) : QObject(memo), Memo(memo), Viewport(memo->viewport())
{
    QTextDocument* document = Memo->document();
    Index.SetText(document->toRawText());
    connect(document, &QTextDocument::contentsChange, this, &TChecksumMarks::DocumentChange);
    // What is in view changes with scrolling, with the memo's size and with its font (which
    // repaints the whole view).
    connect(Memo->verticalScrollBar(), &QScrollBar::valueChanged, this, &TChecksumMarks::MarkLater);
    connect(Memo, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0 || rect.contains(Memo->viewport()->rect()))
            MarkLater();
    });
    Viewport->installEventFilter(this);
}

bool TChecksumMarks::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Viewport && event->type() == QEvent::Resize)
        MarkLater();
    return false;
}

void TChecksumMarks::DocumentChange(int position, int removed, int added)
{
    const QTextDocument* document = Memo->document();
    const int size = document->characterCount() - 1;  // the last paragraph's end is no character
    if (added >= WholeTextChange) {
        Index.SetText(document->toRawText());
    } else {
        QTextCursor cursor(Memo->document());
        cursor.setPosition(std::clamp(position, 0, size));
        cursor.setPosition(std::clamp(position + added, 0, size), QTextCursor::KeepAnchor);
        Index.Replace(position, removed, cursor.selectedText());
        // The document counts the end of its last paragraph in some changes (a text set as a
        // whole); what it holds then is read again.
        if (Index.Text().size() != size)
            Index.SetText(document->toRawText());
    }
    MarkLater();
}

void TChecksumMarks::MarkLater()
{
    // After the memo has laid the change out, and once for all the changes of one turn.
    if (MarkQueued)
        return;
    MarkQueued = true;
    QTimer::singleShot(0, this, [this] {
        MarkQueued = false;
        MarkInView();
    });
}

void TChecksumMarks::MarkInView()
{
    QTextDocument* document = Memo->document();
    const QRect view = Memo->viewport()->rect();
    const QTextBlock firstBlock = Memo->cursorForPosition(view.topLeft()).block();
    const QTextBlock lastBlock = Memo->cursorForPosition(view.bottomRight()).block();
    const qsizetype from = firstBlock.position();
    const qsizetype to = lastBlock.position() + lastBlock.length();

    QTextCharFormat message;
    message.setBackground(MessageBackground);
    QTextCharFormat sum;
    sum.setBackground(SumBackground);
    sum.setForeground(SumForeground);
    QList<QTextEdit::ExtraSelection> marks;
    for (const TWrongChecksum& wrong : Index.WrongMessagesBetween(from, to)) {
        // Only the part in view: a message may run over thousands of lines.
        marks.append(Mark(document, std::max(wrong.Start, from), std::min(wrong.End, to), message));
        for (qsizetype digit : {wrong.SumHigh, wrong.SumLow})
            marks.append(Mark(document, digit, digit + 1, sum));
    }
    if (SameMarks(marks, Marks))
        return;
    Marks = marks;
    Memo->setExtraSelections(Marks);
}

void TChecksumMarks::FixAll()
{
    const QList<TDigitEdit> edits = Index.FixEdits();
    if (edits.isEmpty())
        return;
    QTextCursor cursor(Memo->document());
    cursor.beginEditBlock();
    for (const TDigitEdit& edit : edits) {
        cursor.setPosition(int(edit.Position));
        cursor.setPosition(int(edit.Position) + 1, QTextCursor::KeepAnchor);
        cursor.insertText(QString(edit.Digit));
    }
    cursor.endEditBlock();
}
