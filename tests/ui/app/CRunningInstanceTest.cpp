#include "ui/app/CRunningInstance.h"

#include "support/CTestFolder.h"
#include "ui/frame/FrameTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace
{
class CRunningInstanceTest : public testing::Test
{
protected:
    CRunningInstanceTest()
    {
        QObject::connect(&m_window, &CRunningInstance::HandedOver,
                         [this](const QString& path) { m_received << path; });
    }

    QString Name() const { return QString::fromStdString(m_folder / "window"); }
    // The window hears of a path once the request's handler has returned.
    bool HandOver(const QString& path) const
    {
        const bool confirmed = CRunningInstance(Name()).HandOver(path);
        QCoreApplication::processEvents();
        return confirmed;
    }

    // What a crashed window leaves: the socket file, nobody serving it.
    void LeaveStaleSocket() const
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, (m_folder / "window").c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }

    CTestFolder m_folder;
    CRunningInstance m_window{Name()};
    QStringList m_received;
};

TEST_F(CRunningInstanceTest, TheRunningWindowIsHandedEachPathAndConfirmsIt)
{
    const QStringList paths = {"/home/me/backup 2026.tar", "/home/me/Bänder/ü.tar", "\\\\.\\tape0",
                               QString(), '/' + QString(CRunningInstance::MAX_PATH_BYTES - 1, 'x')};
    ASSERT_TRUE(m_window.Listen());
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                     QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFileInfo(Name()).permissions() & ~owner, QFile::Permissions());
    for (const QString& path : paths)
        EXPECT_TRUE(HandOver(path)) << path.left(40).toStdString();
    EXPECT_EQ(m_received, paths);
}

TEST_F(CRunningInstanceTest, ASocketLeftByACrashedWindowIsTakenOverButAServedOneIsNot)
{
    LeaveStaleSocket();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(HandOver("/a.tar"));
    EXPECT_LT(clock.elapsed(), 2000) << "refused at once, not after a wait";

    ASSERT_TRUE(m_window.Listen());
    EXPECT_FALSE(CRunningInstance(Name()).Listen());
    EXPECT_TRUE(HandOver("/a.tar"));
    EXPECT_EQ(m_received, QStringList{"/a.tar"});
}

QByteArray Header(const char* tag, quint32 length)
{
    QByteArray header(tag, 8);
    qToBigEndian(length, header.data() + 4);
    return header;
}

// Whatever arrives, the window neither opens it nor answers, drops the
// connection, and serves the next start as before.
TEST_F(CRunningInstanceTest, AMalformedRequestIsDroppedUnanswered)
{
    constexpr quint32 tooLong = CRunningInstance::MAX_PATH_BYTES + 1;
    const QByteArray valid = CRunningInstance::Request("/a.tar");
    const std::tuple<const char*, QByteArray, bool> cases[] = {
        // name, bytes, whether the sender keeps the connection open
        {"WrongTag", Header("XXXX....", 6) + "/a.tar", false},
        {"HugeLength", Header("VKNT....", 0xFFFFFFFF), true},
        {"JustTooLong", Header("VKNT....", tooLong) + QByteArray(tooLong, '/'), false},
        {"RelativePath", CRunningInstance::Request("a.tar"), false},
        {"NulInPath", CRunningInstance::Request(QByteArray("/a\0b.tar", 8)), false},
        {"CutShort", valid.left(10), false},
        {"Stalled", valid.left(10), true},
    };
    m_window.SetRequestTimeout(300);
    ASSERT_TRUE(m_window.Listen());
    for (const auto& [name, bytes, heldOpen] : cases)
    {
        SCOPED_TRACE(name);
        QLocalSocket sender;
        sender.connectToServer(Name());
        ASSERT_TRUE(sender.waitForConnected(1000));
        sender.write(bytes);
        sender.flush();
        if (!heldOpen)
            sender.disconnectFromServer();
        EXPECT_TRUE(
            WaitUntil([&] { return sender.state() == QLocalSocket::UnconnectedState; }, 3000));
        Spin(50);
        EXPECT_EQ(sender.bytesAvailable(), 0);
    }
    EXPECT_TRUE(m_received.isEmpty());
    EXPECT_TRUE(HandOver("/a.tar"));
}
} // namespace
