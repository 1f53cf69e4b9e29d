#include "ui/frame/CLockIndicators.h"

#include <QLabel>
#include <QStatusBar>

#ifdef _WIN32
#include <windows.h>
#else
#include <QDir>
#include <QFile>
#endif

namespace
{
constexpr int kRefreshMs = 500;
constexpr std::array<const char*, CLockIndicators::LOCK_COUNT> kTexts = {"CAP", "NUM", "SCRL"};

#ifndef _WIN32
// The keyboard LEDs the kernel exposes, one folder per keyboard and lock.
bool AnyLedOn(const char* suffix)
{
    const QDir leds(QStringLiteral("/sys/class/leds"));
    for (const QString& name :
         leds.entryList({QStringLiteral("*::") + QLatin1String(suffix)}, QDir::Dirs))
    {
        QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed() != "0")
            return true;
    }
    return false;
}
#endif
} // namespace

CLockIndicators::CLockIndicators(QStatusBar& bar) : QObject(&bar)
{
    for (int lock = 0; lock < LOCK_COUNT; ++lock)
    {
        auto* pane = new QLabel(QString::fromLatin1(kTexts[lock]), &bar);
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameShape(QFrame::StyledPanel);
        bar.addPermanentWidget(pane);
        m_panes[lock] = pane;
    }
    connect(&m_timer, &QTimer::timeout, this, &CLockIndicators::Refresh);
    m_timer.start(kRefreshMs);
    Refresh();
}

void CLockIndicators::Refresh()
{
    for (int lock = 0; lock < LOCK_COUNT; ++lock)
        m_panes[lock]->setEnabled(IsOn(static_cast<ELock>(lock)));
}

bool CLockIndicators::IsOn(ELock lock)
{
#ifdef _WIN32
    static constexpr std::array<int, LOCK_COUNT> keys = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
    return (GetKeyState(keys[lock]) & 1) != 0;
#else
    static constexpr std::array<const char*, LOCK_COUNT> leds = {"capslock", "numlock",
                                                                 "scrolllock"};
    return AnyLedOn(leds[lock]);
#endif
}
