#pragma once
#include <QLocalServer>
#include <QObject>
#include <QString>

class QLocalSocket;

// Keeps one Vorkant window per user. The first start serves a local socket
// in the user's runtime folder; a later start hands it the archive it was
// given (or nothing, to bring the window forward) and ends. A request is a
// short frame: a tag, the path's length, the path; anything else is dropped
// without an answer. The application owns one: it asks before starting and
// serves after.
class CRunningInstance : public QObject
{
    Q_OBJECT

public:
    // The longest path a request may carry, in bytes.
    static constexpr quint32 MAX_PATH_BYTES = 16 * 1024;
    // How long a connection may take to send its request.
    static constexpr int REQUEST_TIMEOUT_MS = 5000;

    // Without a name: this user's socket, in the runtime folder.
    explicit CRunningInstance(QString name = QString(), QObject* parent = nullptr);

    static QString DefaultName();
    // The bytes of a request to open path, or of an empty one.
    static QByteArray Request(const QByteArray& path);

    // Hands the archive (an absolute path or a tape's name) to the running
    // window; an empty path only brings the window forward. True once the
    // window confirmed it, false when none is there or none answered.
    bool HandOver(const QString& path, int timeoutMs = REQUEST_TIMEOUT_MS) const;
    // Serves later starts. A socket that a crashed window left behind is
    // replaced; false when another window serves or the socket cannot be
    // made.
    bool Listen();
    bool IsListening() const { return m_server.isListening(); }
    void Close() { m_server.close(); }
    // Shortens how long a connection may take, for tests.
    void SetRequestTimeout(int timeoutMs) { m_nRequestTimeoutMs = timeoutMs; }

signals:
    // A later start asked for path to be opened in this window, or only for
    // the window to come forward when path is empty.
    void HandedOver(const QString& path);

private:
    bool IsServed() const;
    QString Name() const;
    void OnNewConnection();
    void OnReadyRead(QLocalSocket& socket);

    QString m_strName;
    QLocalServer m_server;
    int m_nRequestTimeoutMs = REQUEST_TIMEOUT_MS;
};
