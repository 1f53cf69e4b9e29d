#pragma once
#include "engine/CExtractedFile.h"
#include "engine/SArchiveEvent.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Writes the members of an extraction to their files on a thread of its own,
// while the extraction reads the next members from the archive: with many
// small files, writing, dating and closing each one costs as much as
// creating it and reading it together. A member bigger than one piece is
// written through, on the caller's thread, once everything before it is
// finished. The extraction creates each file
// itself, so that a file that cannot be made is reported in its place, and
// hands over the file, its data piece by piece and its end, in member order;
// the members are finished in that order too. A member that fails here is
// removed, as the extraction would remove it, and its problem waits to be
// taken: the extraction sends it a few members later than it would have.
// Hand-overs wait while a few MiB are waiting, so that memory stays small.
// The destructor finishes what was handed over and stops the thread.
class CWriteBehind
{
public:
    // A member's data goes over in pieces of at most this size.
    static constexpr std::size_t kPieceSize = 64 * 1024;

    CWriteBehind();
    ~CWriteBehind();
    CWriteBehind(const CWriteBehind&) = delete;
    CWriteBehind& operator=(const CWriteBehind&) = delete;

    // A member's file, just created. event names the member; its time and
    // mode are given the file once its data is whole.
    void Begin(std::unique_ptr<CExtractedFile> target, const SArchiveEvent& event,
               std::optional<unsigned> mode);
    // A piece for the next wanted bytes of a member's data, at most
    // kPieceSize: full-size pieces are used again once written, since
    // fresh memory costs the system a fault on every page. One used again
    // keeps its old size and bytes, so that sizing it costs no clearing.
    std::vector<unsigned char> NewPiece(std::uint64_t wanted);
    // The next piece of the member's data.
    void Write(std::vector<unsigned char> data);
    // The member's data is whole: its time and mode are set and it is put in
    // place.
    void End();
    // The member failed before its data was whole: its file is removed, with
    // no problem of its own.
    void Abandon();

    // Waits until everything handed over is finished.
    void Drain();
    // The problems of the members finished since the last call, in member
    // order, each a TAR_EVENT_PROBLEM of its member.
    std::vector<SArchiveEvent> TakeProblems();

private:
    enum class EStep
    {
        Begin,
        Write,
        End,
        Abandon,
    };

    struct SStep
    {
        EStep step;
        std::unique_ptr<CExtractedFile> target; // Begin
        SArchiveEvent event;                    // Begin
        std::optional<unsigned> mode;           // Begin
        std::vector<unsigned char> data;        // Write
    };

    // Queues the step for the writing thread, or takes it here while a
    // member is written through.
    void Hand(SStep step);
    void EndThrough();
    void Run();
    // The writer's side of one step, on the member now being written.
    void Take(SStep& step);
    // The caller holds the lock: makes the problems kept so far takeable.
    void Publish();
    // The caller holds the lock: keeps the full-size pieces for NewPiece.
    void KeepPieces(std::vector<SStep>& steps);
    void KeepPiece(SStep& step);
    // Dates the member's file and puts it in place.
    void Finish();
    // The member's file removed, and the message kept as its problem.
    void Fail(const std::string& message);
    void Report(const std::string& message);

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<SStep> m_steps;       // handed over, not yet taken
    std::size_t m_nWaitingBytes = 0;  // the data of m_steps and of those being taken
    std::size_t m_nUnfinished = 0;    // steps handed over and not yet done
    std::vector<SArchiveEvent> m_problems;
    std::vector<std::vector<unsigned char>> m_pieces; // written, to be used again
    // Whether m_problems holds any: asked once per member without the lock.
    std::atomic<bool> m_bProblems{false};
    bool m_bStop = false;
    bool m_bDrain = false;
    bool m_bWriterWaits = false;
    bool m_bReaderWaits = false;

    // The caller's own: whether the member now handed over is written
    // through, on the caller's thread.
    bool m_bThrough = false;

    // The writing thread's own, or the caller's while it writes through
    // (the writing thread then waits, with nothing to do): the member being
    // written.
    std::unique_ptr<CExtractedFile> m_target;
    SArchiveEvent m_event;
    std::optional<unsigned> m_mode;
    std::vector<SArchiveEvent> m_failed; // problems not yet handed back

    std::thread m_thread;
};
