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
    const char* Word;
    const char* SliderHint;
};

const TContinuousRow ContinuousRows[] = {
    {&Ui::TFormMain::ScrollBarModulation, &Ui::TFormMain::LabelModulation, &Ui::TFormMain::LabelModulationValue, &TMainSettings::Modulation,
     &TControlChange::SetModulation, true, "モジュレーション", "モジュレーション（コントロール1）変更し，送信します"},
    {&Ui::TFormMain::ScrollBarBreath, &Ui::TFormMain::LabelBreath, &Ui::TFormMain::LabelBreathValue, &TMainSettings::Breath,
     &TControlChange::SetBreath, true, "ブレス・コントロール", "ブレス・コントロール（コントロール2）変更し，送信します"},
    {&Ui::TFormMain::ScrollBarFoot, &Ui::TFormMain::LabelFoot, &Ui::TFormMain::LabelFootValue, &TMainSettings::Foot,
     &TControlChange::SetFoot, true, "フット・コントロール", "フット・コントロール（コントロール4）変更し，送信します"},
    {&Ui::TFormMain::ScrollBarPortamentoTime, &Ui::TFormMain::LabelPortamento, &Ui::TFormMain::LabelPortamentoTimeValue, &TMainSettings::PortamentoTime,
     &TControlChange::SetPortamentoTime, true, "ポルタメント・タイム", "ポルタメント・タイム（コントロール5）を変更し，送信します"},
    {&Ui::TFormMain::ScrollBarVolume, &Ui::TFormMain::LabelVolume, &Ui::TFormMain::LabelVolumeValue, &TMainSettings::Volume,
     &TControlChange::SetVolume, true, "ボリューム", "ボリューム（コントロール7）を変更し，送信します"},
    {&Ui::TFormMain::ScrollBarPanpot, &Ui::TFormMain::LabelPanpot, &Ui::TFormMain::LabelPanpotValue, &TMainSettings::Panpot,
     &TControlChange::SetPanpot, true, "パンポット", "パンポット（コントロール10）を変更し，送信します"},
    {&Ui::TFormMain::ScrollBarExpression, &Ui::TFormMain::LabelExpression, &Ui::TFormMain::LabelExpressionValue, &TMainSettings::Expression,
     &TControlChange::SetExpression, true, "エクスプレッション", "エクスプレッション（コントロール11）を変更し，送信します"},
    {&Ui::TFormMain::ScrollBarEffect1, &Ui::TFormMain::LabelEffect1, &Ui::TFormMain::LabelEffect1Value, &TMainSettings::Effect1,
     &TControlChange::SetEffect1, true, "エフェクト1",
     "エフェクト1（外部エフェクト，コントロール91）を変更し，送信します。\r\nGS音源ではリバーブです"},
    {&Ui::TFormMain::ScrollBarEffect3, &Ui::TFormMain::LabelEffect3, &Ui::TFormMain::LabelEffect3Value, &TMainSettings::Effect3,
     &TControlChange::SetEffect3, true, "エフェクト3",
     "エフェクト3（コーラス，コントロール93）を変更し，送信します。\r\nGS音源ではコーラスです"},
    {&Ui::TFormMain::ScrollBarEffect4, &Ui::TFormMain::LabelEffect4, &Ui::TFormMain::LabelEffect4Value, &TMainSettings::Effect4,
     &TControlChange::SetEffect4, true, "エフェクト4",
     "エフェクト4（セレステ，コントロール94）を変更し，送信します。\r\nGS音源ではディレイです"},
    {&Ui::TFormMain::ScrollBarPitchBendRange, &Ui::TFormMain::LabelPitchBendRange, &Ui::TFormMain::LabelPitchBendRangeValue, &TMainSettings::PitchBendRange,
     &TControlChange::SetPitchBendRange, false, "ピッチベンド・レンジ", "ピッチベンド・レンジ（RPN0）を変更し，送信します"},
    {&Ui::TFormMain::ScrollBarMasterFineTune, &Ui::TFormMain::LabelMasterFineTune, &Ui::TFormMain::LabelmasterFineTuneValue, &TMainSettings::MasterFineTune,
     &TControlChange::SetMasterFineTune, false, "ファイン・チューン", "ファイン・チューン（RPN1）を変更し，送信します"},
    {&Ui::TFormMain::ScrollBarMasterCoarseTune, &Ui::TFormMain::LabelMasterCoarseTune, &Ui::TFormMain::LabelMasterCoarseTuneValue, &TMainSettings::MasterCoarseTune,
     &TControlChange::SetMasterCoarseTune, false, "コース・チューン", "コース・チューン（RPN2）を変更し，送信します"},
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

void TFormMain::ShowRejection(const QString& text)
{
    ShowBox(text);
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

void TFormMain::AssignPanelHints()
{
    ui->RadioChannel->setToolTip("MIDI出力の送信チャネルを指定します。\r\n"
                                 "送信チャネルを変更すると，音源とデータが異なる可能性があるパラメータのラベルが水色に変化します");
    ui->LabelPitchBend->setToolTip("ダブルクリックするとピッチベンドの値を標準値に設定します");
    ui->TrackBarPitchBend->setToolTip("ピッチベンドを送信します\r\nすべての音を出すのをやめると，標準値に戻ります");
    ui->LabelTranspose->setToolTip("ダブルクリックするとトランスポーズの値を標準値に設定します");
    ui->ScrollBarTranspose->setToolTip("ノートのキー番号を上下にずらします");
    ui->LabelOnVelocity->setToolTip("ダブルクリックするとノート・オン・ベロシティの値を標準値に設定します");
    ui->ScrollBarOnVelocity->setToolTip("ノート・オン・ベロシティの値を変更します");
    ui->LabelOffVelocity->setToolTip("ダブルクリックするとノート・オフ・ベロシティの値を標準値に設定します");
    ui->ScrollBarOffVelocity->setToolTip("ノート・オフ・ベロシティの値を変更します");
    ui->ButtonChannelPressure->setToolTip("チャンネル・アフタータッチを送信します。強さは右のスライダーで設定します");
    ui->ScrollBarChannelPressure->setToolTip("チャンネル・アフタータッチの強さを変更します");
    ui->LabelChannelPressureValue->setToolTip("ダブルクリックするとチャンネル・アフタータッチの強さを標準値に設定します");
    ui->ButtonPolyPressure->setToolTip("ノート独立のアフタータッチを送信します。発音している一番下のノートで送ります");
    ui->ScrollBarPolyPressure->setToolTip("ノート独立アフタータッチの強さを変更します");
    ui->LabelPolyPressureValue->setToolTip("ダブルクリックするとノート独立アフタータッチの強さを標準値に設定します");
    ui->CheckPortamento->setToolTip("クリックするとポルタメントのオン／オフ（コントロール65）を送信します");
    ui->CheckHold1->setToolTip("クリックするとホールド（サスティン）のオン／オフ（コントロール64）を送信します");
    ui->CheckSostenuto->setToolTip("クリックするとソステヌートのオン／オフ（コントロール66）を送信します");
    ui->CheckSoft->setToolTip("クリックするとソフト・ペダルのオン／オフ（コントロール67）を送信します");
    ui->CheckMono->setToolTip("クリックするとモノ・モードのオン／オフ（コントロール126）を送信します");
    for (const auto& row : ContinuousRows) {
        const QString word = QString::fromUtf8(row.Word);
        (ui.get()->*row.Name)->setToolTip("ダブルクリックすると" + word + "を標準値に設定します");
        (ui.get()->*row.Value)->setToolTip("ダブルクリックすると" + word + "の現在の値を送信します");
        (ui.get()->*row.Bar)->setToolTip(QString::fromUtf8(row.SliderHint));
    }
    ui->LabelProgram->setToolTip("クリックすると現在表示されているプログラム・チェンジを送信し，\r\n"
                                 "「プログラムの選択」ダイアログを表示します");
    ui->SpinEditProgram->setToolTip("プログラム・チェンジの番号を指定します。\r\n"
                                    "Enterキーかダブルクリックでプログラム・チェンジを送信します");
    ui->RadioProgramRange->setToolTip("プログラム番号の範囲を選択します。\r\n音源の機種によって選択してください");
    ui->ButtonGmSystemOn->setToolTip("GMシステム・オンを送信します。デバイスIDは7F（ブロードキャスト）です");
    ui->ButtonGsReset->setToolTip("GSリセットを送信します。デバイスIDは下の欄で設定します");
    ui->LabelDeviceID->setToolTip("ダブルクリックするとデバイスIDを標準値に設定します");
    ui->SpinEditDeviceID->setToolTip("GSリセット送信時のデバイスIDを指定します");
    ui->ButtonAllNoteOff->setToolTip("全チャネルにオール・ノート・オフ，オール・サウンド・オフを送り，\r\n"
                                     "本プログラムの内部データや鍵盤の色をリセットします");
    ui->ButtonDefault->setToolTip("すべてのコントロール・パラメータとプログラム・チェンジを標準値に設定します");
    ui->ButtonSendAll->setToolTip("すべてのコントロール・パラメータとプログラム・チェンジを送信します");
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
        ShowBox("プログラム番号に小数点は使えません");
        return;
    }
    const int program = field->Value() - ProgramRangeOffset();
    if (program < 0 || program > 127) {
        ShowBox("プログラム番号の範囲外です");
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
