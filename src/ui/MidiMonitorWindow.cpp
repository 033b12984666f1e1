#include "MidiMonitorWindow.h"

#include "Dialogs.h"
#include "KindColours.h"
#include "MessageLog.h"
#include "MidiFiles.h"
#include "MonitorExport.h"
#include "Session.h"
#include "Settings.h"
#include "StandardMidiFile.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// By TMessageGroup.
const char* const GroupNames[MessageGroupCount] = {
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "ノート"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "コントロール"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "プログラム"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "プレッシャー"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "ピッチベンド"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "エクスクルーシブ"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "システム・コモン"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "リアルタイム"),
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "その他"),
};
const char* const WaitingText = QT_TRANSLATE_NOOP("TMidiMonitorWindow", "一時停止中：%L1件が表示を待っています");
const char* const MidiFileFilter =
    QT_TRANSLATE_NOOP("TMidiMonitorWindow", "スタンダードMIDIファイル(*.mid)|*.mid|すべてのファイル(*.*)|*.*");
const char* const TextFileFilter = QT_TRANSLATE_NOOP("TMidiMonitorWindow", "テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*");

TRgb RgbOf(const QColor& colour)
{
    return {uint8_t(colour.red()), uint8_t(colour.green()), uint8_t(colour.blue())};
}

// Each row's text in its kind's colour, worked out against the table's own background so it
// reads in light and dark themes; a selected row keeps the theme's highlight colours.
class TKindColourDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor base = option->palette.color(QPalette::Base);
        if (base != Background) {
            Background = base;
            Palette = KindPalette(RgbOf(base));
        }
        const QVariant group = index.data(TMonitorTableModel::GroupRole);
        if (!group.isValid())
            return;
        const TRgb& c = Palette[TMessageGroup(group.toInt())];
        option->palette.setColor(QPalette::Text, QColor(c.Red, c.Green, c.Blue));
    }

private:
    mutable QColor Background;
    mutable TKindPalette Palette{};
};

QCheckBox* NewCheckBox(const QString& text, QWidget* parent, bool checked = true)
{
    auto* box = new QCheckBox(text, parent);
    box->setChecked(checked);
    box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return box;
}

} // namespace

