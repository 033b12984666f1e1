#include "CommandLine.h"

#include "Language.h"
#include "PortList.h"

#include <QCoreApplication>

#include <iostream>
#include <memory>

namespace {

// Terminal columns: a Japanese character takes two, so the Japanese columns line up as written.
const char* const UsageTemplate = QT_TRANSLATE_NOOP("CommandLine",
    "使い方: kelvane [設定ファイル]\n"
    "        kelvane --list-ports | --help | --version\n"
    "\n"
    "MIDI音源を手で操作し，入力を監視するウィンドウを開きます。\n"
    "\n"
    "  設定ファイル   kelvane.ini の代わりに使う設定ファイル。名前だけなら設定の\n"
    "                 置き場所に置き，パスはそのまま使います。- で始まる名前は\n"
    "                 -- の後に書きます（kelvane -- -試し.ini）\n"
    "  --list-ports   出力ポートのメニューと入力デバイスを表示して終了します\n"
    "  -h, --help     この使い方を表示して終了します\n"
    "  --version      バージョンを表示して終了します\n"
    "\n"
    "環境変数:\n"
    "  KELVANE_LANG=ja|en               表示言語（既定はロケールに従います）\n"
    "  KELVANE_MIDI_API=alsa|jack|none  システムのMIDIポート（既定はALSA，\n"
    "                                   使えなければJACK）\n"
    "  KELVANE_SOUNDFONT=ファイル       内蔵シンセサイザーのサウンドフォント\n"
    "  KELVANE_AUDIO_DRIVER=名前        内蔵シンセサイザーの音声出力（jack，\n"
    "                                   pulseaudio，alsa など。既定はJACKの\n"
    "                                   サーバーがあればJACK，なければ\n"
    "                                   PulseAudio，それもなければALSA）\n"
    "  KELVANE_DEBUG=1                  ALSA，JACK，FluidSynthのメッセージを\n"
    "                                   標準エラーに表示します\n");
const char* const UnknownOptionText =
    QT_TRANSLATE_NOOP("CommandLine", "kelvane: %1 というオプションはありません（使い方は kelvane --help）");
const char* const SecondSettingsFileText =
    QT_TRANSLATE_NOOP("CommandLine", "kelvane: 設定ファイルは一つしか指定できません: %1（使い方は kelvane --help）");

QString Translated(const char* text)
{
    return QCoreApplication::translate("CommandLine", text);
}

} // namespace

TCommandLine ReadCommandLine(const QStringList& arguments)
{
    TCommandLine line;
    bool usage = false, version = false, listPorts = false, optionsEnd = false, settingsGiven = false;
    for (const QString& argument : arguments) {
        if (!optionsEnd && argument.startsWith(QLatin1Char('-'))) {
            if (argument == QLatin1String("--"))
                optionsEnd = true;
            else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
                usage = true;
            else if (argument == QLatin1String("--version"))
                version = true;
            else if (argument == QLatin1String("--list-ports"))
                listPorts = true;
            else if (line.Refused.isEmpty()) {
                line.Refused = argument;
                line.RefusedOption = true;
            }
            continue;
        }
        if (settingsGiven) {
            if (line.Refused.isEmpty())
                line.Refused = argument;
            continue;
        }
        settingsGiven = true;
        line.SettingsFile = argument;
    }
    line.Action = !line.Refused.isEmpty() ? TCommandAction::Refuse
                  : usage                 ? TCommandAction::ShowUsage
                  : version               ? TCommandAction::ShowVersion
                  : listPorts             ? TCommandAction::ListPorts
                                          : TCommandAction::OpenWindow;
    return line;
}

TCommandLine ReadCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);  // as Qt decodes file names
    return ReadCommandLine(arguments);
}

QStringList WindowArguments(const TCommandLine& commandLine)
{
    return commandLine.SettingsFile.isEmpty() ? QStringList() : QStringList{commandLine.SettingsFile};
}

QString UsageText()
{
    return Translated(UsageTemplate);
}

QString VersionText()
{
    return QStringLiteral("Kelvane " KELVANE_VERSION "\n");
}

QString RefusalText(const TCommandLine& commandLine)
{
    return Translated(commandLine.RefusedOption ? UnknownOptionText : SecondSettingsFileText).arg(commandLine.Refused);
}

int AnswerCommandLine(const TCommandLine& commandLine)
{
    if (commandLine.Action == TCommandAction::ListPorts) {
        ListPorts(std::cout);
        return 0;
    }
    // Translations need an application object; a core one needs no display.
    static int argc = 1;
    static char name[] = "kelvane";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> core;
    if (!QCoreApplication::instance())
        core = std::make_unique<QCoreApplication>(argc, argv);
    UseLanguage(LanguageFromEnvironment());
    switch (commandLine.Action) {
    case TCommandAction::ShowUsage:
        std::cout << UsageText().toStdString() << std::flush;
        return 0;
    case TCommandAction::ShowVersion:
        std::cout << VersionText().toStdString() << std::flush;
        return 0;
    default:
        std::cerr << RefusalText(commandLine).toStdString() << std::endl;
        return 2;
    }
}
