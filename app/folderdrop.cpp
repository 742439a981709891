#include "app/folderdrop.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

QString DroppedFolder(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo dropped(url.toLocalFile());
        if (!dropped.exists())
            continue;
        QString folder = QDir::toNativeSeparators(dropped.isDir() ? dropped.absoluteFilePath()
                                                                  : dropped.absolutePath());
        if (!folder.endsWith(QDir::separator()))
            folder += QDir::separator();
        return folder;
    }
    return QString();
}

FolderDropTarget::FolderDropTarget(QWidget* target, std::function<bool()> enabled,
                                   std::function<void(const QString& folder)> dropped)
    : QObject(target), enabled_(std::move(enabled)), dropped_(std::move(dropped))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FolderDropTarget::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (enabled_() && !DroppedFolder(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString folder = DroppedFolder(drop->mimeData());
        if (enabled_() && !folder.isEmpty()) {
            drop->acceptProposedAction();
            dropped_(folder);
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}