TMidiMonitorWindow::TMidiMonitorWindow(TSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), Session(session),
      FModel(std::make_unique<TMonitorTableModel>(session.Log().Record()))
{
    setObjectName(QStringLiteral("MidiMonitorWindow"));
    setWindowTitle(tr("MIDIモニター"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildControls();
    connect(&Session.Log(), &TMessageLog::Changed, this, [this] { RecordChanged(); });
    connect(&Session.Log(), &TMessageLog::RecordsSentChanged, RecordSentBox, &QCheckBox::setChecked);
    connect(FModel.get(), &TMonitorTableModel::WaitingCountChanged, this, [this] { ShowWaiting(); });
    FModel->RecordChanged();
}

TMidiMonitorWindow::~TMidiMonitorWindow()
{
    // The view goes before the model it shows.
    delete FTable;
}

void TMidiMonitorWindow::BuildControls()
{
    auto* layout = new QVBoxLayout(this);

    // Filters: kinds, channels, directions, text; in rows short enough for a small screen.
    auto* kinds = new QHBoxLayout;
    auto* row = new QHBoxLayout;
    for (int group = 0; group < MessageGroupCount; ++group) {
        QCheckBox* box = NewCheckBox(tr(GroupNames[group]), this);
        box->setObjectName(QStringLiteral("MonitorGroup%1").arg(group));
        box->setAccessibleDescription(tr("この種類のメッセージを表に表示します"));
        connect(box, &QCheckBox::toggled, this, [this] { FilterChanged(); });
        (group < 5 ? kinds : row)->addWidget(box);
        GroupBoxes[group] = box;
    }
    kinds->addStretch();
    layout->addLayout(kinds);

    ChannelButton = new QToolButton(this);
    ChannelButton->setObjectName(QStringLiteral("MonitorChannels"));
    ChannelButton->setText(tr("チャンネル(&H)"));
    ChannelButton->setAccessibleName(tr("表示するチャンネル"));
    ChannelButton->setPopupMode(QToolButton::InstantPopup);
    auto* channels = new QMenu(ChannelButton);
    channels->setObjectName(QStringLiteral("MonitorChannelMenu"));
    QAction* all = channels->addAction(tr("すべて表示"));
    all->setObjectName(QStringLiteral("MonitorChannelAll"));
    channels->addSeparator();
    for (int channel = 1; channel <= 16; ++channel) {
        QAction* action = channels->addAction(tr("チャンネル %1").arg(channel));
        action->setObjectName(QStringLiteral("MonitorChannel%1").arg(channel));
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::toggled, this, [this] { FilterChanged(); });
        ChannelActions[channel - 1] = action;
    }
    connect(all, &QAction::triggered, this, [this] {
        for (QAction* action : ChannelActions) {
            const QSignalBlocker quiet(action);
            action->setChecked(true);
        }
        FilterChanged();
    });
    ChannelButton->setMenu(channels);
    row->addSpacing(12);
    row->addWidget(ChannelButton);

    row->addStretch();
    layout->addLayout(row);
    row = new QHBoxLayout;

    auto* textLabel = new QLabel(tr("意味で絞り込み(&F):"), this);
    TextFilter = new QLineEdit(this);
    TextFilter->setObjectName(QStringLiteral("MonitorTextFilter"));
    TextFilter->setClearButtonEnabled(true);
    TextFilter->setAccessibleName(tr("意味で絞り込み"));
    textLabel->setBuddy(TextFilter);
    connect(TextFilter, &QLineEdit::textChanged, this, [this] { FilterChanged(); });
    row->addWidget(textLabel);
    row->addWidget(TextFilter, 1);
    layout->addLayout(row);

    // The table.
    FTable = new QTableView(this);
    FTable->setObjectName(QStringLiteral("MonitorTable"));
    FTable->setAccessibleName(tr("MIDIメッセージの一覧"));
    FTable->setModel(FModel.get());
    FTable->setItemDelegate(new TKindColourDelegate(FTable));
    FTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTable->setWordWrap(false);
    FTable->setAlternatingRowColors(false);
    // Millions of rows: every row the same height, and no header that sizes each one.
    FTable->verticalHeader()->hide();
    FTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FTable->verticalHeader()->setDefaultSectionSize(FTable->fontMetrics().height() + 4);
    FTable->horizontalHeader()->setSectionsMovable(true);
    FTable->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for the header's own words in either language, and for a usual cell.
    const int widths[TMonitorTableModel::ColumnCount] = {80, 80, 50, 40, 150, 300, 200};
    for (int column = 0; column < TMonitorTableModel::ColumnCount; ++column)
        FTable->setColumnWidth(column, std::max(widths[column], FTable->horizontalHeader()->sectionSizeHint(column)));
    layout->addWidget(FTable, 1);

    // Pause, clear, what is recorded and shown, exports.
    auto* bottom = new QHBoxLayout;
    PauseButton = new QPushButton(tr("一時停止(&P)"), this);
    PauseButton->setObjectName(QStringLiteral("MonitorPause"));
    PauseButton->setCheckable(true);
    PauseButton->setAccessibleName(tr("一時停止"));
    connect(PauseButton, &QPushButton::toggled, this, [this](bool paused) {
        FModel->SetPaused(paused);
        ShowWaiting();
        if (!paused && FollowBox->isChecked())
            FTable->scrollToBottom();
    });
    bottom->addWidget(PauseButton);
    auto* clear = new QPushButton(tr("クリア(&C)"), this);
    clear->setObjectName(QStringLiteral("MonitorClear"));
    clear->setAccessibleName(tr("クリア"));
    clear->setAccessibleDescription(tr("記録とバイナリ・ページのモニターを空にします"));
    connect(clear, &QPushButton::clicked, this, [this] { Session.Log().Clear(); });
    bottom->addWidget(clear);
    WaitingLabel = new QLabel(this);
    WaitingLabel->setObjectName(QStringLiteral("MonitorWaiting"));
    bottom->addWidget(WaitingLabel, 1);
    auto* exportText = new QPushButton(tr("テキスト保存(&X)..."), this);
    exportText->setObjectName(QStringLiteral("MonitorExportText"));
    exportText->setAccessibleName(tr("表示中の行をテキストで保存"));
    connect(exportText, &QPushButton::clicked, this, [this] { RunReported([&] { ExportText(); }); });
    bottom->addWidget(exportText);
    auto* exportMidi = new QPushButton(tr("MIDIファイル保存(&M)..."), this);
    exportMidi->setObjectName(QStringLiteral("MonitorExportMidi"));
    exportMidi->setAccessibleName(tr("記録をスタンダードMIDIファイルで保存"));
    connect(exportMidi, &QPushButton::clicked, this, [this] { RunReported([&] { ExportMidiFile(); }); });
    bottom->addWidget(exportMidi);
    layout->addLayout(bottom);
    bottom = new QHBoxLayout;

    IncomingBox = NewCheckBox(tr("入力(&I)"), this);
    IncomingBox->setObjectName(QStringLiteral("MonitorIncoming"));
    OutgoingBox = NewCheckBox(tr("出力(&O)"), this);
    OutgoingBox->setObjectName(QStringLiteral("MonitorOutgoing"));
    for (QCheckBox* box : {IncomingBox, OutgoingBox}) {
        connect(box, &QCheckBox::toggled, this, [this] { FilterChanged(); });
        bottom->addWidget(box);
    }
    bottom->addSpacing(12);
    FollowBox = NewCheckBox(tr("最新の行を追う(&L)"), this);
    FollowBox->setObjectName(QStringLiteral("MonitorFollow"));
    bottom->addWidget(FollowBox);
    WallClockBox = NewCheckBox(tr("時計の時刻(&T)"), this, false);
    WallClockBox->setObjectName(QStringLiteral("MonitorWallClock"));
    connect(WallClockBox, &QCheckBox::toggled, this, [this](bool on) {
        FModel->SetTimeFormat(on ? TMonitorTableModel::TTimeFormat::WallClock : TMonitorTableModel::TTimeFormat::SinceClear);
    });
    bottom->addWidget(WallClockBox);
    RecordSentBox = NewCheckBox(tr("送信も記録(&S)"), this, Session.Log().RecordsSent());
    RecordSentBox->setObjectName(QStringLiteral("MonitorRecordSent"));
    connect(RecordSentBox, &QCheckBox::toggled, this, [this](bool on) { Session.Log().SetRecordsSent(on); });
    bottom->addWidget(RecordSentBox);
    bottom->addStretch();

    layout->addLayout(bottom);
    ShowWaiting();
}

void TMidiMonitorWindow::FilterChanged()
{
    TMessageFilter filter;
    for (int group = 0; group < MessageGroupCount; ++group)
        filter.ShowGroup(TMessageGroup(group), GroupBoxes[group]->isChecked());
    for (int channel = 1; channel <= 16; ++channel)
        filter.ShowChannel(channel, ChannelActions[channel - 1]->isChecked());
    filter.Incoming = IncomingBox->isChecked();
    filter.Outgoing = OutgoingBox->isChecked();
    filter.Text = TextFilter->text();
    if (filter == FModel->Filter())
        return;
    FModel->SetFilter(filter);
    if (FollowBox->isChecked())
        FTable->scrollToBottom();
}

// Once per turn of the event loop however many messages came.
void TMidiMonitorWindow::RecordChanged()
{
    FModel->RecordChanged();
    if (FollowBox->isChecked() && !FModel->Paused() && isVisible())
        FTable->scrollToBottom();
}

void TMidiMonitorWindow::ShowWaiting()
{
    WaitingLabel->setText(FModel->Paused() ? tr(WaitingText).arg(qulonglong(FModel->WaitingCount())) : QString());
}

void TMidiMonitorWindow::ExportText()
{
    const QString path = ExecuteFileDialog(this, {true, QStringLiteral("txt"), tr(TextFileFilter), TextFolder});
    if (path.isEmpty())
        return;
    TextFolder = FolderOf(path);
    WriteWholeFile(path, [&](QIODevice& file) { return WriteShownRows(*FModel, file); });
}

void TMidiMonitorWindow::ExportMidiFile()
{
    const QString path = ExecuteFileDialog(this, {true, QStringLiteral("mid"), tr(MidiFileFilter), MidiFolder});
    if (path.isEmpty())
        return;
    MidiFolder = FolderOf(path);
    WriteWholeFile(path, StandardMidiFile(Session.Log().Record()));
}

void TMidiMonitorWindow::SetProgramNames(TProgramNameLookup lookup)
{
    TMeaningOptions options = FModel->MeaningOptions();
    options.ProgramName = std::move(lookup);
    FModel->SetMeaningOptions(std::move(options));
}

void TMidiMonitorWindow::SetProgramNumberBase(int programBase)
{
    TMeaningOptions options = FModel->MeaningOptions();
    if (options.ProgramNumberBase == programBase)
        return;
    options.ProgramNumberBase = programBase;
    FModel->SetMeaningOptions(std::move(options));
}

void TMidiMonitorWindow::Restore(const TMonitorSettings& settings)
{
    resize(settings.Width, settings.Height);
    move(settings.Left, settings.Top);
    QHeaderView* header = FTable->horizontalHeader();
    for (int column = 0; column < settings.ColumnWidths.size(); ++column)
        FTable->setColumnWidth(column, settings.ColumnWidths[column]);
    for (int visual = 0; visual < settings.ColumnOrder.size(); ++visual)
        header->moveSection(header->visualIndex(settings.ColumnOrder[visual]), visual);
    WallClockBox->setChecked(settings.WallClock);
    Session.Log().SetRecordsSent(settings.RecordSent);
}

void TMidiMonitorWindow::Collect(TMonitorSettings& settings) const
{
    // Top and Left are the frame's corner, as move() takes them.
    const QRect place(pos(), size());
    settings.Top = place.top();
    settings.Left = place.left();
    settings.Height = place.height();
    settings.Width = place.width();
    const QHeaderView* header = FTable->horizontalHeader();
    settings.ColumnWidths.clear();
    settings.ColumnOrder.clear();
    for (int column = 0; column < TMonitorTableModel::ColumnCount; ++column) {
        settings.ColumnWidths.append(header->sectionSize(column));
        settings.ColumnOrder.append(header->logicalIndex(column));
    }
    settings.WallClock = WallClockBox->isChecked();
    settings.RecordSent = Session.Log().RecordsSent();
}

void TMidiMonitorWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FollowBox->isChecked() && !FModel->Paused())
        FTable->scrollToBottom();
}
