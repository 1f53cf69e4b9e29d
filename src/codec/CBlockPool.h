#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Compresses a stream in blocks of a fixed size on worker threads of its
// own, for the encoders whose standard stream can be joined from blocks
// compressed apart (gzip, bzip2); the encoder owns it. The caller's thread
// cuts the data into blocks and gets them back compressed, in stream order,
// to join. At most two blocks per worker are in flight, so that memory stays
// bounded whatever the stream's size; with one thread there is no worker
// and the caller compresses each block itself. The destructor stops the
// workers; what they had not finished is dropped.
class CBlockPool
{
public:
    struct SBlock
    {
        std::vector<unsigned char> input;
        // The end of the input before this block, for kinds that prime
        // their compressor with it.
        std::vector<unsigned char> dictionary;
        bool bLast = false;
        // The compressor's: the compressed block and, for kinds that want
        // one, a check value of its input.
        std::vector<unsigned char> output;
        std::uint32_t nCheck = 0;
    };
    // Compresses one block, on a worker: it may use nothing but the block
    // and what it was made with. What it raises is raised again on the
    // caller's thread.
    using Compressor = std::function<void(SBlock&)>;
    // Takes each compressed block, in order, on the caller's thread.
    using Receiver = std::function<void(SBlock&)>;

    CBlockPool(std::size_t blockSize, std::size_t dictionarySize, int threads, Compressor compress);
    ~CBlockPool();
    CBlockPool(const CBlockPool&) = delete;
    CBlockPool& operator=(const CBlockPool&) = delete;

    // Adds data to the stream; receives the blocks compressed by now.
    void Add(const unsigned char* in, std::size_t size, const Receiver& receive);
    // The stream has ended: the block being filled is handed over as the
    // last (an empty one when no data came at all), and every block is
    // received.
    void Finish(const Receiver& receive);

private:
    struct SJob
    {
        SBlock block;
        std::exception_ptr error;
        bool bDone = false;
    };

    void Hand(bool last, const Receiver& receive);
    // Receives the compressed blocks at the front, waiting for the oldest
    // while too many are in flight, or for all of them.
    void Receive(const Receiver& receive, bool all);
    void Compress(SJob& job) const;
    void Run();
    void Stop();

    const std::size_t m_nBlockSize;
    const std::size_t m_nDictionarySize;
    const Compressor m_compress;
    std::size_t m_nMostInFlight = 1;
    SBlock m_filling; // the caller's own

    std::mutex m_lock;
    std::condition_variable m_work;             // the workers wait on it
    std::condition_variable m_done;             // the caller waits on it
    std::deque<std::unique_ptr<SJob>> m_flight; // handed over, in stream order
    std::deque<SJob*> m_waiting;                // handed over, no worker yet
    bool m_bStop = false;
    std::vector<std::thread> m_workers;
};
