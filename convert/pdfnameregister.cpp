#include "convert/pdfnameregister.h"

#include "convert/foldercase.h"

PdfNameRegister::PdfNameRegister(const QList<WorkbookTask>& tasks)
{
    QHash<int, int> last;
    for (int i = 0; i < tasks.size(); ++i) {
        index.insert(tasks[i].path, i);
        earlier << last.value(tasks[i].nameGroup, -1);
        done << false;
        last.insert(tasks[i].nameGroup, i);
    }
}

void PdfNameRegister::Begin(const WorkbookTask& task)
{
    std::unique_lock<std::mutex> lock(mutex);
    const int before = earlier.value(index.value(task.path, -1), -1);
    ended.wait(lock, [&] { return before < 0 || done[before]; });
}

QString PdfNameRegister::Take(const WorkbookTask& task, const QString& stem)
{
    std::lock_guard<std::mutex> lock(mutex);
    Group& group = groups[task.nameGroup];
    // Once the folder is there, as it is by the first export into it.
    if (!group.caseKnown) {
        group.ignoresCase = FolderIgnoresCase(task.folder);
        group.caseKnown = true;
    }
    const auto key = [&group](const QString& name) {
        return group.ignoresCase ? name.toCaseFolded() : name;
    };
    QString name = stem + QLatin1String(".pdf");
    for (int copy = 2; group.taken.contains(key(name)); ++copy)
        name = stem + QStringLiteral(" (%1).pdf").arg(copy);
    group.taken.insert(key(name));
    return name;
}

void PdfNameRegister::End(const WorkbookTask& task)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        const int i = index.value(task.path, -1);
        if (i >= 0)
            done[i] = true;
    }
    ended.notify_all();
}
