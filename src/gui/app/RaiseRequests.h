#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace quellstone::gui {

// How a later start of the program asks the running one to bring its window
// to the front: a Unix-domain socket beside the single-instance lock file.
// Only the instance that holds the lock listens, so a socket file left by a
// crashed run is removed and made anew. The request is the line "raise".
class RaiseRequests : public QObject {
    Q_OBJECT
public:
    // `onRequest` runs on the event loop for every request.
    RaiseRequests(QString socketPath, std::function<void()> onRequest);
    ~RaiseRequests() override;

    // Listens for requests; false when the socket cannot be made (the
    // program then runs without answering them).
    bool Listen();

    // Asks the instance listening at `socketPath` to come to the front; false
    // when none answers.
    static bool Ask(const QString& socketPath);

    // The socket beside a lock file: "NAME.lock" has "NAME.socket".
    static QString SocketPathFor(const QString& lockFile);

private:
    QString socketPath_;
    std::function<void()> onRequest_;
    QLocalServer* server_ = nullptr;  // a child of this object
};

}  // namespace quellstone::gui
