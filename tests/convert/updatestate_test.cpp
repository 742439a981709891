#include "convert/updatestate.h"

#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

// A workbook and its two PDFs, and the update state of the run that converted them, in a cache
// folder of the test's own.
class UpdateStateTest : public ::testing::Test
{
protected:
    TempFolder folder;
    const std::string book = folder / "\xe6\x8a\xa5\xe8\xa1\xa8.xlsx"; // 报表.xlsx
    const std::string pdfs[2] = {folder / "A.pdf", folder / "B.pdf"};

    void SetUp() override
    {
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(folder / "cache"));
    }
    UpdateState State() const { return {"/in", "/out", false, false}; }
    FileVersion Now() const { return FileVersion::Of(QString::fromStdString(book)); }

    // Takes in a run in which the workbook, planned at that version, had that outcome.
    void Take(WorkbookRecord::Outcome outcome, const FileVersion& planned)
    {
        WorkbookRecord workbook;
        workbook.path = QString::fromStdString(book);
        workbook.outcome = outcome;
        if (outcome == WorkbookRecord::Outcome::Converted)
            for (const std::string& pdf : pdfs)
                workbook.pdfs.append({"", QString::fromStdString(pdf)});
        RunRecord run;
        run.workbooks << workbook;
        UpdateState state = State();
        state.Load();
        state.Update(run, {{workbook.path, planned}});
        QString error;
        ASSERT_TRUE(state.Save(error)) << error.toStdString();
    }
    void Convert()
    {
        for (const std::string& file : {book, pdfs[0], pdfs[1]})
            WriteFile(file, "x");
        Take(WorkbookRecord::Outcome::Converted, Now());
    }
    bool UpToDate(UpdateState&& state) const
    {
        state.Load();
        return state.UpToDate(QString::fromStdString(book), Now());
    }
};

void Later(const std::string& path)
{
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(1));
}

