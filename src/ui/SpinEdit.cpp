#include "SpinEdit.h"

#include "Widgets.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTimer>

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // Qt rewrites the text with the line edit's signals blocked when the value is set or
    // stepped; every path that can change the text reports through NoteText.
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::NoteText);
    connect(this, &QSpinBox::valueChanged, this, &TSpinEdit::NoteText);
    lineEdit()->installEventFilter(this);
    FColor = palette().color(QPalette::Base);
    LastText = Text();
}

QString TSpinEdit::Text() const
{
    return lineEdit()->text();
}

void TSpinEdit::SetText(const QString& text)
{
    lineEdit()->setText(text);
    NoteText();
}

void TSpinEdit::NoteText()
{
    const QString text = Text();
    if (text == LastText)
        return;
    LastText = text;
    emit TextChanged(text);
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int value = Text().trimmed().toInt(&ok);
    return ok ? value : minimum();
}

void TSpinEdit::SetValue(int value)
{
    if (minimum() != maximum())
        value = std::clamp(value, minimum(), maximum());
    QSpinBox::setValue(value);  // rewrites the text when the stored value changes
    if (Text() != QString::number(value))
        SetText(QString::number(value));
    NoteText();
}

void TSpinEdit::SetRange(int minimum, int maximum)
{
    const QString text = Text();
    const QSignalBlocker blocker(lineEdit());
    setRange(minimum, maximum);
    lineEdit()->setText(text);
}

void TSpinEdit::SetTypingEnabled(bool enabled)
{
    lineEdit()->setReadOnly(!enabled);
}

void TSpinEdit::SetColor(const QColor& color)
{
    FColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Text, ReadableTextOn(color));
    setPalette(p);
}

void TSpinEdit::stepBy(int steps)
{
    SetValue(std::clamp(Value(), minimum(), maximum()) + steps * singleStep());
}

QValidator::State TSpinEdit::validate(QString& input, int&) const
{
    static const QRegularExpression typeable(QStringLiteral("^[0-9+\\-.]*$"));
    return typeable.match(input).hasMatch() ? QValidator::Acceptable : QValidator::Invalid;
}

int TSpinEdit::valueFromText(const QString& text) const
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : minimum();
}

void TSpinEdit::fixup(QString&) const {}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            emit DoubleClicked();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && !lineEdit()->isReadOnly()) {
            // A click selects the whole number, ready to be typed over.
            QTimer::singleShot(0, lineEdit(), &QLineEdit::selectAll);
        }
    }
    return QSpinBox::eventFilter(watched, event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    // Leaving the field replaces an out-of-range number by the clamped one.
    bool ok = false;
    const int value = Text().trimmed().toInt(&ok);
    if (ok && minimum() != maximum() && (value < minimum() || value > maximum()))
        SetValue(value);
    // Not QSpinBox's own handling: it would turn a text that is no number ("12.5") into the
    // minimum, while the field keeps what the user typed until it is sent.
    QWidget::focusOutEvent(event);
}
