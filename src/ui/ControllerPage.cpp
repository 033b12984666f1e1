#include "ControllerPage.h"

#include "Dialogs.h"
#include "Keyboard.h"
#include "MidiMessages.h"
#include "Session.h"
#include "SpinEdit.h"
#include "Widgets.h"
#include "ui_ControllerPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The page as the window's default size shows it: the room captions may take.
const QRect DesignedPage(0, 0, 628, 362);

const QColor Aqua(0, 255, 255);
const QColor Silver(192, 192, 192);
const QColor White(255, 255, 255);

// One of the thirteen continuous parameters: slider, name label, value label, its field in the
// settings (the value restored, and the default a double-click on the name sets), setter.
struct TContinuousRow {
    QScrollBar* Ui::TControllerPage::*Bar;
    QLabel* Ui::TControllerPage::*Name;
    QLabel* Ui::TControllerPage::*Value;
    int TMainSettings::*Setting;
    void (TControlChange::*Setter)(int);
    bool Silver;  // controllers paint silver, registered parameters button face
};

const TContinuousRow ContinuousRows[] = {
    {&Ui::TControllerPage::ScrollBarModulation, &Ui::TControllerPage::LabelModulation, &Ui::TControllerPage::LabelModulationValue, &TMainSettings::Modulation,
     &TControlChange::SetModulation, true},
    {&Ui::TControllerPage::ScrollBarBreath, &Ui::TControllerPage::LabelBreath, &Ui::TControllerPage::LabelBreathValue, &TMainSettings::Breath,
     &TControlChange::SetBreath, true},
    {&Ui::TControllerPage::ScrollBarFoot, &Ui::TControllerPage::LabelFoot, &Ui::TControllerPage::LabelFootValue, &TMainSettings::Foot,
     &TControlChange::SetFoot, true},
    {&Ui::TControllerPage::ScrollBarPortamentoTime, &Ui::TControllerPage::LabelPortamento, &Ui::TControllerPage::LabelPortamentoTimeValue, &TMainSettings::PortamentoTime,
     &TControlChange::SetPortamentoTime, true},
    {&Ui::TControllerPage::ScrollBarVolume, &Ui::TControllerPage::LabelVolume, &Ui::TControllerPage::LabelVolumeValue, &TMainSettings::Volume,
     &TControlChange::SetVolume, true},
    {&Ui::TControllerPage::ScrollBarPanpot, &Ui::TControllerPage::LabelPanpot, &Ui::TControllerPage::LabelPanpotValue, &TMainSettings::Panpot,
     &TControlChange::SetPanpot, true},
    {&Ui::TControllerPage::ScrollBarExpression, &Ui::TControllerPage::LabelExpression, &Ui::TControllerPage::LabelExpressionValue, &TMainSettings::Expression,
     &TControlChange::SetExpression, true},
    {&Ui::TControllerPage::ScrollBarEffect1, &Ui::TControllerPage::LabelEffect1, &Ui::TControllerPage::LabelEffect1Value, &TMainSettings::Effect1,
     &TControlChange::SetEffect1, true},
    {&Ui::TControllerPage::ScrollBarEffect3, &Ui::TControllerPage::LabelEffect3, &Ui::TControllerPage::LabelEffect3Value, &TMainSettings::Effect3,
     &TControlChange::SetEffect3, true},
    {&Ui::TControllerPage::ScrollBarEffect4, &Ui::TControllerPage::LabelEffect4, &Ui::TControllerPage::LabelEffect4Value, &TMainSettings::Effect4,
     &TControlChange::SetEffect4, true},
    {&Ui::TControllerPage::ScrollBarPitchBendRange, &Ui::TControllerPage::LabelPitchBendRange, &Ui::TControllerPage::LabelPitchBendRangeValue, &TMainSettings::PitchBendRange,
     &TControlChange::SetPitchBendRange, false},
    {&Ui::TControllerPage::ScrollBarMasterFineTune, &Ui::TControllerPage::LabelMasterFineTune, &Ui::TControllerPage::LabelMasterFineTuneValue, &TMainSettings::MasterFineTune,
     &TControlChange::SetMasterFineTune, false},
    {&Ui::TControllerPage::ScrollBarMasterCoarseTune, &Ui::TControllerPage::LabelMasterCoarseTune, &Ui::TControllerPage::LabelMasterCoarseTuneValue, &TMainSettings::MasterCoarseTune,
     &TControlChange::SetMasterCoarseTune, false},
};
constexpr int ContinuousCount = int(std::size(ContinuousRows));
constexpr int FirstRegisteredRow = 10;  // pitch-bend range, fine and coarse tune follow the controllers

