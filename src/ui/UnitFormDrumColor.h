#pragma once
// The drum pad appearance dialog: font and four colours, with a preview pad. It edits copies;
// only OK hands them to the main window.

#include <QColor>
#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class TFormDrumColor;
}
class TFormMain;

class TFormDrumColor : public QDialog {
    Q_OBJECT
public:
    explicit TFormDrumColor(TFormMain& main, QWidget* parent = nullptr);
    ~TFormDrumColor() override;

    Ui::TFormDrumColor* Form() const { return ui.get(); }

    // Working copies, colour numbers (blue·65536 + green·256 + red).
    uint32_t BackColor = 0;
    uint32_t ForeColor = 0;
    uint32_t ReverseBackColor = 0;
    uint32_t ReverseForeColor = 0;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void StaticTextDrumMouseDown();
    void StaticTextDrumMouseUp();
    void ButtonFontClick();
    void ButtonBackColorClick();
    void ButtonForeColorClick();
    void ButtonReverseBackColorClick();
    void ButtonReverseForeColorClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    // The main window's colour dialog, with the custom colours the settings file keeps.
    std::optional<uint32_t> ExecuteColorDialogFor(uint32_t color);

    std::unique_ptr<Ui::TFormDrumColor> ui;
    TFormMain& Main;
};
