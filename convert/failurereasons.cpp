#include "convert/failurereasons.h"

#include <QRegularExpression>

namespace {

struct Rule
{
    const char* pattern; // a regular expression, matched case-insensitively
    const char* reason;
};

// The office's messages carry its error code as "Class:… Code:N"; the rest are our server's own
// messages and the system's error texts.
const Rule Rules[] = {
    {"name too long|longer than the file system|Class:Parameter Code:27\\)",
     "文件名太长，文件系统不允许"},
    {"permission denied|read-only file system|cannot be written|Class:Write Code:16\\)|Code:7\\)",
     "文件夹无法写入"},
    {"no space left|disk quota|Code:9\\)", "磁盘已满"},
    {"busy|locked|Code:8\\)", "文件被占用"},
    {"file is empty", "文件是空的"},
    {"does not exist", "文件不存在"},
    {"only a text import", "不是工作簿（只能作为文本导入）"},
    {"cannot be opened", "无法打开（文件已损坏、已加密或不是工作簿）"},
    {"worksheet is hidden", "工作表已隐藏"},
    {"no PDF was written", "没有写出pdf文件"},
    {"ended unexpectedly", "办公软件意外退出"},
    {"no longer open", "办公软件已被停止，此工作簿未能继续转换"},
    {"at start|cannot reach|not installed|has quit", "办公软件无法启动"},
};

bool IsOurLanguage(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff)
            return true;
    return false;
}

} // namespace

ExplainedReason Explain(const QString& reported)
{
    if (IsOurLanguage(reported))
        return {reported, QString()};
    const QRegularExpressionMatch limit =
        QRegularExpression(QStringLiteral("no answer within ([0-9.]+) s")).match(reported);
    if (limit.hasMatch())
        return {QStringLiteral("办公软件%1秒内没有响应，已被停止").arg(limit.captured(1)),
                reported};
    for (const Rule& rule : Rules)
        if (QRegularExpression(QString::fromUtf8(rule.pattern),
                               QRegularExpression::CaseInsensitiveOption)
                .match(reported)
                .hasMatch())
            return {QString::fromUtf8(rule.reason), reported};
    return {QStringLiteral("办公软件报告了错误"), reported};
}

bool IsNothingToPrint(const QString& reported)
{
    return reported.contains(QLatin1String("nothing to print"), Qt::CaseInsensitive);
}