// The five switches: check box, its field in the settings and setter; only portamento paints
// silver.
struct TSwitchRow {
    QCheckBox* Ui::TControllerPage::*Box;
    bool TMainSettings::*Setting;
    void (TControlChange::*Setter)(bool);
    bool Silver;
};

const TSwitchRow SwitchRows[] = {
    {&Ui::TControllerPage::CheckHold1, &TMainSettings::Hold1, &TControlChange::SetHold1, false},
    {&Ui::TControllerPage::CheckPortamento, &TMainSettings::Portamento, &TControlChange::SetPortamento, true},
    {&Ui::TControllerPage::CheckSostenuto, &TMainSettings::Sostenuto, &TControlChange::SetSostenuto, false},
    {&Ui::TControllerPage::CheckSoft, &TMainSettings::Soft, &TControlChange::SetSoft, false},
    {&Ui::TControllerPage::CheckMono, &TMainSettings::Mono, &TControlChange::SetMono, false},
};

// The desktop's button face, as the page around an indicator has it: a check box fills with its
// own button colour, which is aqua while it is stale.
QColor ButtonFace(const QWidget* widget)
{
    return widget->parentWidget()->palette().color(QPalette::Button);
}

} // namespace

TControllerPage::TControllerPage(TSession& session, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TControllerPage>()), Session(session)
{
    ui->setupUi(this);
    FKeyboard = new TKeyboard(Session, *ui->PanelNote);
    // The last key up returns the pitch bend to its centre; the bar sends it only when it was
    // elsewhere.
    FKeyboard->OnAllReleased = [this] { ui->TrackBarPitchBend->setValue(0); };
    Session.OnRejection = [this](TControlParameter parameter) { ShowBox(RejectionText(parameter)); };
    SetUpPanel();
}

TControllerPage::~TControllerPage()
{
    Session.OnRejection = nullptr;
}

void TControllerPage::ShowBox(const QString& text)
{
    ShowMessage(window(), text);
}

const QString& TControllerPage::SettingsPath() const
{
    return Session.SettingsPath();
}

const QString& TControllerPage::ProgramFolder() const
{
    return Session.ProgramFolder();
}

bool TControllerPage::HintsShown() const
{
    // The application-wide switch the function menu's check mark sets.
    return ::HintsShown();
}

void TControllerPage::KeyNoteOn(int key)
{
    FKeyboard->NoteOn(key);
}

void TControllerPage::KeyNoteOff(int key)
{
    FKeyboard->NoteOff(key);
}

QString TControllerPage::RejectionText(TControlParameter parameter)
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

int TControllerPage::ShownProgram() const
{
    return ui->SpinEditProgram->Value() - ProgramRangeOffset();
}

void TControllerPage::ShowProgram(int program)
{
    ui->SpinEditProgram->SetText(QString::number(program + ProgramRangeOffset()));
}

int TControllerPage::ProgramRangeOffset() const
{
    return RadioProgramRangeGroup->checkedId() == 1 ? 1 : 0;
}

void TControllerPage::SetUpPanel()
{
    // The channel: sixteen items in one column; a report only when the selection changes.
    auto* channelLayout = new QVBoxLayout(ui->RadioChannel);
    channelLayout->setContentsMargins(6, 0, 2, 0);
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
    rangeLayout->setContentsMargins(6, 0, 2, 0);
    rangeLayout->setSpacing(0);
    RadioProgramRangeGroup = new QButtonGroup(this);
    // The full-width tilde is Japanese typography; English uses the en dash.
    const char* const ranges[] = {QT_TR_NOOP("0～127"), QT_TR_NOOP("1～128")};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(tr(ranges[i]), ui->RadioProgramRange);
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
    noteParameter(ui->ScrollBarTranspose, ui->LabelTransposeValue, [this](int p) { Session.SetTranspose(p); });
    noteParameter(ui->ScrollBarOnVelocity, ui->LabelOnVelocityValue, [this](int p) { Session.SetOnVelocity(p); });
    noteParameter(ui->ScrollBarOffVelocity, ui->LabelOffVelocityValue, [this](int p) { Session.SetOffVelocity(p); });
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
    for (auto* bar : findChildren<QAbstractSlider*>())
        bar->setContextMenuPolicy(Qt::NoContextMenu);

    ui->SpinEditDeviceID->SetTypingEnabled(false);
    connect(ui->SpinEditProgram, &TSpinEdit::TextChanged, this, [this] { SpinEditProgramChange(); });
    connect(ui->SpinEditProgram, &TSpinEdit::EnterPressed, this, [this] { RunReported([&] { SendProgramChange(); }); });
    connect(ui->SpinEditProgram, &TSpinEdit::DoubleClicked, this, [this] { RunReported([&] { SendProgramChange(); }); });

    auto click = [this](QPushButton* button, void (TControllerPage::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunReported([&] { (this->*handler)(); }); });
    };
    click(ui->ButtonGmSystemOn, &TControllerPage::ButtonGmSystemOnClick);
    click(ui->ButtonGsReset, &TControllerPage::ButtonGsResetClick);
    click(ui->ButtonAllNoteOff, &TControllerPage::ButtonAllNoteOffClick);
    click(ui->ButtonDefault, &TControllerPage::ButtonDefaultClick);
    click(ui->ButtonSendAll, &TControllerPage::ButtonSendAllClick);

    AttachTestNote();
    SetPanelTabOrder();

    // The layout was drawn for a narrower face than most machines have.
    FitCaptionsToTheirPlaces(this, DesignedPage);
}

