#include "convert/failurereasons.h"

#include "common/qtprint.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// Each kind of failure becomes its plain reason; the application's message is kept as the
// detail.
TEST(FailureReasons, EachKindBecomesItsPlainReasonWithTheMessageAsDetail)
{
    const std::pair<FailureKind, const char*> cases[] = {
        {FailureKind::Reported, "办公软件报告了错误"},
        {FailureKind::NameTooLong, "文件名太长，文件系统不允许"},
        {FailureKind::PathTooLong, "路径太长"},
        {FailureKind::NotWritable, "文件夹无法写入"},
        {FailureKind::DiskFull, "磁盘已满"},
        {FailureKind::OutOfInodes, "磁盘已满（文件数已达上限）"},
        {FailureKind::FileBusy, "文件被占用"},
        {FailureKind::FileEmpty, "文件是空的"},
        {FailureKind::FileMissing, "文件不存在"},
        {FailureKind::NotReadable, "没有读取权限"},
        {FailureKind::Encrypted, "已加密，需要密码"},
        {FailureKind::TextImportOnly, "不是工作簿（只能作为文本导入）"},
        {FailureKind::CannotOpen, "无法打开（文件已损坏、已加密或不是工作簿）"},
        {FailureKind::SheetHidden, "工作表已隐藏"},
        {FailureKind::NothingToPrint, "没有可打印的内容"},
        {FailureKind::NoPdfWritten, "没有写出pdf文件"},
        {FailureKind::OfficeEnded, "办公软件意外退出"},
        {FailureKind::OfficeStopped, "办公软件已被停止，此工作簿未能继续转换"},
        {FailureKind::CannotStart, "办公软件无法启动"},
        {FailureKind::TemporaryFolderUnusable, "临时文件夹已满或不可用，办公软件无法启动"},
    };
    const QString message = QStringLiteral("Something nobody foresaw");
    for (const auto& [kind, reason] : cases) {
        const ExplainedReason explained = Explain({kind, message});
        EXPECT_EQ(explained.reason, QString::fromUtf8(reason)) << static_cast<int>(kind);
        EXPECT_EQ(explained.detail, message);
        EXPECT_EQ(ReasonOf(kind), QString::fromUtf8(reason));
    }
    // However the message is worded, the kind decides.
    EXPECT_EQ(Explain({FailureKind::CannotOpen, QStringLiteral("the file is empty")}).reason,
              QStringLiteral("无法打开（文件已损坏、已加密或不是工作簿）"));
}

TEST(FailureReasons, AnExceededLimitIsNamed)
{
    const QString message = QStringLiteral("no answer within 2.5 s; the spreadsheet application "
                                           "was stopped");
    const ExplainedReason explained = Explain({FailureKind::NoAnswer, message, 2.5});
    EXPECT_EQ(explained.reason, QStringLiteral("办公软件2.5秒内没有响应，已被停止"));
    EXPECT_EQ(explained.detail, message);
    const std::tuple<FailureKind, double, const char*> cases[] = {
        {FailureKind::NoAnswer, 120, "办公软件120秒内没有响应，已被停止"},
        {FailureKind::WorkbookTooLong, 1200, "工作簿的转换超过1200秒，已停止"},
        {FailureKind::MemoryExceeded, 1, "工作簿需要的内存超过1 GB，已停止"},
        {FailureKind::MemoryExceeded, 2.5, "工作簿需要的内存超过2.5 GB，已停止"},
    };
    for (const auto& [kind, limit, reason] : cases)
        EXPECT_EQ(ReasonOf(kind, limit), QString::fromUtf8(reason));
}

// The application's message, already in the user's language (WPS or a Chinese Excel), is the
// reason itself, with no detail; of a plainer kind it is only the detail.
TEST(FailureReasons, AMessageInTheUsersLanguageIsTheReason)
{
    const QString chinese = QStringLiteral("无法读取工作表");
    const ExplainedReason own = Explain({FailureKind::Reported, chinese});
    EXPECT_EQ(own.reason, chinese);
    EXPECT_TRUE(own.detail.isEmpty());
    const ExplainedReason full = Explain({FailureKind::DiskFull, QStringLiteral("磁盘空间不足")});
    EXPECT_EQ(full.reason, QStringLiteral("磁盘已满"));
    EXPECT_EQ(full.detail, QStringLiteral("磁盘空间不足"));
}

} // namespace
