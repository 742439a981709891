#include "app/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

const char* const ShowRequest = "show\n";
const int AnswerMs = 2000;

} // namespace

SingleInstance::SingleInstance(const QString& serverName, QObject* parent)
    : QObject(parent), serverName(serverName)
{
    connect(&server, &QLocalServer::newConnection, this, &SingleInstance::Accept);
}

bool SingleInstance::BecomeFirst(bool showRunning)
{
    if (AskRunningCopy(showRunning))
        return false;
    if (server.listen(serverName))
        return true;
    // Either a copy started in between, or the socket is what a killed copy left behind.
    if (AskRunningCopy(showRunning))
        return false;
    QLocalServer::removeServer(serverName);
    // Should the socket still not be made, this copy runs on, only unreachable for later starts.
    server.listen(serverName);
    return true;
}

bool SingleInstance::AskRunningCopy(bool showRunning) const
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(AnswerMs))
        return false;
    if (showRunning) {
        socket.write(ShowRequest);
        socket.waitForBytesWritten(AnswerMs);
    }
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::Accept()
{
    while (QLocalSocket* socket = server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                if (socket->readLine() == ShowRequest)
                    emit showRequested();
        });
    }
}

QString SingleInstanceServerName(const QString& exePath)
{
    const QString exeName = QFileInfo(exePath).fileName();
#ifdef Q_OS_WIN
    return exeName + QLatin1Char('-') + QString::fromLocal8Bit(qgetenv("USERNAME"));
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + exeName + QLatin1Char('-') + QString::number(getuid());
#endif
}
