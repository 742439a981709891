#include "convert/uilanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Installs the translation file prefix_<the locale's name>.qm found first in folders.
void Install(const QLocale& locale, const QString& prefix, const QStringList& folders)
{
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(locale, prefix, QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
        delete translator;
    }
}

} // namespace

QLocale SpokenLocale(const QStringList& uiLanguages)
{
    for (const QString& name : uiLanguages) {
        const QLocale locale(name);
        if (locale.language() == QLocale::English || locale.language() == QLocale::Chinese)
            return locale;
    }
    return QLocale::c();
}

void InstallTranslations()
{
    const QLocale locale = SpokenLocale(QLocale::system().uiLanguages());
    if (locale.language() == QLocale::English) {
        // Beside the program in the build tree; in the package's share folder once installed.
        const QString programFolder = QCoreApplication::applicationDirPath();
        Install(
            locale, QStringLiteral("quillsheet"),
            {programFolder, programFolder + QStringLiteral("/../share/quillsheet/translations")});
    } else if (locale.language() == QLocale::Chinese) {
        Install(locale, QStringLiteral("qtbase"),
                {QLibraryInfo::location(QLibraryInfo::TranslationsPath)});
    }
}
