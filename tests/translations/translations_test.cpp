#include "convert/failurereasons.h"
#include "convert/runrecord.h"
#include "convert/runreport.h"
#include "convert/uilanguage.h"

#include "common/qtprint.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete"; empty when the translation is done
};

std::vector<Message> MessagesOf(const QString& ts)
{
    QFile file(ts);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << ts.toStdString();
    std::vector<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            messages.push_back({context, QString(), QString(), QString()});
        else if (xml.name() == QLatin1String("source") && !messages.empty())
            messages.back().source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation") && !messages.empty()) {
            messages.back().type = xml.attributes().value(QLatin1String("type")).toString();
            messages.back().translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

QStringList Placeholders(const QString& text)
{
    QStringList found;
    QRegularExpressionMatchIterator match = QRegularExpression("%\\d").globalMatch(text);
    while (match.hasNext())
        found << match.next().captured();
    found.sort();
    return found;
}

// The translation as the sources stand: lupdate brings every text of theirs into a copy of it.
TEST(Translations, EveryTextOfTheSourcesIsTranslatedWithItsPlaceholders)
{
    TempFolder folder;
    const std::string copy = (folder.path() / "quillsheet_en.ts").string();
    const std::string committed = QUILLSHEET_SOURCE_DIR "/translations/quillsheet_en.ts";
    std::filesystem::copy_file(committed, copy);
    const std::string update = "LUPDATE='" LUPDATE "' '" QUILLSHEET_SOURCE_DIR
                               "/scripts/update-translations.sh' '" +
                               copy + "'";
    ASSERT_EQ(std::system(update.c_str()), 0) << update;

    const std::vector<Message> messages = MessagesOf(QString::fromStdString(copy));
    EXPECT_EQ(messages.size(), MessagesOf(QString::fromStdString(committed)).size())
        << "texts came or went in the sources: run scripts/update-translations.sh";
    ASSERT_FALSE(messages.empty());
    for (const Message& message : messages) {
        SCOPED_TRACE(message.context.toStdString() + ": " + message.source.toStdString());
        EXPECT_EQ(message.type, QString());
        EXPECT_FALSE(message.translation.isEmpty());
        EXPECT_EQ(Placeholders(message.translation), Placeholders(message.source));
    }
}

// The first of the user's languages that the program speaks decides; C when it speaks none.
TEST(Translations, TheFirstOfTheUsersLanguagesThatTheProgramSpeaksDecides)
{
    const struct
    {
        QStringList uiLanguages;
        QLocale::Language spoken;
    } cases[] = {
        {{"C"}, QLocale::C},
        {{"POSIX"}, QLocale::C},
        {{}, QLocale::C},
        {{"de-DE", "fr"}, QLocale::C},
        {{"en-US"}, QLocale::English},
        {{"en"}, QLocale::English},
        {{"fr-FR", "en-GB", "zh-CN"}, QLocale::English},
        {{"zh-CN"}, QLocale::Chinese},
        {{"zh-Hant-TW", "en-US"}, QLocale::Chinese},
        {{"ja-JP", "zh"}, QLocale::Chinese},
    };
    for (const auto& [uiLanguages, spoken] : cases)
        EXPECT_EQ(SpokenLocale(uiLanguages).language(), spoken)
            << uiLanguages.join(',').toStdString();
}

using Outcome = WorkbookRecord::Outcome;

WorkbookRecord Workbook(const char* path, Outcome outcome)
{
    WorkbookRecord workbook;
    workbook.path = path;
    workbook.outcome = outcome;
    return workbook;
}

// A stopped run: a workbook converted with a sheet left out, one failed, one up to date and one
// not reached.
RunRecord StoppedRun()
{
    RunRecord run;
    run.output = "/srv/pdf";
    run.stopped = true;
    run.workbooks = {Workbook("/srv/in/a.xlsx", Outcome::Converted),
                     Workbook("/srv/in/b.xlsx", Outcome::Failed),
                     Workbook("/srv/in/c.xlsx", Outcome::UpToDate),
                     Workbook("/srv/in/d.xlsx", Outcome::NotReached)};
    run.workbooks[0].opened = true;
    run.workbooks[0].pdfs = {{"Sheet1", "/srv/pdf/a(Sheet1).pdf"}};
    run.workbooks[0].skipped = {{"Notes", SkippedSheet::Why::Blank}};
    run.workbooks[1].failures = {{"", ReasonOf(FailureKind::FileEmpty), ""}};
    return run;
}

// With the English translation installed, as an English-speaking user's start-up installs it.
TEST(Translations, TheRunsTextsReadInEnglish)
{
    int argc = 1;
    char name[] = "translations_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(QUILLSHEET_QM)));
    QCoreApplication::installTranslator(&english);

    const RunRecord run = StoppedRun();
    const QString report = TextReport(run);
    const struct
    {
        QString text;
        const char* expected;
    } cases[] = {
        {run.Summary(), "Converted 1 excel file(s) to 1 pdf file(s).\n"
                        "1 more excel file(s) unchanged, skipped.\n"
                        "1 failure(s):\n/srv/in/b.xlsx: the file is empty"},
        {ReasonOf(FailureKind::NoAnswer, 30),
         "the spreadsheet application did not answer within 30 s and was stopped"},
        {report.section('\n', 0, 0), "Batch Excel to PDF: conversion report"},
        {report.section("\n\n", 2, 2), "Converted 1 excel file(s) to 1 pdf file(s).\n"
                                       "1 more excel file(s) unchanged, skipped.\n"
                                       "Conversion stopped: 1 excel file(s) not converted."},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(text, QString::fromUtf8(expected));
    for (const char* part :
         {"PDFs saved to this folder: /srv/pdf\nOne pdf per sheet\n",
          "\n[converted] /srv/in/a.xlsx (0.00 s)\n    pdf: /srv/pdf/a(Sheet1).pdf\n"
          "    blank, not converted: Notes\n",
          "\n[failed] /srv/in/b.xlsx (0.00 s)\n    failed: the file is empty\n",
          "\n[unchanged, skipped] /srv/in/c.xlsx\n",
          "\n[not converted (run stopped)] /srv/in/d.xlsx\n"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(part))) << part << "\nnot in\n"
                                                              << report.toStdString();
}

} // namespace
