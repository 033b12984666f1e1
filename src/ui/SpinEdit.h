#pragma once
// A number box with the text rules the panel relies on: the value is the text read as an
// integer, else the minimum; digits, signs and "." can be typed; every change of the text,
// also by the program, is reported (textChanged); Enter is reported, never inserted.

#include <QSpinBox>

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
    int Value() const;            // not clamped: a typed 200 stays 200 until the field is left
    void SetValue(int value);     // clamped into the range, written as text
    void SetRange(int minimum, int maximum);  // the text stays as it is
    void SetTypingEnabled(bool enabled);       // arrows only when false
    void SetColor(const QColor& color);
    QColor Color() const { return FColor; }

    void stepBy(int steps) override;

signals:
    void TextChanged(const QString& text);
    void EnterPressed();
    void DoubleClicked();

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
    void fixup(QString& input) const override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void NoteText();

    QColor FColor;
    QString LastText;  // what was last reported
};
