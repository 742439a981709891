#include "automation/officeapplications.h"

#include "automation/leftovers.h"
#include "automation/officeprocess.h"
#include "automation/officesandbox.h"
#include "automation/spreadsheetserver.h"
#include "automation/temporaryfolder.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

#include <unistd.h>

namespace {

constexpr long long Gigabyte = 1LL << 30;
constexpr long long MaxDefaultMemoryCeiling = 4 * Gigabyte;
constexpr int CallLimitsPerWorkbook = 10;

std::vector<std::string> LocalPaths(const QStringList& folders)
{
    std::vector<std::string> paths;
    for (const QString& folder : folders)
        if (!folder.isEmpty())
            paths.push_back(QFile::encodeName(folder).toStdString());
    return paths;
}

// The memory ceiling when none is set: the machine's memory shared among the offices and one
// more, at most 4 GB, rounded down to a tenth of a GB.
long long DefaultMemoryCeiling(int offices)
{
    const long long memory =
        static_cast<long long>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    const long long share = std::min(memory / (std::max(1, offices) + 1), MaxDefaultMemoryCeiling);
    return share / (Gigabyte / 10) * (Gigabyte / 10);
}

class OfficeApplications final : public SpreadsheetApplications
{
public:
    explicit OfficeApplications(const ApplicationOptions& options) : options(options) {}

    std::unique_ptr<SpreadsheetApplication> New(const ApplicationScope& scope) override
    {
        OfficeConfinement confinement;
        confinement.sandbox = options.sandbox;
        confinement.readableFolders = LocalPaths(scope.readable);
        confinement.writableFolders = LocalPaths(scope.writable);
        confinement.memoryCeiling = options.maxMemoryGB > 0
                                        ? static_cast<long long>(options.maxMemoryGB * Gigabyte)
                                        : DefaultMemoryCeiling(scope.applications);
        confinement.workbookLimit = options.workbookLimit.count() > 0
                                        ? options.workbookLimit
                                        : CallLimitsPerWorkbook * options.callLimit;
        return std::make_unique<SpreadsheetServer>(options.callLimit, options.restartInterval,
                                                   options.pdf, confinement, options.regionPaper);
    }

    QString UnsandboxedBecause() override
    {
        if (!options.sandbox)
            return QCoreApplication::translate("Run", "沙箱已按要求关闭（--no-sandbox）");
        const std::string& problem = SandboxProblem();
        return problem.empty() ? QString()
                               : QCoreApplication::translate("Run", "无法建立沙箱：%1")
                                     .arg(QString::fromStdString(problem));
    }

    QString TemporaryFolderProblem() override
    {
        std::string folder, problem;
        return UsableTemporaryFolder(folder, problem) ? QString() : QString::fromStdString(problem);
    }

    int RemoveLeftTemporaryPdfs(const QString& folder) override
    {
        return RemoveTemporaryPdfsOfEndedRuns(QFile::encodeName(folder).toStdString());
    }

    bool EndAllNow() override { return OfficeProcess::EndAllNow(); }
    bool StopAllNow() override { return OfficeProcess::KillAllNow(); }
    void AllowStarts() override { OfficeProcess::AllowStarts(); }

private:
    const ApplicationOptions options;
};

} // namespace

std::unique_ptr<SpreadsheetApplications>
NewSpreadsheetApplications(const ApplicationOptions& options)
{
    return std::make_unique<OfficeApplications>(options);
}