TEST_F(UpdateStateTest, UpToDateOnlyWhileTheWorkbookAndEveryPdfOfItsLastConversionAreUnchanged)
{
    const struct
    {
        const char* change;
        std::function<void()> make;
        bool upToDate;
    } cases[] = {
        {"none", [] {}, true},
        {"workbook rewritten at its size", [this] { Later(book); }, false},
        {"workbook grown", [this] { WriteFile(book, "xy"); }, false},
        {"workbook gone", [this] { fs::remove(book); }, false},
        {"PDF gone", [this] { fs::remove(pdfs[1]); }, false},
        {"PDF rewritten at its size", [this] { Later(pdfs[0]); }, false},
        {"PDF grown", [this] { WriteFile(pdfs[1], "xy"); }, false},
        {"failed since", [this] { Take(WorkbookRecord::Outcome::Failed, Now()); }, false},
        {"left out since", [this] { Take(WorkbookRecord::Outcome::UpToDate, Now()); }, true},
        {"not reached since", [this] { Take(WorkbookRecord::Outcome::NotReached, Now()); }, true},
        {"not reached since, then a PDF gone",
         [this] {
             Take(WorkbookRecord::Outcome::NotReached, Now());
             fs::remove(pdfs[0]);
         },
         false},
        {"a PDF gone before the state was kept",
         [this] {
             fs::remove(pdfs[1]);
             Take(WorkbookRecord::Outcome::Converted, Now());
         },
         false},
        {"changed while converted",
         [this] {
             const FileVersion planned = Now();
             WriteFile(book, "changed");
             Take(WorkbookRecord::Outcome::Converted, planned);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        Convert();
        c.make();
        EXPECT_EQ(UpToDate(State()), c.upToDate);
    }
}

// The workbook converted again with only A.pdf: B.pdf, made by the last conversion and not by
// this one, goes only while it is as that conversion left it and no workbook of the run wrote it.
TEST_F(UpdateStateTest, APdfNoLongerMadeIsRemovedOnlyWhileItIsAsTheLastConversionLeftIt)
{
    const QString a = QString::fromStdString(pdfs[0]), b = QString::fromStdString(pdfs[1]);
    using Outcome = WorkbookRecord::Outcome;
    const struct
    {
        const char* change;
        Outcome outcome;
        QStringList madeNow;      // by the workbook
        QStringList madeByOthers; // by another workbook of the run
        bool removed;
        bool fails; // the removal, as a failure of the run
        std::function<void()> make;
    } cases[] = {
        {"its sheet gone", Outcome::Converted, {a}, {}, true, false, [] {}},
        {"every sheet still there", Outcome::Converted, {a, b}, {}, false, false, [] {}},
        {"changed since", Outcome::Converted, {a}, {}, false, false, [this] { Later(pdfs[1]); }},
        {"written by another workbook", Outcome::Converted, {a}, {b}, false, false, [] {}},
        {"the workbook failed", Outcome::Failed, {a}, {}, false, false, [] {}},
        {"the workbook not reached", Outcome::NotReached, {}, {}, false, false, [] {}},
        {"already gone",
         Outcome::Converted,
         {a},
         {},
         false,
         false,
         [this] { fs::remove(pdfs[1]); }},
        // Last: it leaves a folder where a PDF goes.
        {"cannot be removed",
         Outcome::Converted,
         {a},
         {},
         false,
         true,
         [this] {
             fs::remove(pdfs[1]);
             fs::create_directories(pdfs[1] + "/x");
             Take(Outcome::Converted, Now());
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        Convert();
        c.make();
        const bool there = fs::exists(pdfs[1]);
        RunRecord run;
        run.workbooks << WorkbookRecord() << WorkbookRecord();
        run.workbooks[0].path = QString::fromStdString(book);
        run.workbooks[0].outcome = c.outcome;
        for (const QString& pdf : c.madeNow)
            run.workbooks[0].pdfs.append({"", pdf});
        run.workbooks[1].path = QString::fromStdString(folder / "other.xlsx");
        run.workbooks[1].outcome = WorkbookRecord::Outcome::Converted;
        for (const QString& pdf : c.madeByOthers)
            run.workbooks[1].pdfs.append({"", pdf});
        UpdateState state = State();
        state.Load();
        state.RemoveOutdatedPdfs(run);
        EXPECT_EQ(run.workbooks[0].removedPdfs, c.removed ? QStringList{b} : QStringList());
        EXPECT_TRUE(run.workbooks[1].removedPdfs.isEmpty());
        EXPECT_EQ(run.runFailures.size(), c.fails ? 1 : 0);
        EXPECT_EQ(fs::exists(pdfs[1]), there && !c.removed);
        EXPECT_TRUE(fs::exists(pdfs[0]));
    }
}

TEST_F(UpdateStateTest, EachKindOfRunKeepsAStateOfItsOwn)
{
    Convert();
    struct Kind
    {
        const char* source;
        const char* output;
        bool merged, pdfA;
        Shard shard;
    };
    const Kind kinds[] = {
        {"/in", "", false, false, {}},         {"/in", "/o", false, false, {}},
        {"/in", "/out", true, false, {}},      {"/in", "/out", false, true, {}},
        {"/", "/out", false, false, {}},       {"/in", "/out", false, false, {1, 2}},
        {"/in", "/out", false, false, {2, 2}},
    };
    for (const Kind& k : kinds) {
        UpdateState other(k.source, k.output, k.merged, k.pdfA, k.shard);
        const QString path = other.FilePath();
        EXPECT_NE(path, State().FilePath());
        EXPECT_FALSE(UpToDate(std::move(other))) << path.toStdString();
    }
    // A whole run's state is where it always was.
    EXPECT_EQ(UpdateState("/in", "/out", false, false, {1, 1}).FilePath(), State().FilePath());
}

TEST_F(UpdateStateTest, ADamagedOrUnreadableStateIsNoState)
{
    Convert();
    const std::string path = State().FilePath().toStdString(), saved = ReadFile(path);
    const std::string entry = "{\"workbooks\": {\"" + book +
                              "\": {\"size\": 1, \"modified\": " + std::to_string(Now().modified) +
                              ", \"pdfs\": ";
    UpdateState state = State();
    // Whether state, loaded from what was saved, forgets it all once loaded again after damage.
    const auto forgetsAfter = [&](const std::function<void()>& damage) {
        WriteFile(path, saved);
        state.Load();
        EXPECT_TRUE(state.UpToDate(QString::fromStdString(book), Now()));
        damage();
        state.Load();
        return !state.UpToDate(QString::fromStdString(book), Now());
    };
    for (const std::string& damaged :
         {std::string(), std::string("garbage"), saved.substr(0, saved.size() / 2),
          std::string("[]"), std::string("{\"workbooks\": 5}"), entry + "[{}]}}}"})
        EXPECT_TRUE(forgetsAfter([&] { WriteFile(path, damaged); })) << damaged;
    EXPECT_TRUE(forgetsAfter([&] {
        fs::remove(path);
        fs::create_directory(path); // unreadable
    }));
}

TEST_F(UpdateStateTest, AStateThatCannotBeSavedSaysWhy)
{
    fs::create_directories(State().FilePath().toStdString()); // a folder where the file goes
    WriteFile(folder / "file", "");
    for (const std::string& cache : {folder / "cache", folder / "file/cache"}) {
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache));
        QString error;
        EXPECT_FALSE(State().Save(error)) << cache;
        EXPECT_FALSE(error.isEmpty()) << cache;
    }
}

} // namespace
