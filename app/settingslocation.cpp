#include "app/settingslocation.h"

#include "convert/folderpath.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

std::string UserSettingsFile(const StartupPathValues& paths)
{
#ifdef Q_OS_WIN
    return paths.SettingsFile;
#else
    const auto local = [](const std::string& path) { return QString::fromLocal8Bit(path.c_str()); };
    if (QFileInfo(local(paths.ExeDir)).isWritable() && QFileInfo::exists(local(paths.SettingsFile)))
        return paths.SettingsFile;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (folder.isEmpty())
        return std::string();
    const QString own = folder + QStringLiteral("/Quillsheet.qlx");
    const QString installed = local(paths.ExeDir + "../share/quillsheet/Quillsheet.qlx");
    // The copy takes the installed file's permissions, which need not let its owner write. Where
    // it cannot be made, nothing is stored, as without the installed file.
    QString notMade;
    if (!QFileInfo::exists(own) && QFileInfo::exists(installed) &&
        MakeFolderPath(folder, notMade) && QFile::copy(installed, own))
        QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return own.toLocal8Bit().toStdString();
#endif
}