void TControllerPage::SetPanelTabOrder()
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

void TControllerPage::Restore(const TMainSettings& settings)
{
    ui->ScrollBarTranspose->setRange(-60, 50);
    ui->ScrollBarTranspose->setValue(settings.Transpose);
    Session.SetTranspose(settings.Transpose);
    ui->ScrollBarOnVelocity->setValue(settings.OnVelocity);
    Session.SetOnVelocity(settings.OnVelocity);
    ui->ScrollBarOffVelocity->setValue(settings.OffVelocity);
    Session.SetOffVelocity(settings.OffVelocity);
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
        RunReported([&] { (Session.ControlChange().*ContinuousRows[row].Setter)(value); });
    };
    for (int row = 0; row < FirstRegisteredRow; ++row)
        restoreContinuous(row);
    for (const TSwitchRow& row : SwitchRows) {
        QCheckBox* box = ui.get()->*row.Box;
        box->setChecked(settings.*row.Setting);
        RunReported([&] { (Session.ControlChange().*row.Setter)(box->isChecked()); });
    }
    for (int row = FirstRegisteredRow; row < ContinuousCount; ++row)
        restoreContinuous(row);
}

void TControllerPage::Collect(TMainSettings& s) const
{
    s.Channel = Session.Channel();
    s.OnVelocity = Session.OnVelocity();
    s.OffVelocity = Session.OffVelocity();
    s.Transpose = Session.Transpose();
    s.ChannelPressure = ui->ScrollBarChannelPressure->value();
    s.PolyPressure = ui->ScrollBarPolyPressure->value();

    s.MinimumValue = ProgramRangeOffset();
    s.Program = ui->SpinEditProgram->Value() - ProgramRangeOffset();

    const TControlChange& c = Session.ControlChange();
    s.Modulation = c.Modulation;
    s.Breath = c.Breath;
    s.Foot = c.Foot;
    s.PortamentoTime = c.PortamentoTime;
    s.Volume = c.Volume;
    s.Panpot = c.Panpot;
    s.Expression = c.Expression;
    s.Effect1 = c.Effect1;
    s.Effect3 = c.Effect3;
    s.Effect4 = c.Effect4;
    s.Hold1 = c.Hold1;
    s.Portamento = c.Portamento;
    s.Sostenuto = c.Sostenuto;
    s.Soft = c.Soft;
    s.Mono = c.Mono;
    s.PitchBendRange = c.PitchBendRange;
    s.MasterFineTune = c.MasterFineTune;
    s.MasterCoarseTune = c.MasterCoarseTune;
}

void TControllerPage::RestoreChannel(int channel)
{
    Session.SetChannel(channel);
    // The form starts with no item selected, so this always runs the channel selection.
    RadioChannelGroup->button(channel - 1)->setChecked(true);
}

void TControllerPage::MarkParametersStale()
{
    ui->SpinEditProgram->SetColor(Aqua);
    for (const auto& row : ContinuousRows)
        PaintBackground(ui.get()->*row.Value, Aqua);
    for (const auto& row : SwitchRows)
        PaintBackground(ui.get()->*row.Box, Aqua);
}

void TControllerPage::RadioChannelClick(int index)
{
    Session.SetChannel(index + 1);
    MarkParametersStale();
}

void TControllerPage::TrackBarPitchBendChange(int position)
{
    // The label follows the bar even when the port refuses the message.
    ui->LabelPitchBendValue->setText(QString::number(position));
    Session.Send(PitchBend(Session.Channel(), position));
}

void TControllerPage::ContinuousChange(int row, int position)
{
    const TContinuousRow& r = ContinuousRows[row];
    QLabel* value = ui.get()->*r.Value;
    value->setText(QString::number(position));
    PaintBackground(value, r.Silver ? Silver : ButtonFace(value));
    (Session.ControlChange().*r.Setter)(position);
}

