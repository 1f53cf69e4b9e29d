#include "ui/app/CRunningInstance.h"

#include "document/CTarDoc.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

namespace
{
const QByteArray kTag = QByteArrayLiteral("VKNT");
constexpr qint64 kHeaderBytes = 8; // the tag and the path's length
const char kConfirm = '\x06';
// Requests come one a start: more at once than this are not a user's.
constexpr qsizetype kMaxConnections = 8;
constexpr int kProbeTimeoutMs = 1000;

void Drop(QLocalSocket& socket)
{
    socket.abort();
    socket.deleteLater();
}

// A path the running window may open: absolute, since it cannot know the
// sender's folder, or a tape's name.
bool IsAcceptable(const QByteArray& bytes, const QString& path)
{
    if (bytes.contains('\0'))
        return false;
    return bytes.isEmpty() || QDir::isAbsolutePath(path) ||
           CTarDoc::IsTapePath(bytes.toStdString());
}
} // namespace

CRunningInstance::CRunningInstance(QString name, QObject* parent)
    : QObject(parent), m_strName(std::move(name))
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.setMaxPendingConnections(static_cast<int>(kMaxConnections));
    connect(&m_server, &QLocalServer::newConnection, this, &CRunningInstance::OnNewConnection);
}

QString CRunningInstance::DefaultName()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("vorkant-window"));
}

QByteArray CRunningInstance::Request(const QByteArray& path)
{
    QByteArray request = kTag;
    request.resize(kHeaderBytes);
    qToBigEndian(static_cast<quint32>(path.size()), request.data() + kTag.size());
    return request + path;
}

bool CRunningInstance::HandOver(const QString& path, int timeoutMs) const
{
    const QByteArray bytes = QFile::encodeName(path);
    QLocalSocket socket;
    QEventLoop loop;
    bool confirmed = false;
    connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(Request(bytes)); });
    connect(&socket, &QLocalSocket::readyRead, &loop,
            [&]
            {
                confirmed = socket.read(1) == QByteArray(1, kConfirm);
                loop.quit();
            });
    connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    socket.connectToServer(Name());
    // Refused at once: nobody serves the name.
    if (socket.state() == QLocalSocket::UnconnectedState)
        return false;
    loop.exec();
    return confirmed;
}

bool CRunningInstance::Listen()
{
    // With user-only access the socket is made aside and renamed into
    // place, over whatever is there: a window that serves must be asked.
    if (IsServed())
        return false;
    if (m_server.listen(Name()))
        return true;
    if (m_server.serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Left behind by a window that ended without closing it.
    QLocalServer::removeServer(Name());
    return m_server.listen(Name());
}

bool CRunningInstance::IsServed() const
{
    QLocalSocket probe;
    probe.connectToServer(Name());
    return probe.waitForConnected(kProbeTimeoutMs);
}

QString CRunningInstance::Name() const
{
    return m_strName.isEmpty() ? DefaultName() : m_strName;
}

void CRunningInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection())
    {
        if (m_server.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size() >
            kMaxConnections)
        {
            Drop(*socket);
            continue;
        }
        // The socket stops reading beyond the longest request.
        socket->setReadBufferSize(kHeaderBytes + MAX_PATH_BYTES);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(*socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(m_nRequestTimeoutMs, socket, [socket] { Drop(*socket); });
    }
}

void CRunningInstance::OnReadyRead(QLocalSocket& socket)
{
    if (socket.bytesAvailable() < kHeaderBytes)
        return;
    const QByteArray header = socket.peek(kHeaderBytes);
    const quint32 length = qFromBigEndian<quint32>(header.constData() + kTag.size());
    if (!header.startsWith(kTag) || length > MAX_PATH_BYTES)
    {
        Drop(socket);
        return;
    }
    if (socket.bytesAvailable() < kHeaderBytes + length)
        return;
    socket.skip(kHeaderBytes);
    const QByteArray bytes = socket.read(length);
    const QString path = QFile::decodeName(bytes);
    if (!IsAcceptable(bytes, path))
    {
        Drop(socket);
        return;
    }
    // One request a connection.
    disconnect(&socket, nullptr, this, nullptr);
    socket.write(&kConfirm, 1);
    socket.disconnectFromServer();
    // Told once this handler has returned: opening the archive runs the wait
    // window's event loop, in which the socket may be deleted, and returning
    // into a deleted socket's signal would crash the window.
    QMetaObject::invokeMethod(this, [this, path] { emit HandedOver(path); }, Qt::QueuedConnection);
}
