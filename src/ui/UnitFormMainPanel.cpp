// The main page's controller panel, program field and command buttons.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "MidiMessages.h"
#include "SpinEdit.h"
#include "UnitFormProgramList.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QColor Aqua(0, 255, 255);
const QColor Silver(192, 192, 192);
const QColor White(255, 255, 255);

// One of the thirteen continuous parameters: slider, name label, value label, its field in the
// settings (the value restored, and the default a double-click on the name sets), setter.
struct TContinuousRow {
    QScrollBar* Ui::TFormMain::*Bar;
    QLabel* Ui::TFormMain::*Name;
    QLabel* Ui::TFormMain::*Value;
    int TMainSettings::*Setting;
    void (TControlChange::*Setter)(int);
    bool Silver;  // controllers paint silver, registered parameters button face
};

const TContinuousRow ContinuousRows[] = {
    {&Ui::TFormMain::ScrollBarModulation, &Ui::TFormMain::LabelModulation, &Ui::TFormMain::LabelModulationValue, &TMainSettings::Modulation,
     &TControlChange::SetModulation, true},
    {&Ui::TFormMain::ScrollBarBreath, &Ui::TFormMain::LabelBreath, &Ui::TFormMain::LabelBreathValue, &TMainSettings::Breath,
     &TControlChange::SetBreath, true},
    {&Ui::TFormMain::ScrollBarFoot, &Ui::TFormMain::LabelFoot, &Ui::TFormMain::LabelFootValue, &TMainSettings::Foot,
     &TControlChange::SetFoot, true},
    {&Ui::TFormMain::ScrollBarPortamentoTime, &Ui::TFormMain::LabelPortamento, &Ui::TFormMain::LabelPortamentoTimeValue, &TMainSettings::PortamentoTime,
     &TControlChange::SetPortamentoTime, true},
    {&Ui::TFormMain::ScrollBarVolume, &Ui::TFormMain::LabelVolume, &Ui::TFormMain::LabelVolumeValue, &TMainSettings::Volume,
     &TControlChange::SetVolume, true},
    {&Ui::TFormMain::ScrollBarPanpot, &Ui::TFormMain::LabelPanpot, &Ui::TFormMain::LabelPanpotValue, &TMainSettings::Panpot,
     &TControlChange::SetPanpot, true},
    {&Ui::TFormMain::ScrollBarExpression, &Ui::TFormMain::LabelExpression, &Ui::TFormMain::LabelExpressionValue, &TMainSettings::Expression,
     &TControlChange::SetExpression, true},
    {&Ui::TFormMain::ScrollBarEffect1, &Ui::TFormMain::LabelEffect1, &Ui::TFormMain::LabelEffect1Value, &TMainSettings::Effect1,
     &TControlChange::SetEffect1, true},
    {&Ui::TFormMain::ScrollBarEffect3, &Ui::TFormMain::LabelEffect3, &Ui::TFormMain::LabelEffect3Value, &TMainSettings::Effect3,
     &TControlChange::SetEffect3, true},
    {&Ui::TFormMain::ScrollBarEffect4, &Ui::TFormMain::LabelEffect4, &Ui::TFormMain::LabelEffect4Value, &TMainSettings::Effect4,
     &TControlChange::SetEffect4, true},
    {&Ui::TFormMain::ScrollBarPitchBendRange, &Ui::TFormMain::LabelPitchBendRange, &Ui::TFormMain::LabelPitchBendRangeValue, &TMainSettings::PitchBendRange,
     &TControlChange::SetPitchBendRange, false},
    {&Ui::TFormMain::ScrollBarMasterFineTune, &Ui::TFormMain::LabelMasterFineTune, &Ui::TFormMain::LabelmasterFineTuneValue, &TMainSettings::MasterFineTune,
     &TControlChange::SetMasterFineTune, false},
    {&Ui::TFormMain::ScrollBarMasterCoarseTune, &Ui::TFormMain::LabelMasterCoarseTune, &Ui::TFormMain::LabelMasterCoarseTuneValue, &TMainSettings::MasterCoarseTune,
     &TControlChange::SetMasterCoarseTune, false},
};
constexpr int ContinuousCount = int(std::size(ContinuousRows));
constexpr int FirstRegisteredRow = 10;  // pitch-bend range, fine and coarse tune follow the controllers

// The five switches: check box, its field in the settings and setter; only portamento paints
// silver.
struct TSwitchRow {
    QCheckBox* Ui::TFormMain::*Box;
    bool TMainSettings::*Setting;
    void (TControlChange::*Setter)(bool);
    bool Silver;
};

