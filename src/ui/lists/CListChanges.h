#pragma once
#include "engine/CFileEntrys.h"

#include <climits>
#include <functional>
#include <mutex>

class CUGDataSource;
class QObject;

// The changes of a list that its control has not shown yet. A list changes
// on whatever thread changes it, while its model may announce rows only on
// the window thread; rather than hand each change over on its own (a
// catalogue of 100 000 members would mean as many window calls), a control
// notes them here, from any thread, and one catch-up runs on the window
// thread for however many came meanwhile, announcing them all at once. The
// worker never waits for the window thread. Owned by the control; change
// kinds are those of SFileEntrysEvent.
class CListChanges
{
public:
    struct SSummary
    {
        int nChanges = 0;
        bool bCleared = false;
        bool bInserted = false;
        // The rows whose entries may differ: an insertion or a removal shifts
        // every row after it, a move only those it passed.
        int nFirst = INT_MAX;
        int nLast = -1;
    };

    // catchUp is the control's own, which calls CatchUp below.
    CListChanges(QObject& control, std::function<void()> catchUp);

    // Any thread. Records the change and has the control catch up: at once
    // on the control's thread, else through a queued call, posted by the
    // first change since the last catch-up only.
    void Note(const SFileEntrysEvent& change);
    // Window thread. Announces to the model what was noted and returns it.
    // count gives the rows the list holds; it is asked only once the notes
    // are taken, since a change made before it was noted must be in the
    // count, or its rows would never be announced. A clear resets the model; anything
    // else becomes rows added or taken at the end and a redraw of the rows
    // whose entries may differ. The list has changed before its model hears
    // of it, so only rows past the end may come or go: a row announced in the
    // middle would shift rows whose entries had shifted already.
    SSummary CatchUp(CUGDataSource& model, const std::function<int()>& count);
    // Forgets what was noted: the model is about to be reset anyway.
    void Discard();

private:
    QObject& m_control;
    std::function<void()> m_catchUp;
    std::mutex m_lock;
    SSummary m_noted;
};
