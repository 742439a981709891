#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;

// The folder that dropped data names, as a folder picker gives it: native separators and one
// trailing separator. A dropped file names its folder; only the first local file or folder
// counts; empty when there is none (a web address, text).
QString DroppedFolder(const QMimeData* data);

// Takes folder drops on a widget (and nothing else, so a line edit never gets the text of a
// drop): accepted while enabled() says so, each folder handed to dropped.
class FolderDropTarget : public QObject
{
    Q_OBJECT

public:
    FolderDropTarget(QWidget* target, std::function<bool()> enabled,
                     std::function<void(const QString& folder)> dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> enabled_;
    std::function<void(const QString& folder)> dropped_;
};