const TSwitchRow SwitchRows[] = {
    {&Ui::TFormMain::CheckHold1, &TMainSettings::Hold1, &TControlChange::SetHold1, false},
    {&Ui::TFormMain::CheckPortamento, &TMainSettings::Portamento, &TControlChange::SetPortamento, true},
    {&Ui::TFormMain::CheckSostenuto, &TMainSettings::Sostenuto, &TControlChange::SetSostenuto, false},
    {&Ui::TFormMain::CheckSoft, &TMainSettings::Soft, &TControlChange::SetSoft, false},
    {&Ui::TFormMain::CheckMono, &TMainSettings::Mono, &TControlChange::SetMono, false},
};

void PaintBackground(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
}

QColor ButtonFace(const QWidget* widget)
{
    return widget->palette().color(QPalette::Button);
}

} // namespace

bool TFormMain::OutputPortOpen() const
{
    return MidiOutput && MidiOutput->DeviceHandle() != nullptr;  // null until the ports are made
}

uint8_t TFormMain::CurrentChannel() const
{
    return Channel;
}

void TFormMain::PutShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    MidiOutput->PutShort(status, data1, data2);
}

void TFormMain::Send(const TShortMessage& message)
{
    MidiOutput->PutShort(message.Status, message.Data1, message.Data2);
}

void TFormMain::Send(const std::vector<uint8_t>& block)
{
    MidiOutput->PutLong(block.data(), uint32_t(block.size()));
}

void TFormMain::ShowRejection(TControlParameter parameter)
{
    ShowBox(RejectionText(parameter));
}

QString TFormMain::RejectionText(TControlParameter parameter)
{
    switch (parameter) {
    case TControlParameter::Modulation: return tr("モジュレーションの値は0～127でなければなりません");
    case TControlParameter::Breath: return tr("ブレス・コントロールの値は0～127でなければなりません");
    case TControlParameter::Foot: return tr("フット・コントロールの値は0～127でなければなりません");
    case TControlParameter::PortamentoTime: return tr("ポルタメント・タイムの値は0～127でなければなりません");
    case TControlParameter::Volume: return tr("ボリュームの値は0～127でなければなりません");
    case TControlParameter::Panpot: return tr("パンポットの値は0～127でなければなりません");
    case TControlParameter::Expression: return tr("エクスプレッションの値は0～127でなければなりません");
    case TControlParameter::Effect1: return tr("エフェクト1の値は0～127でなければなりません");
    case TControlParameter::Effect3: return tr("エフェクト3の値は0～127でなければなりません");
    case TControlParameter::Effect4: return tr("エフェクト4の値は0～127でなければなりません");
    case TControlParameter::PitchBendRange: return tr("ピッチベンド・レンジの値は0～24でなければなりません");
    case TControlParameter::MasterFineTune: return tr("マスター・ファイン・チューンの値は-8192～8192でなければなりません");
    case TControlParameter::MasterCoarseTune: return tr("マスター・コース・チューンの値は-64～64でなければなりません");
    }
    return {};
}

int TFormMain::ShownProgram() const
{
    return ui->SpinEditProgram->Value() - ProgramRangeOffset();
}

void TFormMain::ShowProgram(int program)
{
    ui->SpinEditProgram->SetText(QString::number(program + ProgramRangeOffset()));
}

int TFormMain::ProgramRangeOffset() const
{
    return RadioProgramRangeGroup->checkedId() == 1 ? 1 : 0;
}

