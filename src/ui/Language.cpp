#include "Language.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QTranslator>

namespace {

TLanguage Current = TLanguage::Japanese;

QTranslator& Translator()
{
    static QTranslator translator;
    return translator;
}

} // namespace

TLanguage LanguageFor(const QString& kelvaneLang, const QString& lcAll, const QString& lcMessages,
                      const QString& lang)
{
    const QString forced = kelvaneLang.trimmed().toLower();
    if (forced == QLatin1String("en"))
        return TLanguage::English;
    if (forced == QLatin1String("ja"))
        return TLanguage::Japanese;
    QString locale = !lcAll.isEmpty() ? lcAll : !lcMessages.isEmpty() ? lcMessages : lang;
    // "en_US.UTF-8@euro" → "en"
    const qsizetype end = locale.indexOf(QRegularExpression(QStringLiteral("[_.@]")));
    if (end >= 0)
        locale.truncate(end);
    return locale == QLatin1String("en") ? TLanguage::English : TLanguage::Japanese;
}

TLanguage LanguageFromEnvironment()
{
    return LanguageFor(qEnvironmentVariable("KELVANE_LANG"), qEnvironmentVariable("LC_ALL"),
                       qEnvironmentVariable("LC_MESSAGES"), qEnvironmentVariable("LANG"));
}

bool UseLanguage(TLanguage language)
{
    QTranslator& translator = Translator();
    QCoreApplication::removeTranslator(&translator);
    Current = TLanguage::Japanese;
    if (language == TLanguage::Japanese)
        return true;
    if (!translator.load(QStringLiteral(":/i18n/kelvane_en.qm")))
        return false;
    QCoreApplication::installTranslator(&translator);
    Current = TLanguage::English;
    return true;
}

TLanguage CurrentLanguage()
{
    return Current;
}

int DefaultListIndex(const QStringList& sections)
{
    if (sections.isEmpty())
        return -1;
    if (Current == TLanguage::English) {
        for (int i = 0; i < sections.size(); ++i)
            if (sections[i].contains(QLatin1String("English"), Qt::CaseInsensitive))
                return i;
    }
    return 0;
}
