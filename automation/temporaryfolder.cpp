#include "automation/temporaryfolder.h"

#include "support/filehelpers.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What keeps a folder path from serving, in the user's words; null when it serves.
const char* ProblemOf(const std::string& path)
{
    if (path.empty())
        return QT_TRANSLATE_NOOP("TemporaryFolder", "是空的");
    if (path[0] != '/')
        return QT_TRANSLATE_NOOP("TemporaryFolder", "不是绝对路径");
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR
                   ? QT_TRANSLATE_NOOP("TemporaryFolder", "不存在")
                   : QT_TRANSLATE_NOOP("TemporaryFolder", "无法访问");
    if (!S_ISDIR(info.st_mode))
        return QT_TRANSLATE_NOOP("TemporaryFolder", "不是文件夹");
    if (access(path.c_str(), W_OK | X_OK) != 0)
        return QT_TRANSLATE_NOOP("TemporaryFolder", "无法写入");
    return nullptr;
}

} // namespace

bool UsableTemporaryFolder(std::string& folder, std::string& problem)
{
    const char* variable = std::getenv("TMPDIR");
    const std::string path = variable ? variable : "/tmp";
    const char* wrong = ProblemOf(path);
    if (!wrong) {
        folder = path;
        problem.clear();
        return true;
    }
    folder.clear();
    const QString text =
        variable
            ? QCoreApplication::translate("TemporaryFolder", "临时文件夹不可用：TMPDIR=\"%1\"：%2")
            : QCoreApplication::translate("TemporaryFolder",
                                          "临时文件夹不可用：%1（TMPDIR未设置）：%2");
    // The path goes in as its bytes, which need not be text.
    problem = text.arg(QStringLiteral("%1"), QCoreApplication::translate("TemporaryFolder", wrong))
                  .toStdString();
    ReplaceFirst(problem, "%1", path);
    return false;
}