void TControllerPage::ContinuousValueDblClick(int row)
{
    const TContinuousRow& r = ContinuousRows[row];
    (Session.ControlChange().*r.Setter)((ui.get()->*r.Bar)->value());
    QLabel* value = ui.get()->*r.Value;
    PaintBackground(value, r.Silver ? Silver : ButtonFace(value));
}

void TControllerPage::ContinuousNameDblClick(int row)
{
    (ui.get()->*ContinuousRows[row].Bar)->setValue(TMainSettings().*ContinuousRows[row].Setting);
}

void TControllerPage::SwitchChange(int row, bool on)
{
    QCheckBox* box = ui.get()->*SwitchRows[row].Box;
    PaintBackground(box, SwitchRows[row].Silver ? Silver : ButtonFace(box));
    (Session.ControlChange().*SwitchRows[row].Setter)(on);
}

void TControllerPage::ButtonChannelPressureDown()
{
    Session.Send(ChannelPressure(Session.Channel(), ui->ScrollBarChannelPressure->value()));
}

void TControllerPage::ButtonChannelPressureUp()
{
    Session.Send(ChannelPressure(Session.Channel(), 0));
}

void TControllerPage::ButtonPolyPressureDown()
{
    for (int key = 60; key <= 77; ++key) {
        if (!FKeyboard->Sounding(key))
            continue;
        const uint8_t note = uint8_t(key + Session.Transpose());
        Session.Send(PolyPressure(Session.Channel(), note, ui->ScrollBarPolyPressure->value()));
        PolyPressureNote = note;
        return;
    }
}

void TControllerPage::ButtonPolyPressureUp()
{
    Session.Send(PolyPressure(Session.Channel(), PolyPressureNote, 0));
}

bool TControllerPage::eventFilter(QObject* watched, QEvent* event)
{
    bool handled = false;
    RunReported([&] { handled = TestNoteEvent(watched, event) || PanelEvent(watched, event); });
    return handled;
}

bool TControllerPage::PanelEvent(QObject* watched, QEvent* event)
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

void TControllerPage::SendProgramChange()
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
    Session.Send(ProgramChange(Session.Channel(), program));
    field->SetColor(White);
}

void TControllerPage::RadioProgramRangeClick(int index)
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

void TControllerPage::SpinEditProgramChange()
{
    ui->SpinEditProgram->SetColor(Aqua);
}

void TControllerPage::LabelProgramClick()
{
    if (ProgramList)
        RunModal(*ProgramList);
}

void TControllerPage::ButtonGmSystemOnClick()
{
    Session.Send(GmSystemOn());
    MarkParametersStale();
}

void TControllerPage::ButtonGsResetClick()
{
    Session.Send(GsReset(ui->SpinEditDeviceID->Value()));
    MarkParametersStale();
}

void TControllerPage::ButtonAllNoteOffClick()
{
    for (const TShortMessage& message : AllNotesOff())
        Session.Send(message);
    FKeyboard->RestAll();
}

void TControllerPage::ButtonSendAllClick()
{
    SendProgramChange();
    Session.ControlChange().SendAll();
    for (const auto& row : ContinuousRows)
        PaintBackground(ui.get()->*row.Value, ButtonFace(ui.get()->*row.Value));
    for (const auto& row : SwitchRows)
        PaintBackground(ui.get()->*row.Box, ButtonFace(ui.get()->*row.Box));
}

void TControllerPage::ButtonDefaultClick()
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

// --- the right-button test note

void TControllerPage::AttachTestNote()
{
    TestNoteTargets.insert(this);
    for (QLabel* label : findChildren<QLabel*>())
        TestNoteTargets.insert(label);
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui->CheckHold1, ui->CheckSostenuto, ui->CheckSoft, ui->CheckMono, ui->ButtonGmSystemOn,
             ui->ButtonGsReset, ui->ButtonAllNoteOff, ui->ButtonDefault, ui->ButtonSendAll})
        TestNoteTargets.insert(control);
    for (QObject* target : std::as_const(TestNoteTargets))
        target->installEventFilter(this);
}

bool TControllerPage::TestNoteEvent(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return false;
    if (!TestNoteTargets.contains(watched))
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton)
        return false;
    if (watched == this) {
        // Qt hands a press that a control ignored on to the page; only the page's own
        // background plays the note.
        QWidget* child = childAt(mouse->position().toPoint());
        if (child && child != this)
            return false;
    }
    if (type == QEvent::MouseButtonRelease)
        FKeyboard->NoteOff(60);
    else
        FKeyboard->NoteOn(60);
    return true;  // handled here: the page behind must not play it a second time
}
