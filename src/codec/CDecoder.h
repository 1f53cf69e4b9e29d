#pragma once
#include "codec/ECodecKind.h"

#include <cstddef>
#include <memory>
#include <vector>

// Decompresses one compressed archive piece by piece, for the device that
// reads it; one subclass per kind over its reference library. Streams of
// the kind that follow one another (gzip members, bzip2 and xz streams,
// zstd frames) read as one, as GNU tar reads them. A decoder works on one
// thread at a time and holds no thread of its own.
class CDecoder
{
public:
    static constexpr char kDamaged[] = "The compressed data is damaged.";
    static constexpr char kCutShort[] = "The archive ends inside its compressed data.";

    virtual ~CDecoder();
    CDecoder(const CDecoder&) = delete;
    CDecoder& operator=(const CDecoder&) = delete;

    // A decoder for the kind; null for None. Raises "This build of Vorkant
    // cannot read xz-compressed archives." (with the kind's name) when the
    // build lacks the kind's library.
    static std::unique_ptr<CDecoder> Make(ECodecKind kind);

    // Decompresses from the next piece of input, appending at most `most`
    // bytes to out, and returns how much of the input it used. Data the
    // input held beyond the room stays with the decoder: while a call fills
    // its room, call again (with the rest of the input, or none). Raises
    // kDamaged for data that is no stream of the kind; what came out before
    // the damage is handed out first, and the next call raises.
    std::size_t Decode(const unsigned char* in, std::size_t size, std::vector<unsigned char>& out,
                       std::size_t most);
    // The input has ended: raises kCutShort when it ended inside a stream.
    void Finish();

protected:
    CDecoder() = default;

    // Decode into room for most bytes, counting in made what came out as
    // it comes, so that it holds even when the call raises.
    virtual std::size_t DecodeInto(const unsigned char* in, std::size_t size, unsigned char* room,
                                   std::size_t most, std::size_t& made) = 0;
    virtual void FinishStream() = 0;

    // Zeros where a stream may start are padding, such as tape blocks
    // filled out after the last stream: how many lead the input.
    static std::size_t LeadingZeros(const unsigned char* in, std::size_t size);

private:
    bool m_bDamaged = false; // raised with output before it, not yet told
};
