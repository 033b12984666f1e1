#pragma once
// The checksums of the raw editor's memo, as the user sees them: each Roland data set and Yamaha
// bulk dump whose sum is wrong is marked where it stands (only what is in view: the memo may hold
// megabytes), and one step fixes every one, undone again as one. The same reading, kept up to
// date edit by edit, gives the memo's digit count and its text without a copy at each keystroke.

#include "ChecksumIndex.h"

#include <QObject>
#include <QTextEdit>

#include <QList>

class QPlainTextEdit;
class QWidget;

class TChecksumMarks final : public QObject {
    Q_OBJECT
public:
    explicit TChecksumMarks(QPlainTextEdit* memo);

    // The memo's text as the document holds it (its lines parted by U+2029).
    const QString& Text() const { return Index.Text(); }
    qsizetype DigitCount() const { return Index.DigitCount(); }
    qsizetype WrongCount() const { return qsizetype(Index.WrongMessages().size()); }
    // Every wrong sum recomputed: only the two digits of each change, in one edit the user can
    // undo.
    void FixAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DocumentChange(int position, int removed, int added);
    void MarkLater();
    void MarkInView();

    QPlainTextEdit* Memo;
    // Kept apart: the memo sends its viewport's last events from its own destructor, when it is
    // no longer a text edit to ask for it.
    QWidget* Viewport;
    TChecksumIndex Index;
    QList<QTextEdit::ExtraSelection> Marks;  // as last given to the memo
    bool MarkQueued = false;
};