void TFormMain::SetUpPanel()
{
    // The channel: sixteen items in one column; a report only when the selection changes.
    auto* channelLayout = new QVBoxLayout(ui->RadioChannel);
    channelLayout->setContentsMargins(6, 2, 2, 2);
    channelLayout->setSpacing(0);
    RadioChannelGroup = new QButtonGroup(this);
    for (int i = 0; i < 16; ++i) {
        auto* item = new QRadioButton(QString::number(i + 1), ui->RadioChannel);
        item->setObjectName(QStringLiteral("RadioChannel%1").arg(i + 1));
        channelLayout->addWidget(item);
        RadioChannelGroup->addButton(item, i);
    }
    connect(RadioChannelGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            RunReported([&] { RadioChannelClick(id); });
    });

    auto* rangeLayout = new QVBoxLayout(ui->RadioProgramRange);
    rangeLayout->setContentsMargins(6, 2, 2, 2);
    rangeLayout->setSpacing(0);
    RadioProgramRangeGroup = new QButtonGroup(this);
    const char* ranges[] = {"0～127", "1～128"};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(ranges[i]), ui->RadioProgramRange);
        item->setObjectName(QStringLiteral("RadioProgramRange%1").arg(i));
        rangeLayout->addWidget(item);
        RadioProgramRangeGroup->addButton(item, i);
    }
    connect(RadioProgramRangeGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            RunReported([&] { RadioProgramRangeClick(id); });
    });

    // Ticks at the two ends only.
    ui->TrackBarPitchBend->setTickInterval(16384);
    connect(ui->TrackBarPitchBend, &QSlider::valueChanged, this,
            [this](int p) { RunReported([&] { TrackBarPitchBendChange(p); }); });

    auto noteParameter = [this](QScrollBar* bar, QLabel* value, auto store) {
        connect(bar, &QScrollBar::valueChanged, this, [value, store](int p) {
            value->setText(QString::number(p));
            store(p);
        });
    };
    noteParameter(ui->ScrollBarTranspose, ui->LabelTransposeValue, [this](int p) { Transpose = int8_t(p); });
    noteParameter(ui->ScrollBarOnVelocity, ui->LabelOnVelocityValue, [this](int p) { OnVelocity = uint8_t(p); });
    noteParameter(ui->ScrollBarOffVelocity, ui->LabelOffVelocityValue, [this](int p) { OffVelocity = uint8_t(p); });
    noteParameter(ui->ScrollBarChannelPressure, ui->LabelChannelPressureValue, [](int) {});
    noteParameter(ui->ScrollBarPolyPressure, ui->LabelPolyPressureValue, [](int) {});

    for (int row = 0; row < ContinuousCount; ++row) {
        connect(ui.get()->*ContinuousRows[row].Bar, &QScrollBar::valueChanged, this,
                [this, row](int p) { RunReported([&] { ContinuousChange(row, p); }); });
        DoubleClickActions.insert(ui.get()->*ContinuousRows[row].Value, [this, row] { ContinuousValueDblClick(row); });
        DoubleClickActions.insert(ui.get()->*ContinuousRows[row].Name, [this, row] { ContinuousNameDblClick(row); });
    }
    for (int row = 0; row < int(std::size(SwitchRows)); ++row)
        connect(ui.get()->*SwitchRows[row].Box, &QCheckBox::toggled, this,
                [this, row](bool on) { RunReported([&] { SwitchChange(row, on); }); });

    const TMainSettings defaults;
    DoubleClickActions.insert(ui->LabelPitchBend, [this] { ui->TrackBarPitchBend->setValue(0); });  // the centre
    DoubleClickActions.insert(ui->LabelTranspose, [this, v = defaults.Transpose] { ui->ScrollBarTranspose->setValue(v); });
    DoubleClickActions.insert(ui->LabelOnVelocity, [this, v = defaults.OnVelocity] { ui->ScrollBarOnVelocity->setValue(v); });
    DoubleClickActions.insert(ui->LabelOffVelocity, [this, v = defaults.OffVelocity] { ui->ScrollBarOffVelocity->setValue(v); });
    DoubleClickActions.insert(ui->LabelChannelPressureValue,
                              [this, v = defaults.ChannelPressure] { ui->ScrollBarChannelPressure->setValue(v); });
    DoubleClickActions.insert(ui->LabelPolyPressureValue,
                              [this, v = defaults.PolyPressure] { ui->ScrollBarPolyPressure->setValue(v); });
    DoubleClickActions.insert(ui->LabelDeviceID, [this] { ui->SpinEditDeviceID->SetValue(DefaultGsDeviceNumber); });

    ui->ButtonChannelPressure->installEventFilter(this);
    ui->ButtonPolyPressure->installEventFilter(this);
    ui->LabelProgram->installEventFilter(this);
    for (auto it = DoubleClickActions.cbegin(); it != DoubleClickActions.cend(); ++it)
        it.key()->installEventFilter(this);

    // Scroll bars and the track bar have no menu: a right press on them does nothing.
    for (auto* bar : ui->TabMain->findChildren<QAbstractSlider*>())
        bar->setContextMenuPolicy(Qt::NoContextMenu);

    ui->SpinEditDeviceID->SetTypingEnabled(false);
    connect(ui->SpinEditProgram, &TSpinEdit::TextChanged, this, [this] { SpinEditProgramChange(); });
    connect(ui->SpinEditProgram, &TSpinEdit::EnterPressed, this, [this] { RunReported([&] { SendProgramChange(); }); });
    connect(ui->SpinEditProgram, &TSpinEdit::DoubleClicked, this, [this] { RunReported([&] { SendProgramChange(); }); });

    auto click = [this](QPushButton* button, void (TFormMain::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunReported([&] { (this->*handler)(); }); });
    };
    click(ui->ButtonGmSystemOn, &TFormMain::ButtonGmSystemOnClick);
    click(ui->ButtonGsReset, &TFormMain::ButtonGsResetClick);
    click(ui->ButtonAllNoteOff, &TFormMain::ButtonAllNoteOffClick);
    click(ui->ButtonDefault, &TFormMain::ButtonDefaultClick);
    click(ui->ButtonSendAll, &TFormMain::ButtonSendAllClick);

    AttachTestNote();
    SetPanelTabOrder();

    QFont small = ui->LabelDeviceID->font();
    small.setPixelSize(10);
    ui->LabelDeviceID->setFont(small);
    for (QAbstractButton* item : RadioProgramRangeGroup->buttons()) {
        QFont narrow = item->font();
        narrow.setStretch(80);
        item->setFont(narrow);
    }

    // The layout was drawn for a narrow proportional face.
    NarrowCaptionsToFit(ui->TabMain);
}

