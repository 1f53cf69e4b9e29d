#pragma once
#include <functional>

class QObject;

// Carries a piece of window work (a box, a question) to the thread the
// context object lives on, and waits for its answer. On that thread itself
// it runs the work directly: a blocking queued call to one's own thread
// would never return.
class CWindowThread
{
public:
    static int Call(QObject* context, const std::function<int()>& work);
};
