#include "gui/app/RaiseRequests.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace quellstone::gui {

namespace {

// How long a later start waits for the running instance to take its request;
// the running instance answers from its event loop, which a long dialog may hold.
constexpr int kAskTimeoutMs = 2000;
constexpr char kRequest[] = "raise\n";

}  // namespace

RaiseRequests::RaiseRequests(QString socketPath, std::function<void()> onRequest)
    : socketPath_(std::move(socketPath)), onRequest_(std::move(onRequest)) {}

RaiseRequests::~RaiseRequests() = default;

bool RaiseRequests::Listen() {
    if (server_) return server_->isListening();
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // The caller holds the lock: a file at the path is a crashed run's socket.
    QLocalServer::removeServer(socketPath_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* connection = server_->nextPendingConnection()) {
            connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
            // One line, the request; anything else is not a start of this program.
            connect(connection, &QLocalSocket::readyRead, this, [this, connection] {
                if (!connection->canReadLine()) return;
                const bool request = connection->readLine(sizeof(kRequest)) == kRequest;
                connection->disconnectFromServer();
                if (request && onRequest_) onRequest_();
            });
        }
    });
    return server_->listen(socketPath_);
}

bool RaiseRequests::Ask(const QString& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kAskTimeoutMs)) return false;
    socket.write(kRequest);
    const bool sent = socket.waitForBytesWritten(kAskTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}

QString RaiseRequests::SocketPathFor(const QString& lockFile) {
    const QString suffix = QStringLiteral(".lock");
    const QString base = lockFile.endsWith(suffix) ? lockFile.left(lockFile.size() - suffix.size()) : lockFile;
    return base + QStringLiteral(".socket");
}

}  // namespace quellstone::gui
