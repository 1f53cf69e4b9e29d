#include "ui/shell/CLinuxDesktopLauncher.h"

#include "core/COsException.h"
#include "platform/CSystemError.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QUrl>

#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace
{
const QLatin1String kFileManagerService("org.freedesktop.FileManager1");

bool IsOnBus(QDBusConnection& bus, const QString& service)
{
    QDBusConnectionInterface* const names = bus.interface();
    return names && (names->isServiceRegistered(service).value() ||
                     names->activatableServiceNames().value().contains(service));
}

// The window manager's windows and the atoms naming their properties.
class CX11Windows
{
public:
    explicit CX11Windows(xcb_connection_t* connection)
        : m_pConnection(connection),
          m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
    {
    }

    // Asks the window manager to activate every managed window of the process.
    void Activate(qint64 pid)
    {
        const xcb_atom_t activeWindow = Atom("_NET_ACTIVE_WINDOW");
        const xcb_atom_t wmPid = Atom("_NET_WM_PID");
        for (const std::uint32_t window :
             Property(m_root, Atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW))
        {
            const std::vector<std::uint32_t> owner = Property(window, wmPid, XCB_ATOM_CARDINAL);
            if (!owner.empty() && owner.front() == pid)
                SendToRoot(window, activeWindow);
        }
        xcb_flush(m_pConnection);
    }

private:
    xcb_atom_t Atom(const char* name)
    {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(m_pConnection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_pConnection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    std::vector<std::uint32_t> Property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(m_pConnection, 0, window, name, type, 0, 4096);
        const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_pConnection, cookie, nullptr), &std::free);
        if (!reply || reply->format != 32)
            return {};
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        return {values, values + xcb_get_property_value_length(reply.get()) / 4};
    }

    // The request a pager sends: source 2 lets the window manager obey it
    // although the window belongs to another program.
    void SendToRoot(xcb_window_t window, xcb_atom_t type)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = type;
        event.data.data32[0] = 2;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_pConnection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }

    xcb_connection_t* m_pConnection;
    xcb_window_t m_root;
};
} // namespace

bool CLinuxDesktopLauncher::ShowFolderOnBus(const QString& folder)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !IsOnBus(bus, kFileManagerService))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kFileManagerService, QStringLiteral("/org/freedesktop/FileManager1"), kFileManagerService,
        QStringLiteral("ShowFolders"));
    call << QStringList{QUrl::fromLocalFile(folder).toString()} << QString();
    // Not waited for: a file manager started by the bus may take a while.
    return bus.send(call);
}

bool CLinuxDesktopLauncher::OpenFolder(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

qint64 CLinuxDesktopLauncher::Start(const QStringList& command)
{
    std::vector<std::string> words;
    for (const QString& word : command)
        words.push_back(QFile::encodeName(word).toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (const int error = posix_spawnp(&pid, argv.front(), nullptr, nullptr, argv.data(), environ))
        throw COsException(CSystemError::FromErrno(error));
    return pid;
}

// Our own child: reaped here once it has ended, so its id is never taken
// for another program's.
bool CLinuxDesktopLauncher::IsRunning(qint64 pid)
{
    return waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG) == 0;
}

void CLinuxDesktopLauncher::Raise(qint64 pid)
{
    auto* const x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        CX11Windows(x11->connection()).Activate(pid);
}
