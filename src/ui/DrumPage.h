#pragma once
// The drum page: 128 pads named from a drum list of note.ini, played with any mouse button,
// in the font and colours the drum pad appearance dialog sets.

#include "DrumColorDialog.h"
#include "Settings.h"

#include <QWidget>

#include <array>
#include <memory>

namespace Ui {
class TDrumPage;
}
class QDialog;
class TDrumPad;
class TSession;

class TDrumPage final : public QWidget, public TDrumColorHost {
    Q_OBJECT
public:
    TDrumPage(TSession& session, QWidget* parent);
    ~TDrumPage() override;

    // Start-up: the drum list chosen last time, the pads' font and colours, and the colour
    // dialog's custom colours.
    void Restore(const TMainSettings& settings);
    void Collect(TMainSettings& settings) const;

    // The pads fill the panel, seven columns of twenty, notes running down the columns.
    void LayOut();
    TDrumPad* Pad(int note) const { return DrumPads[size_t(note)]; }
    // The dialog the font and colour button opens (made after the main window).
    void AttachDrumColor(QDialog* drumColor) { DrumColor = drumColor; }

    // TDrumColorHost
    bool HintsShown() const override;
    TDrumColors DrumColors() const override;
    QFont DrumFont() const override;  // the first pad's
    QPoint DrumColorDialogPlace() const override;
    void ApplyDrumAppearance(uint32_t back, uint32_t fore, uint32_t reverseBack, uint32_t reverseFore,
                             const QFont& font) override;
    QStringList& ColorDialogEntries() override { return FColorDialogEntries; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ComboDrumListChange();
    void DrumPadMouseDown(TDrumPad* pad, int note);
    void DrumPadMouseUp(TDrumPad* pad, int note);
    void ButtonDrumFontSetClick();
    QString NoteIniPath() const;
    // What each pad shows, for the names, font and size the pads have now: the whole name where
    // it fits, else a shorter form that no other pad shows.
    void ShowPadNames();
    void MeasurePadInk();

    QSize ShownForSize;  // the pad size ShowPadNames last fitted the names to

    std::unique_ptr<Ui::TDrumPage> ui;
    TSession& Session;
    std::array<TDrumPad*, 128> DrumPads{};
    TDrumColors Colors;
    QStringList FColorDialogEntries;
    int DrumFontCharacterSet = 128;  // no meaning to Qt; kept and written back
    QDialog* DrumColor = nullptr;
};
