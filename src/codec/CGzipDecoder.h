#pragma once
#include "codec/CDecoder.h"

#include <zlib.h>

// Reads gzip members through zlib. A member's end starts the next member
// at the next byte that is not zero: zeros after a whole member are the
// padding some writers leave.
class CGzipDecoder : public CDecoder
{
public:
    CGzipDecoder();
    ~CGzipDecoder() override;

protected:
    std::size_t DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                           std::size_t most, std::size_t& made) override;
    void FinishStream() override;

private:
    z_stream m_stream{};
    bool m_bInMember = false; // bytes of a member read, its end not yet
    bool m_bEnded = false;    // a member ended: zlib must start afresh for the next
};
