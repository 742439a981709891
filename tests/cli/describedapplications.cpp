#include "cli/describedapplications.h"

#include <QFile>

namespace {

// A workbook as its file describes it, and how opening it goes.
struct Description
{
    FakeWorkbook workbook;
    ReportedFailure refusal;
    std::chrono::milliseconds openTakes{0};
};

FakeSheet DescribedSheet(const QStringList& words)
{
    FakeSheet sheet;
    sheet.name = words.value(1);
    const QStringList facts = words.mid(2);
    for (const QString& fact : facts)
        if (!QStringList{"blank", "hidden", "noprint", "unreadable", "notloaded"}.contains(fact))
            qFatal("no such sheet fact: %s", qPrintable(fact));
    sheet.value =
        facts.contains(QLatin1String("blank")) ? QVariant() : QVariant(QStringLiteral("x"));
    if (facts.contains(QLatin1String("hidden")))
        sheet.visibility = 0;
    sheet.prints = !facts.contains(QLatin1String("noprint"));
    sheet.readable = !facts.contains(QLatin1String("unreadable"));
    sheet.loaded = !facts.contains(QLatin1String("notloaded"));
    return sheet;
}

Description Describe(const QString& path)
{
    Description description;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        description.refusal = {FailureKind::NotReadable, file.errorString()};
        return description;
    }
    const QByteArray text = file.readAll();
    if (text.isEmpty()) {
        description.refusal = {FailureKind::FileEmpty, QStringLiteral("the file is empty")};
        return description;
    }
    for (const QString& line : QString::fromUtf8(text).split('\n')) {
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        const QString fact = words.value(0);
        if (fact == QLatin1String("sheet"))
            description.workbook.sheets << DescribedSheet(words);
        else if (fact == QLatin1String("fails"))
            description.refusal = {FailureKind::CannotOpen, QStringLiteral("damaged")};
        else if (fact == QLatin1String("encrypted"))
            description.refusal = {FailureKind::Encrypted, QStringLiteral("encrypted")};
        else if (fact == QLatin1String("slow"))
            description.openTakes = std::chrono::milliseconds(words.value(1).toInt());
        else if (fact == QLatin1String("hang"))
            description.openTakes = std::chrono::seconds(words.value(1).toInt());
        else if (!fact.isEmpty())
            // A mistyped description would otherwise test a plain workbook.
            qFatal("no such workbook fact: %s", qPrintable(fact));
    }
    if (description.workbook.sheets.isEmpty())
        description.workbook.sheets << DescribedSheet({"sheet", "Sheet1"});
    return description;
}

// A FakeApplication whose workbooks are described by their files, read as each opens.
class DescribedApplication final : public SpreadsheetApplication
{
public:
    DescribedApplication(DescribedApplications& applications, FakeWorkbooks& books)
        : applications(applications), books(books), fake(books, std::make_shared<QStringList>())
    {
    }

    CallResult Bind() override { return fake.Bind(); }
    CallResult Open(const QString& path) override
    {
        const Description description = Describe(path);
        const ReportedFailure waited = applications.Take(description.openTakes);
        if (waited.kind != FailureKind::None)
            return {false, waited};
        if (description.refusal.kind != FailureKind::None)
            return {false, description.refusal};
        {
            const std::lock_guard<std::recursive_mutex> lock(books.mutex);
            books.workbooks[path] = description.workbook;
        }
        return fake.Open(path);
    }
    Answer<int> SheetCount() override { return fake.SheetCount(); }
    Answer<bool> Hidden(int sheet) override { return fake.Hidden(sheet); }
    Answer<bool> Blank(int sheet) override { return fake.Blank(sheet); }
    Answer<QString> Name(int sheet) override { return fake.Name(sheet); }
    ReportedFailure ExportSheet(int sheet, const QString& pdf) override
    {
        return fake.ExportSheet(sheet, pdf);
    }
    ReportedFailure ExportWorkbook(const QString& pdf) override { return fake.ExportWorkbook(pdf); }
    void Close() override { fake.Close(); }
    void Quit() override { fake.Quit(); }

private:
    DescribedApplications& applications;
    FakeWorkbooks& books;
    FakeApplication fake;
};

} // namespace

std::unique_ptr<SpreadsheetApplication> DescribedApplications::New(const ApplicationScope&)
{
    const std::lock_guard<std::mutex> lock(mutex);
    ++made;
    return std::make_unique<DescribedApplication>(*this, books);
}

ReportedFailure DescribedApplications::Take(std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> lock(mutex);
    const int stopsBefore = stops;
    const bool outlasts = wait > options.callLimit;
    if (stopped.wait_for(lock, outlasts ? options.callLimit : wait,
                         [&] { return stops != stopsBefore; }))
        return {FailureKind::OfficeStopped, QStringLiteral("stopped")};
    if (outlasts)
        return {FailureKind::NoAnswer, QStringLiteral("no answer"),
                std::chrono::duration<double>(options.callLimit).count()};
    return ReportedFailure();
}

bool DescribedApplications::Stop()
{
    const std::lock_guard<std::mutex> lock(mutex);
    ++stops;
    stopped.notify_all();
    return made > 0;
}
