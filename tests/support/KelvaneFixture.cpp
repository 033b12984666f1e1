#include "KelvaneFixture.h"

#include "platform/DeviceList.h"

#include <QFile>
#include <QTextStream>

#include <sstream>

TKelvaneFixture::TKelvaneFixture(TFixtureOptions options)
{
    if (options.UseRecordingService) {
        FService = UseRecordingBackend();
        FService->OutputNames = options.Outputs;
        FService->InputNames = options.Inputs;
        FService->FailingOpens = options.FailingOpens;
    }

    DialogHooks().Message = [this](const QString& text, bool error) { (error ? Errors : Messages).append(text); };

    if (options.CopyDataFiles) {
        for (const char* name : {"note.ini", "program.ini"})
            QFile::copy(QStringLiteral(KELVANE_SOURCE_DIR "/data/") + name, Folder() + name);
    }
    QString settings = options.Settings;
    if (options.OpenPort && !settings.contains("OutDeviceName")) {
        const QString line = "OutDeviceName=" + options.OutDeviceName + "\n";
        if (settings.contains("[Midi]\n"))
            settings.replace("[Midi]\n", "[Midi]\n" + line);
        else
            settings += "\n[Midi]\n" + line;
    }
    const QString settingsName = options.Arguments.isEmpty() ? QStringLiteral("kelvane.ini") : options.Arguments.first();
    if (!settings.isEmpty()) {
        QFile file(Folder() + settingsName);
        if (file.open(QIODevice::WriteOnly))
            file.write(settings.toUtf8());
    }
    QFile program(ProgramPath());
    if (program.open(QIODevice::WriteOnly))
        program.write("");
    Windows = CreateKelvaneWindows(options.Arguments, ProgramPath());
}

TKelvaneFixture::~TKelvaneFixture()
{
    Windows = TKelvaneWindows();
    DialogHooks() = TDialogHooks();
    if (FService)
        SetDeviceList(nullptr);
}

void TKelvaneFixture::CloseWindow()
{
    Windows.Main->close();
}

std::vector<uint8_t> Bytes(const char* hex)
{
    std::vector<uint8_t> bytes;
    std::istringstream in(hex);
    std::string pair;
    while (in >> pair)
        bytes.push_back(uint8_t(std::stoul(pair, nullptr, 16)));
    return bytes;
}

std::vector<std::vector<uint8_t>> Wire(std::initializer_list<const char*> hex)
{
    std::vector<std::vector<uint8_t>> messages;
    for (const char* message : hex)
        messages.push_back(Bytes(message));
    return messages;
}
