#pragma once
// The interface language: Japanese, or English from the embedded translation. English is
// chosen by a locale whose language is English, or by KELVANE_LANG=en; everything else
// (a Japanese locale, C or POSIX, any other language) keeps the Japanese interface.

#include <QString>

enum class TLanguage { Japanese, English };

// The choice from the environment's values, as the C library reads the messages locale: the
// first set of LC_ALL, LC_MESSAGES and LANG. kelvaneLang ("ja" or "en") overrides it.
TLanguage LanguageFor(const QString& kelvaneLang, const QString& lcAll, const QString& lcMessages,
                      const QString& lang);
TLanguage LanguageFromEnvironment();

// Installs the English translation or removes it; affects texts made afterwards.
// False when the translation could not be loaded (the interface stays Japanese).
bool UseLanguage(TLanguage language);
TLanguage CurrentLanguage();

// The section of a name list the current language starts with when the settings name none
// that exists: under English the first whose name says "English", else the first.
int DefaultListIndex(const QStringList& sections);
