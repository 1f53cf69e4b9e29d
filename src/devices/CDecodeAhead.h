#pragma once
#include "codec/ECodecKind.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Reads a compressed archive file from its start and decompresses it on a
// thread of its own, a few pieces ahead of the engine, so that reading the
// archive costs no more time than the slower of the two. Memory stays
// bounded by the pieces waiting, however far the data expands. Owned by the
// device; the destructor stops the thread wherever it is.
class CDecodeAhead
{
public:
    // Opens the file by name, apart from the device's own use of it.
    CDecodeAhead(const std::string& path, ECodecKind kind);
    ~CDecodeAhead();
    CDecodeAhead(const CDecodeAhead&) = delete;
    CDecodeAhead& operator=(const CDecodeAhead&) = delete;

    // Up to size bytes of the decompressed stream; fewer only at its end.
    // Throws what failed (the file, or damaged or cut data) once the stream
    // reaches it.
    std::size_t Read(unsigned char* buffer, std::size_t size);
    // How many bytes lie ahead, up to size, waiting until size are
    // decompressed or the stream ends; throws as Read does.
    std::size_t Ahead(std::size_t size);

private:
    void Run();
    void Decode();
    // Hands a piece over, waiting while enough wait; false when stopped.
    bool Hand(std::vector<unsigned char> piece);
    // The caller holds the lock: waits for a piece, or the end. False at the end.
    bool TakePiece(std::unique_lock<std::mutex>& guard);

    std::string m_strPath;
    ECodecKind m_kind;

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<unsigned char>> m_pieces; // decompressed, not yet taken
    bool m_bEnd = false;                             // the decoder is done
    bool m_bStop = false;
    std::exception_ptr m_failure;

    // The reader's own: the piece being taken and how much of it is gone.
    std::vector<unsigned char> m_piece;
    std::size_t m_nTaken = 0;

    std::thread m_thread;
};
