#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One running copy per user and executable name. The first copy listens on a local socket that
// only its user reaches; a later start finds it there, asks it to bring its window up (unless
// that start is an -autorun one) and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& serverName, QObject* parent = nullptr);

    // False when a running copy answered, once it has been asked to show its window when
    // showRunning. True when this is the first copy; it then listens for later starts, in place
    // of a socket that a killed copy left behind.
    bool BecomeFirst(bool showRunning);

signals:
    void showRequested();

private:
    bool AskRunningCopy(bool showRunning) const;
    void Accept();

    QString serverName;
    QLocalServer server;
};

// The socket's name for the calling user and the running executable's file name: in the user's
// private runtime folder on Linux, so that no other user can take or reach it.
QString SingleInstanceServerName(const QString& exePath);
