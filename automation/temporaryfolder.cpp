#include "automation/temporaryfolder.h"

#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What keeps a folder path from serving, in the user's words; empty when it serves.
std::string ProblemOf(const std::string& path)
{
    if (path.empty())
        return "是空的";
    if (path[0] != '/')
        return "不是绝对路径";
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? "不存在" : "无法访问";
    if (!S_ISDIR(info.st_mode))
        return "不是文件夹";
    if (access(path.c_str(), W_OK | X_OK) != 0)
        return "无法写入";
    return std::string();
}

} // namespace

bool UsableTemporaryFolder(std::string& folder, std::string& problem)
{
    const char* variable = std::getenv("TMPDIR");
    const std::string path = variable ? variable : "/tmp";
    const std::string wrong = ProblemOf(path);
    if (wrong.empty()) {
        folder = path;
        problem.clear();
        return true;
    }
    folder.clear();
    problem = "临时文件夹不可用：" +
              (variable ? "TMPDIR=\"" + path + "\"" : path + "（TMPDIR未设置）") + "：" + wrong;
    return false;
}
