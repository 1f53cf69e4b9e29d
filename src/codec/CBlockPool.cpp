#include "codec/CBlockPool.h"

#include <algorithm>
#include <utility>

CBlockPool::CBlockPool(std::size_t blockSize, std::size_t dictionarySize, int threads,
                       Compressor compress)
    : m_nBlockSize(blockSize), m_nDictionarySize(dictionarySize), m_compress(std::move(compress))
{
    m_filling.input.reserve(m_nBlockSize);
    if (threads <= 1)
        return;
    // Two blocks a worker: one being compressed, one waiting for it.
    m_nMostInFlight = 2 * static_cast<std::size_t>(threads);
    try
    {
        for (int i = 0; i < threads; ++i)
            m_workers.emplace_back(&CBlockPool::Run, this);
    }
    catch (...)
    {
        Stop();
        throw;
    }
}

CBlockPool::~CBlockPool()
{
    Stop();
}

void CBlockPool::Stop()
{
    {
        std::lock_guard guard(m_lock);
        m_bStop = true;
    }
    m_work.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
    m_workers.clear();
}

void CBlockPool::Add(const unsigned char* in, std::size_t size, const Receiver& receive)
{
    while (size > 0)
    {
        // A full block waits for the data after it, so that the last block
        // is known as such when it is handed over.
        if (m_filling.input.size() == m_nBlockSize)
            Hand(false, receive);
        const std::size_t part = std::min(size, m_nBlockSize - m_filling.input.size());
        m_filling.input.insert(m_filling.input.end(), in, in + part);
        in += part;
        size -= part;
    }
}

void CBlockPool::Finish(const Receiver& receive)
{
    Hand(true, receive);
    Receive(receive, true);
}

void CBlockPool::Hand(bool last, const Receiver& receive)
{
    auto job = std::make_unique<SJob>();
    job->block = std::exchange(m_filling, SBlock{});
    job->block.bLast = last;
    const std::vector<unsigned char>& input = job->block.input;
    m_filling.dictionary.assign(input.end() - std::min(input.size(), m_nDictionarySize),
                                input.end());
    m_filling.input.reserve(m_nBlockSize);
    if (m_workers.empty())
    {
        Compress(*job);
        job->bDone = true;
    }
    {
        std::lock_guard guard(m_lock);
        if (!job->bDone)
            m_waiting.push_back(job.get());
        m_flight.push_back(std::move(job));
    }
    m_work.notify_one();
    Receive(receive, false);
}

void CBlockPool::Receive(const Receiver& receive, bool all)
{
    for (;;)
    {
        std::unique_ptr<SJob> job;
        {
            std::unique_lock guard(m_lock);
            if (m_flight.empty())
                return;
            if (!all && m_flight.size() < m_nMostInFlight && !m_flight.front()->bDone)
                return;
            m_done.wait(guard, [this] { return m_flight.front()->bDone; });
            job = std::move(m_flight.front());
            m_flight.pop_front();
        }
        if (job->error)
            std::rethrow_exception(job->error);
        receive(job->block);
    }
}

void CBlockPool::Compress(SJob& job) const
{
    try
    {
        m_compress(job.block);
    }
    catch (...)
    {
        job.error = std::current_exception();
    }
}

void CBlockPool::Run()
{
    std::unique_lock guard(m_lock);
    for (;;)
    {
        m_work.wait(guard, [this] { return m_bStop || !m_waiting.empty(); });
        if (m_bStop)
            return;
        SJob* job = m_waiting.front();
        m_waiting.pop_front();
        guard.unlock();
        Compress(*job);
        guard.lock();
        job->bDone = true;
        m_done.notify_one();
    }
}
