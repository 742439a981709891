#pragma once

#include <QLocale>
#include <QStringList>

// The first of the user's interface languages (most preferred first, as
// QLocale::uiLanguages() gives them) that the program speaks: English, through its translation,
// or Chinese, the language its texts are written in; the C locale when it speaks none of them.
QLocale SpokenLocale(const QStringList& uiLanguages);

// Installs the translations for the system's interface languages in the running application:
// the program's English texts, or Qt's own Chinese texts so that its dialogs match ours. Under
// any other language the texts stay as written, and Qt's own in English.
void InstallTranslations();
