#include "engine/CWriteBehind.h"

#include "core/CException.h"
#include "core/COsException.h"
#include "engine/CTarMessages.h"

#include <iterator>
#include <utility>

namespace
{
// The writer is woken for this many steps or bytes at once, or to drain:
// waking it per member would cost more than the thread saves.
constexpr std::size_t kWakeSteps = 32;
constexpr std::size_t kWakeBytes = 256 * 1024;
// Hand-overs wait beyond these, so that memory stays small.
constexpr std::size_t kMostSteps = 1024;
constexpr std::size_t kMostBytes = 1024 * 1024;
// Enough pieces to be used again for what may wait, and those being taken.
constexpr std::size_t kMostPieces = kMostBytes / CWriteBehind::kPieceSize + 2;
} // namespace

CWriteBehind::CWriteBehind() : m_thread(&CWriteBehind::Run, this)
{
}

CWriteBehind::~CWriteBehind()
{
    {
        std::lock_guard guard(m_lock);
        m_bStop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CWriteBehind::Begin(std::unique_ptr<CExtractedFile> target, const SArchiveEvent& event,
                         std::optional<unsigned> mode)
{
    // A member of many pieces is written here, after everything before it:
    // its data would cross from one processor's cache to the other's piece
    // by piece, which costs more than the thread saves.
    if (event.dwTotal > kPieceSize)
    {
        Drain();
        m_bThrough = true;
    }
    SStep step{EStep::Begin, std::move(target), event, mode, {}};
    step.event.nKind = TAR_EVENT_PROBLEM;
    Hand(std::move(step));
}

std::vector<unsigned char> CWriteBehind::NewPiece(std::uint64_t wanted)
{
    std::vector<unsigned char> piece;
    if (wanted < kPieceSize)
    {
        piece.reserve(static_cast<std::size_t>(wanted));
        return piece;
    }
    {
        std::lock_guard guard(m_lock);
        if (!m_pieces.empty())
        {
            piece = std::move(m_pieces.back());
            m_pieces.pop_back();
        }
    }
    piece.reserve(kPieceSize);
    return piece;
}

void CWriteBehind::Write(std::vector<unsigned char> data)
{
    Hand(SStep{EStep::Write, nullptr, {}, std::nullopt, std::move(data)});
}

void CWriteBehind::End()
{
    Hand(SStep{EStep::End, nullptr, {}, std::nullopt, {}});
    EndThrough();
}

void CWriteBehind::Abandon()
{
    Hand(SStep{EStep::Abandon, nullptr, {}, std::nullopt, {}});
    EndThrough();
}

void CWriteBehind::EndThrough()
{
    if (!m_bThrough)
        return;
    m_bThrough = false;
    std::lock_guard guard(m_lock);
    Publish();
}

void CWriteBehind::Hand(SStep step)
{
    if (m_bThrough)
    {
        Take(step);
        std::lock_guard guard(m_lock);
        KeepPiece(step);
        return;
    }
    std::unique_lock guard(m_lock);
    if (m_steps.size() >= kMostSteps || m_nWaitingBytes >= kMostBytes)
    {
        m_bReaderWaits = true;
        m_changed.wait(guard, [this]
                       { return m_steps.size() < kMostSteps && m_nWaitingBytes < kMostBytes; });
        m_bReaderWaits = false;
    }
    m_nWaitingBytes += step.data.size();
    ++m_nUnfinished;
    m_steps.push_back(std::move(step));
    const bool wake =
        m_bWriterWaits && (m_steps.size() >= kWakeSteps || m_nWaitingBytes >= kWakeBytes);
    guard.unlock();
    if (wake)
        m_changed.notify_all();
}

void CWriteBehind::Drain()
{
    std::unique_lock guard(m_lock);
    m_bDrain = true;
    m_bReaderWaits = true;
    m_changed.notify_all();
    m_changed.wait(guard, [this] { return m_nUnfinished == 0; });
    m_bReaderWaits = false;
    m_bDrain = false;
}

std::vector<SArchiveEvent> CWriteBehind::TakeProblems()
{
    if (!m_bProblems.load(std::memory_order_acquire))
        return {};
    std::lock_guard guard(m_lock);
    m_bProblems = false;
    return std::exchange(m_problems, {});
}

void CWriteBehind::Run()
{
    std::unique_lock guard(m_lock);
    for (;;)
    {
        m_bWriterWaits = true;
        m_changed.wait(guard,
                       [this]
                       {
                           return m_bStop || (!m_steps.empty() &&
                                              (m_bDrain || m_steps.size() >= kWakeSteps ||
                                               m_nWaitingBytes >= kWakeBytes));
                       });
        m_bWriterWaits = false;
        if (m_steps.empty())
            break;
        std::vector<SStep> steps = std::exchange(m_steps, {});
        guard.unlock();
        std::size_t bytes = 0;
        for (SStep& step : steps)
        {
            bytes += step.data.size();
            Take(step);
        }
        const std::size_t done = steps.size();
        guard.lock();
        KeepPieces(steps);
        m_nWaitingBytes -= bytes;
        m_nUnfinished -= done;
        Publish();
        if (m_bReaderWaits)
            m_changed.notify_all();
        guard.unlock();
        // The rest is freed here, by the thread that is done with it.
        steps.clear();
        guard.lock();
    }
    // Stopped with a member not ended: it is removed, as a failed one is.
    m_target.reset();
}

void CWriteBehind::Publish()
{
    m_problems.insert(m_problems.end(), std::make_move_iterator(m_failed.begin()),
                      std::make_move_iterator(m_failed.end()));
    m_failed.clear();
    if (!m_problems.empty())
        m_bProblems.store(true, std::memory_order_release);
}

void CWriteBehind::KeepPieces(std::vector<SStep>& steps)
{
    for (SStep& step : steps)
        KeepPiece(step);
}

void CWriteBehind::KeepPiece(SStep& step)
{
    if (m_pieces.size() < kMostPieces && step.data.capacity() == kPieceSize)
        m_pieces.push_back(std::move(step.data));
}

void CWriteBehind::Take(SStep& step)
{
    switch (step.step)
    {
    case EStep::Begin:
        m_target = std::move(step.target);
        m_event = std::move(step.event);
        m_mode = step.mode;
        break;
    case EStep::Write:
        // After a failure the rest of the member's data has nowhere to go.
        if (m_target &&
            !m_target->Write(step.data.data(), static_cast<std::uint32_t>(step.data.size())))
            Fail(CTarMessages::FileFailure(m_event.strName, COsException()));
        break;
    case EStep::End:
        if (m_target)
            Finish();
        break;
    case EStep::Abandon:
        m_target.reset();
        break;
    }
}

void CWriteBehind::Finish()
{
    try
    {
        m_target->Complete();
        const std::optional<std::string> unrestored = m_target->Restore(m_event.time, m_mode);
        m_target->Commit();
        m_target.reset();
        // The contents are whole; only the time or the mode is missing.
        if (unrestored)
            Report(*unrestored);
    }
    catch (const CException& e)
    {
        Fail(CTarMessages::MessageOf(e));
    }
}

void CWriteBehind::Fail(const std::string& message)
{
    m_target.reset();
    Report(message);
}

void CWriteBehind::Report(const std::string& message)
{
    SArchiveEvent problem = m_event;
    problem.strMessage = message;
    m_failed.push_back(std::move(problem));
}
