#include "convert/applicationsandbox.h"

#include "convert/automationobject.h"

#include <QCoreApplication>

QString UnsandboxedBecause(const RunOptions& options)
{
#ifdef Q_OS_WIN
    Q_UNUSED(options);
    return QCoreApplication::translate("Run",
                                       "Excel或WPS是桌面自己的应用程序，本程序不为它建立沙箱");
#else
    if (!options.sandbox)
        return QCoreApplication::translate("Run", "沙箱已按要求关闭（--no-sandbox）");
    const QString problem = SpreadsheetSandboxProblem();
    return problem.isEmpty() ? QString()
                             : QCoreApplication::translate("Run", "无法建立沙箱：%1").arg(problem);
#endif
}