void TFormMain::SetPanelTabOrder()
{
    // Tab reaches every control of the page in reading order, column by column: the channel
    // and program on the left, the note parameters in the middle, the controllers and commands
    // on the right. The bars take the focus from Tab only: a click leaves it where it was.
    QList<QWidget*> order;
    for (QAbstractButton* item : RadioChannelGroup->buttons())
        order << item;
    order << ui->SpinEditProgram;
    for (QAbstractButton* item : RadioProgramRangeGroup->buttons())
        order << item;
    order << ui->TrackBarPitchBend << ui->ScrollBarTranspose << ui->ScrollBarOnVelocity << ui->ScrollBarOffVelocity
          << ui->ScrollBarChannelPressure << ui->ScrollBarPolyPressure << ui->ScrollBarModulation << ui->ScrollBarBreath
          << ui->ScrollBarFoot << ui->CheckPortamento << ui->ScrollBarPortamentoTime << ui->ScrollBarVolume
          << ui->ScrollBarExpression << ui->ScrollBarPanpot << ui->ScrollBarEffect1 << ui->ScrollBarEffect3
          << ui->ScrollBarEffect4 << ui->CheckHold1 << ui->CheckSostenuto << ui->CheckSoft << ui->CheckMono
          << ui->ScrollBarPitchBendRange << ui->ScrollBarMasterFineTune << ui->ScrollBarMasterCoarseTune
          << ui->ButtonGmSystemOn << ui->ButtonGsReset << ui->SpinEditDeviceID << ui->ButtonAllNoteOff
          << ui->ButtonDefault << ui->ButtonSendAll;
    for (QWidget* control : std::as_const(order))
        if (qobject_cast<QAbstractSlider*>(control) && control->focusPolicy() == Qt::NoFocus)
            control->setFocusPolicy(Qt::TabFocus);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void TFormMain::RestorePanel(const TMainSettings& settings)
{
    ui->ScrollBarTranspose->setRange(-60, 50);
    ui->ScrollBarTranspose->setValue(settings.Transpose);
    Transpose = int8_t(settings.Transpose);
    ui->ScrollBarOnVelocity->setValue(settings.OnVelocity);
    OnVelocity = uint8_t(settings.OnVelocity);
    ui->ScrollBarOffVelocity->setValue(settings.OffVelocity);
    OffVelocity = uint8_t(settings.OffVelocity);
    ui->ScrollBarChannelPressure->setValue(settings.ChannelPressure);
    ui->ScrollBarPolyPressure->setValue(settings.PolyPressure);

    // Program display range, then the program it shows.
    RadioProgramRangeGroup->button(settings.MinimumValue)->setChecked(true);
    if (settings.MinimumValue == 1) {
        ui->SpinEditProgram->SetRange(1, 128);
        ui->SpinEditProgram->SetValue(1);
    }
    ui->SpinEditProgram->SetValue(settings.Program + settings.MinimumValue);

    // Each parameter: its control first, then its setter with the restored value; the ten
    // controllers, the switches, then the three registered parameters. A value the control
    // clamps (a pitch-bend range of 30) is refused by the setter once, with its message.
    auto restoreContinuous = [&](int row) {
        const int value = settings.*ContinuousRows[row].Setting;
        (ui.get()->*ContinuousRows[row].Bar)->setValue(value);
        RunReported([&] { (ControlChange.get()->*ContinuousRows[row].Setter)(value); });
    };
    for (int row = 0; row < FirstRegisteredRow; ++row)
        restoreContinuous(row);
    for (const TSwitchRow& row : SwitchRows) {
        QCheckBox* box = ui.get()->*row.Box;
        box->setChecked(settings.*row.Setting);
        RunReported([&] { (ControlChange.get()->*row.Setter)(box->isChecked()); });
    }
    for (int row = FirstRegisteredRow; row < ContinuousCount; ++row)
        restoreContinuous(row);
}

void TFormMain::RestoreChannel(int channel)
{
    Channel = uint8_t(channel);
    // The form starts with no item selected, so this always runs the channel selection.
    RadioChannelGroup->button(channel - 1)->setChecked(true);
}

void TFormMain::MarkParametersStale()
{
    ui->SpinEditProgram->SetColor(Aqua);
    for (const auto& row : ContinuousRows)
        PaintBackground(ui.get()->*row.Value, Aqua);
    for (const auto& row : SwitchRows)
        PaintBackground(ui.get()->*row.Box, Aqua);
}

void TFormMain::RadioChannelClick(int index)
{
    Channel = uint8_t(index + 1);
    MarkParametersStale();
}

void TFormMain::TrackBarPitchBendChange(int position)
{
    // The label follows the bar even when the port refuses the message.
    ui->LabelPitchBendValue->setText(QString::number(position));
    Send(PitchBend(Channel, position));
}

void TFormMain::ContinuousChange(int row, int position)
{
    const TContinuousRow& r = ContinuousRows[row];
    QLabel* value = ui.get()->*r.Value;
    value->setText(QString::number(position));
    PaintBackground(value, r.Silver ? Silver : ButtonFace(value));
    (ControlChange.get()->*r.Setter)(position);
}

void TFormMain::ContinuousValueDblClick(int row)
{
    const TContinuousRow& r = ContinuousRows[row];
    (ControlChange.get()->*r.Setter)((ui.get()->*r.Bar)->value());
    QLabel* value = ui.get()->*r.Value;
    PaintBackground(value, r.Silver ? Silver : ButtonFace(value));
}

void TFormMain::ContinuousNameDblClick(int row)
{
    (ui.get()->*ContinuousRows[row].Bar)->setValue(TMainSettings().*ContinuousRows[row].Setting);
}

void TFormMain::SwitchChange(int row, bool on)
{
    QCheckBox* box = ui.get()->*SwitchRows[row].Box;
    PaintBackground(box, SwitchRows[row].Silver ? Silver : ButtonFace(box));
    (ControlChange.get()->*SwitchRows[row].Setter)(on);
}

void TFormMain::ButtonChannelPressureDown()
{
    Send(ChannelPressure(Channel, ui->ScrollBarChannelPressure->value()));
}

void TFormMain::ButtonChannelPressureUp()
{
    Send(ChannelPressure(Channel, 0));
}

void TFormMain::ButtonPolyPressureDown()
{
    for (int key = 60; key <= 77; ++key) {
        if (!KeySounding[key - 60])
            continue;
        const uint8_t note = uint8_t(key + Transpose);
        Send(PolyPressure(Channel, note, ui->ScrollBarPolyPressure->value()));
        PolyPressureNote = note;
        return;
    }
}

void TFormMain::ButtonPolyPressureUp()
{
    Send(PolyPressure(Channel, PolyPressureNote, 0));
}

bool TFormMain::PanelEvent(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonDblClick) {
        const auto action = DoubleClickActions.constFind(watched);
        if (action != DoubleClickActions.cend()) {
            (*action)();
            return watched != ui->SpinEditProgram;
        }
    }
    if (watched == ui->ButtonChannelPressure || watched == ui->ButtonPolyPressure) {
        // Any button presses and releases; a plain click does nothing else.
        const bool channel = watched == ui->ButtonChannelPressure;
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            channel ? ButtonChannelPressureDown() : ButtonPolyPressureDown();
            return false;
        }
        if (type == QEvent::MouseButtonRelease) {
            channel ? ButtonChannelPressureUp() : ButtonPolyPressureUp();
            return false;
        }
    }
    if (watched == ui->LabelProgram && type == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        LabelProgramClick();
        return true;
    }
    return false;
}

