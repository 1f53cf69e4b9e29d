#pragma once
#include "codec/CDecoder.h"

#include <bzlib.h>

// Reads bzip2 streams through libbz2. The library ends with each stream,
// so a stream that more data follows is followed by a fresh start: the
// streams of a parallel compressor read as one.
class CBzip2Decoder : public CDecoder
{
public:
    CBzip2Decoder();
    ~CBzip2Decoder() override;

protected:
    std::size_t DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                           std::size_t most, std::size_t& made) override;
    void FinishStream() override;

private:
    void Start();

    bz_stream m_stream{};
    bool m_bInStream = false; // bytes of a stream read, its end not yet
    bool m_bEnded = false;    // a stream ended: the library must start afresh
};
