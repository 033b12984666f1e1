#pragma once
// The drum pad appearance dialog: font and four colours, with a preview pad. It edits copies;
// only OK hands them to the main window.

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class TDrumColorDialog;
}
// The pads' colours as colour numbers (blue·65536 + green·256 + red).
struct TDrumColors {
    uint32_t Back = 0;
    uint32_t Fore = 0;
    uint32_t ReverseBack = 0;
    uint32_t ReverseFore = 0;
};

// What the dialog needs of the window that opens it.
class TDrumColorHost {
public:
    virtual ~TDrumColorHost() = default;
    virtual bool HintsShown() const = 0;
    virtual TDrumColors DrumColors() const = 0;
    virtual QFont DrumFont() const = 0;
    virtual QPoint DrumColorDialogPlace() const = 0;  // where the dialog opens
    virtual void ApplyDrumAppearance(uint32_t back, uint32_t fore, uint32_t reverseBack, uint32_t reverseFore,
                                     const QFont& font) = 0;
    // The colour dialog's custom colours, shared by the whole program and kept in the settings.
    virtual QStringList& ColorDialogEntries() = 0;
};

class TDrumColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit TDrumColorDialog(TDrumColorHost& host, QWidget* parent = nullptr);
    ~TDrumColorDialog() override;

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

    std::unique_ptr<Ui::TDrumColorDialog> ui;
    TDrumColorHost& Host;
};
