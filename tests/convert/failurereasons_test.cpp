#include "convert/failurereasons.h"

#include "common/qtprint.h"

#include <gtest/gtest.h>

namespace {

// Messages as the office, our server and the system give them, and the plain reason each maps
// to; the message is kept as the detail.
TEST(FailureReasons, TheApplicationsMessagesBecomePlainReasons)
{
    const std::pair<const char*, const char*> cases[] = {
        // The office's own, from exports whose PDF name was too long, and into a folder the user
        // may not write to.
        {"SfxBaseModel::impl_store <file:///out/book(LLLL).pdf> failed: 0x11b(Error Area:Io "
         "Class:Parameter Code:27) at ./sfx2/source/doc/sfxbasemodel.cxx:3207",
         "文件名太长，文件系统不允许"},
        {"SfxBaseModel::impl_store <file:///in/book.pdf> failed: 0xc10(Error Area:Io Class:Write "
         "Code:16) at ./sfx2/source/doc/sfxbasemodel.cxx:3207 at "
         "./sfx2/source/doc/sfxbasemodel.cxx:1783",
         "文件夹无法写入"},
        {"the folder cannot be written: Permission denied", "文件夹无法写入"},
        {"the PDF cannot take its place: File name too long", "文件名太长，文件系统不允许"},
        {"the PDF cannot take its place: No space left on device", "磁盘已满"},
        {"cannot be opened (damaged, encrypted or not a workbook)",
         "无法打开（文件已损坏、已加密或不是工作簿）"},
        {"no answer within 2.5 s; the spreadsheet application was stopped",
         "办公软件2.5秒内没有响应，已被停止"},
        {"the spreadsheet application ended unexpectedly", "办公软件意外退出"},
        {"the workbook is no longer open (the spreadsheet application was stopped)",
         "办公软件已被停止，此工作簿未能继续转换"},
        {"Something nobody foresaw", "办公软件报告了错误"},
    };
    for (const auto& [message, reason] : cases) {
        const ExplainedReason explained = Explain(QString::fromUtf8(message));
        EXPECT_EQ(explained.reason, QString::fromUtf8(reason)) << message;
        EXPECT_EQ(explained.detail, QString::fromUtf8(message));
    }
    // A reason of our own, already in the user's language, stays as it is, with no detail.
    const ExplainedReason own = Explain(QStringLiteral("无法读取工作表"));
    EXPECT_EQ(own.reason, QStringLiteral("无法读取工作表"));
    EXPECT_TRUE(own.detail.isEmpty());
}

} // namespace
