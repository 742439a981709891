#include "convert/failurereasons.h"

#include <QCoreApplication>

namespace {

bool IsOurLanguage(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff)
            return true;
    return false;
}

} // namespace

QString ReasonOf(FailureKind kind, double limit)
{
    const char* reason = QT_TRANSLATE_NOOP("FailureReasons", "办公软件报告了错误");
    switch (kind) {
    case FailureKind::None:
    case FailureKind::Reported:
        break;
    case FailureKind::NameTooLong:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "文件名太长，文件系统不允许");
        break;
    case FailureKind::PathTooLong:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "路径太长");
        break;
    case FailureKind::NotWritable:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "文件夹无法写入");
        break;
    case FailureKind::DiskFull:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "磁盘已满");
        break;
    case FailureKind::OutOfInodes:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "磁盘已满（文件数已达上限）");
        break;
    case FailureKind::FileBusy:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "文件被占用");
        break;
    case FailureKind::FileEmpty:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "文件是空的");
        break;
    case FailureKind::FileMissing:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "文件不存在");
        break;
    case FailureKind::NotReadable:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "没有读取权限");
        break;
    case FailureKind::Encrypted:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "已加密，需要密码");
        break;
    case FailureKind::TextImportOnly:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "不是工作簿（只能作为文本导入）");
        break;
    case FailureKind::CannotOpen:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "无法打开（文件已损坏、已加密或不是工作簿）");
        break;
    case FailureKind::SheetHidden:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "工作表已隐藏");
        break;
    case FailureKind::NothingToPrint:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "没有可打印的内容");
        break;
    case FailureKind::SheetNameInvalid:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "工作表名称无效，无法读取");
        break;
    case FailureKind::NoPdfWritten:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "没有写出pdf文件");
        break;
    case FailureKind::NoAnswer:
        return QCoreApplication::translate("FailureReasons", "办公软件%1秒内没有响应，已被停止")
            .arg(limit);
    case FailureKind::WorkbookTooLong:
        return QCoreApplication::translate("FailureReasons", "工作簿的转换超过%1秒，已停止")
            .arg(limit);
    case FailureKind::MemoryExceeded:
        return QCoreApplication::translate("FailureReasons", "工作簿需要的内存超过%1 GB，已停止")
            .arg(limit);
    case FailureKind::OfficeEnded:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "办公软件意外退出");
        break;
    case FailureKind::OfficeStopped:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "办公软件已被停止，此工作簿未能继续转换");
        break;
    case FailureKind::CannotStart:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "办公软件无法启动");
        break;
    case FailureKind::TemporaryFolderUnusable:
        reason = QT_TRANSLATE_NOOP("FailureReasons", "临时文件夹已满或不可用，办公软件无法启动");
        break;
    }
    return QCoreApplication::translate("FailureReasons", reason);
}

ExplainedReason Explain(const ReportedFailure& failure)
{
    if (failure.kind == FailureKind::Reported && IsOurLanguage(failure.message))
        return {failure.message, QString()};
    return {ReasonOf(failure.kind, failure.limit), failure.message};
}