// --- program field and commands

void TFormMain::SendProgramChange()
{
    TSpinEdit* field = ui->SpinEditProgram;
    const QString text = field->Text();
    if (text.isEmpty())
        return;
    if (text.contains('.')) {
        ShowBox(tr("プログラム番号に小数点は使えません"));
        return;
    }
    const int program = field->Value() - ProgramRangeOffset();
    if (program < 0 || program > 127) {
        ShowBox(tr("プログラム番号の範囲外です"));
        return;
    }
    Send(ProgramChange(Channel, program));
    field->SetColor(White);
}

void TFormMain::RadioProgramRangeClick(int index)
{
    TSpinEdit* field = ui->SpinEditProgram;
    const QColor color = field->Color();
    const int value = field->Value();
    if (index == 1) {
        field->SetRange(1, 128);
        field->SetValue(value + 1);
    } else {
        field->SetRange(0, 127);
        field->SetValue(value - 1);
    }
    // A change of display does not make the program unsent.
    field->SetColor(color);
}

void TFormMain::SpinEditProgramChange()
{
    ui->SpinEditProgram->SetColor(Aqua);
}

void TFormMain::LabelProgramClick()
{
    if (FormProgramList)
        RunModal(*FormProgramList);
}

void TFormMain::ButtonGmSystemOnClick()
{
    Send(GmSystemOn());
    MarkParametersStale();
}

