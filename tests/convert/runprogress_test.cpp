#include "convert/runprogress.h"

#include "convert/applicationcount.h"

#include "common/qtprint.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

class RunProgressTest : public ::testing::Test
{
protected:
    // A workbook of this many bytes in the folder, as the run would have ended it.
    WorkbookRecord Workbook(const std::string& name, std::uintmax_t bytes,
                            WorkbookRecord::Outcome outcome = WorkbookRecord::Outcome::Converted)
    {
        WriteFile(folder / name, "x");
        std::filesystem::resize_file(folder / name, bytes);
        WorkbookRecord workbook;
        workbook.path = QString::fromStdString(folder / name);
        workbook.outcome = outcome;
        return workbook;
    }

    // Begins and ends each workbook, in order.
    static void Convert(RunProgress& progress, const QList<WorkbookRecord>& workbooks)
    {
        for (const WorkbookRecord& workbook : workbooks) {
            progress.Begun(workbook.path);
            progress.Done(workbook);
        }
    }

    // The estimate's seconds, or -1 when there is none.
    static int EstimatedSeconds(const QString& line)
    {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("约剩(\\d+):(\\d\\d)")).match(line);
        return match.hasMatch() ? match.captured(1).toInt() * 60 + match.captured(2).toInt() : -1;
    }

    TempFolder folder;
};

// Until a few workbooks have ended there is no estimate; then the rest is weighted by size, so a
// large workbook left is not taken for a small one; and a rest of under a second, which would
// read 0:00, gives way to how long the workbook in work has been in work.
TEST_F(RunProgressTest, TheEstimateWaitsForAFewWorkbooksAndWeighsWhatIsLeftBySize)
{
    const std::uintmax_t small = 1024;
    const WorkbookRecord done[] = {Workbook("a.xlsx", small), Workbook("b.xlsx", small),
                                   Workbook("c.xlsx", small)};
    const WorkbookRecord large = Workbook("large.xlsx", std::uintmax_t(40) << 20);
    const WorkbookRecord last = Workbook("last.xlsx", small);
    const double smallWork = EstimatedWork(small);

    RunProgress sized;
    sized.SetTotal(4, 3 * smallWork + EstimatedWork(40 << 20));
    Convert(sized, {done[0], done[1]});
    EXPECT_EQ(EstimatedSeconds(sized.Text()), -1) << "two workbooks in a moment tell nothing";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Convert(sized, {done[2]});
    sized.Begun(large.path);
    // 40 MB is some 190 times the work of three small ones, which took at least 0.2 s.
    EXPECT_GE(EstimatedSeconds(sized.Text()), 30) << qPrintable(sized.Text());
    EXPECT_EQ(sized.LongestInWork(), large.path);

    RunProgress nearTheEnd;
    nearTheEnd.SetTotal(4, 4 * smallWork);
    Convert(nearTheEnd, {done[0], done[1], done[2]});
    nearTheEnd.Begun(last.path);
    const QString line = nearTheEnd.Text();
    EXPECT_EQ(EstimatedSeconds(line), -1) << qPrintable(line);
    EXPECT_TRUE(line.endsWith(QStringLiteral("，last.xlsx已等待0秒"))) << qPrintable(line);
}

// The line at the end is final: what ended of the total, the time taken, no estimate and no
// workbook in work; one cut off by a forced stop has not ended, its PDFs still count; failures
// are workbooks, as the summary counts them.
TEST_F(RunProgressTest, TheEndIsFinal)
{
    RunProgress progress;
    progress.SetTotal(3, 3 * EstimatedWork(1));
    WorkbookRecord failed = Workbook("b.xlsx", 1, WorkbookRecord::Outcome::Failed);
    failed.failures = {{"S", "x", ""}, {"T", "y", ""}};
    WorkbookRecord cutOff = Workbook("c.xlsx", 1, WorkbookRecord::Outcome::NotReached);
    cutOff.pdfs = {{"S", "c(S).pdf"}};
    Convert(progress, {Workbook("a.xlsx", 1), failed});
    progress.Begun(cutOff.path);
    progress.Done(cutOff);
    progress.Begun(QStringLiteral("never ended.xlsx"));
    progress.End();
    const qint64 elapsed = progress.Elapsed();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(progress.Elapsed(), elapsed) << "the clock stops at the end";
    EXPECT_EQ(progress.DoneCount(), 2);
    EXPECT_EQ(progress.Text(), QStringLiteral("2/3个excel文件，1个pdf，失败1个，已用0:00"));
    EXPECT_TRUE(progress.LongestInWork().isEmpty());
}

} // namespace
