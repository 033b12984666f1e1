#include "Session.h"

#include "IniFile.h"
#include "MidiFiles.h"
#include "Widgets.h"

#include <QDir>
#include <QFileInfo>

#include <stdexcept>

namespace {

// The settings file sits beside a program run from its build folder. An installed program (its
// name lists in ../share/kelvane rather than beside it) keeps it in the user's configuration
// folder, even when its own folder could be written (by root, say), as does a program whose
// folder is not ours to write.
QString SettingsFolder(const QString& programFolder)
{
    const QDir program(programFolder);
    const bool installed = !QFileInfo::exists(program.filePath(QStringLiteral("note.ini")))
                           && QFileInfo::exists(program.filePath(QStringLiteral("../share/kelvane/note.ini")));
    if (!installed && QFileInfo(programFolder).isWritable())
        return programFolder;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + "/.config";
    const QString folder = config + "/kelvane/";
    QDir().mkpath(folder);
    return folder;
}

} // namespace

TSession::TSession(const QStringList& arguments, const QString& programPath)
    : FControlChange(std::make_unique<TControlChange>(*static_cast<TControlChangeHost*>(this))),
      FLog(std::make_unique<TMessageLog>())
{
    const QFileInfo program(programPath);
    FProgramFolder = QDir::toNativeSeparators(program.absolutePath());
    if (!FProgramFolder.endsWith(QDir::separator()))
        FProgramFolder += QDir::separator();
    const QString folder = SettingsFolder(FProgramFolder);
    if (!arguments.isEmpty()) {
        const QString name = arguments.first();
        const QFileInfo named(name);
        const QString suffix = named.suffix();
        FApplicationTitle = suffix.isEmpty() ? named.fileName() : named.fileName().chopped(suffix.size() + 1);
        // A bare name goes into the program's folder; a path the user gave stands as it is.
        FSettingsPath = QDir::isAbsolutePath(name) ? name : folder + name;
    } else {
        const QString suffix = program.suffix();
        const QString base = suffix.isEmpty() ? program.fileName() : program.fileName().chopped(suffix.size() + 1);
        FSettingsPath = folder + base + ".ini";
    }
}

TSession::~TSession()
{
    // In the order they were made.
    FOutput.reset();
    FInput.reset();
}

TMainSettings TSession::ReadSettings() const
{
    return ReadMainSettings(TIniFile::Load(FSettingsPath), CurrentScreens(), FProgramFolder);
}

void TSession::WriteSettings(const TMainSettings& settings) const
{
    // Everything is written into a copy and the file replaced at once: a failure leaves the
    // file as it was, never half written.
    TIniFile file = TIniFile::Load(FSettingsPath);
    WriteMainSettings(file, settings);
    QString error;
    if (!file.Save(&error))
        throw std::runtime_error(CannotWriteSettingsMessage(FSettingsPath, WriteFailureReason(FSettingsPath)).toStdString());
}

void TSession::MakePorts()
{
    FOutput = std::make_unique<TMidiOutput>();
    FInput = std::make_unique<TMidiInput>();
}

bool TSession::OutputOpen() const
{
    return FOutput && FOutput->IsOpen();
}

bool TSession::OutputAbsent()
{
    if (!FOutput || !FOutput->Absent())
        return false;
    if (OnSendWhileAbsent)
        OnSendWhileAbsent();
    return true;
}

void TSession::Send(const TShortMessage& message)
{
    PutShort(message.Status, message.Data1, message.Data2);
}

void TSession::Send(const std::vector<uint8_t>& block)
{
    if (!OutputAbsent())
        Send(QByteArrayView(block.data(), qsizetype(block.size())));
}

// The raw sender's packets: no check for an absent device here, the port raises, so that a run
// ends at its first failure with the box that says why. Recorded only once the port took it: a
// send that raised never went out.
void TSession::Send(QByteArrayView bytes)
{
    const auto moment = TMessageLog::TClock::now();
    FOutput->PutLong(reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()));
    FLog->Sent(moment, bytes);
}

// A port whose device has gone counts as open here: the controller state sends as it would,
// and the send says that it went nowhere.
bool TSession::OutputPortOpen() const
{
    return OutputOpen() || (FOutput && FOutput->Absent());
}

uint8_t TSession::CurrentChannel() const
{
    return FChannel;
}

void TSession::PutShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    if (OutputAbsent())
        return;
    const auto moment = TMessageLog::TClock::now();
    FOutput->PutShort(status, data1, data2);
    FLog->Sent(moment, status, data1, data2);
}

void TSession::ShowRejection(TControlParameter parameter)
{
    if (OnRejection)
        OnRejection(parameter);
}