void TFormMain::ButtonGsResetClick()
{
    Send(GsReset(ui->SpinEditDeviceID->Value()));
    MarkParametersStale();
}

void TFormMain::ButtonAllNoteOffClick()
{
    for (const TShortMessage& message : AllNotesOff())
        Send(message);
    KeySounding.fill(false);
    for (int key = 60; key <= 77; ++key)
        PaintKey(key);
}

void TFormMain::ButtonSendAllClick()
{
    SendProgramChange();
    ControlChange->SendAll();
    for (const auto& row : ContinuousRows)
        PaintBackground(ui.get()->*row.Value, ButtonFace(ui.get()->*row.Value));
    for (const auto& row : SwitchRows)
        PaintBackground(ui.get()->*row.Box, ButtonFace(ui.get()->*row.Box));
}

void TFormMain::ButtonDefaultClick()
{
    // Each control that moves sends through its own handler at once; the rest only in the
    // final send-all. The order of the controls is the order of what goes out.
    const TMainSettings d;
    RadioProgramRangeGroup->button(d.MinimumValue)->setChecked(true);
    ui->SpinEditProgram->SetValue(d.Program + d.MinimumValue);
    SendProgramChange();

    ui->TrackBarPitchBend->setValue(0);  // the centre
    ui->ScrollBarTranspose->setValue(d.Transpose);
    ui->ScrollBarOnVelocity->setValue(d.OnVelocity);
    ui->ScrollBarOffVelocity->setValue(d.OffVelocity);
    ui->ScrollBarChannelPressure->setValue(d.ChannelPressure);
    ui->ScrollBarPolyPressure->setValue(d.PolyPressure);

    ui->ScrollBarModulation->setValue(d.Modulation);
    ui->ScrollBarBreath->setValue(d.Breath);
    ui->ScrollBarFoot->setValue(d.Foot);
    ui->CheckPortamento->setChecked(d.Portamento);
    ui->ScrollBarPortamentoTime->setValue(d.PortamentoTime);
    ui->ScrollBarVolume->setValue(d.Volume);
    ui->ScrollBarExpression->setValue(d.Expression);
    ui->ScrollBarPanpot->setValue(d.Panpot);
    ui->ScrollBarEffect1->setValue(d.Effect1);
    ui->ScrollBarEffect3->setValue(d.Effect3);
    ui->ScrollBarEffect4->setValue(d.Effect4);
    ui->CheckHold1->setChecked(d.Hold1);
    ui->CheckSostenuto->setChecked(d.Sostenuto);
    ui->CheckSoft->setChecked(d.Soft);
    ui->CheckMono->setChecked(d.Mono);
    ui->ScrollBarPitchBendRange->setValue(d.PitchBendRange);
    ui->ScrollBarMasterFineTune->setValue(d.MasterFineTune);
    ui->ScrollBarMasterCoarseTune->setValue(d.MasterCoarseTune);

    ui->SpinEditDeviceID->SetValue(DefaultGsDeviceNumber);
    ButtonSendAllClick();
}
