#pragma once
#include "codec/ECodecKind.h"

#include <cstddef>
#include <memory>
#include <vector>

// Compresses one archive piece by piece, for the device that writes it;
// one subclass per kind over its reference library. Each compresses on
// several processors (threads of its own, or the library's) and still
// writes one standard stream of its kind. A stream's memory is bounded by a
// few blocks per thread, whatever its size.
class CEncoder
{
public:
    // What a library's failure other than memory says; it does not happen
    // with the settings used here.
    static constexpr char kFailed[] = "The data could not be compressed.";

    virtual ~CEncoder();
    CEncoder(const CEncoder&) = delete;
    CEncoder& operator=(const CEncoder&) = delete;

    // An encoder for the kind; null for None. A level <= 0 is the kind's
    // default, one above the kind's highest is its highest; threads <= 0 is
    // one per processor. Raises "This build of Vorkant cannot write
    // xz-compressed archives." (with the kind's name) when the build lacks
    // the kind's library.
    static std::unique_ptr<CEncoder> Make(ECodecKind kind, int level, int threads);

    // Compresses the next piece of data, appending what is ready to out
    // (possibly nothing yet).
    virtual void Encode(const unsigned char* in, std::size_t size,
                        std::vector<unsigned char>& out) = 0;
    // Ends the stream: appends everything still held, trailers included.
    virtual void Finish(std::vector<unsigned char>& out) = 0;

protected:
    // Output grows by pieces of this size while a library fills it.
    static constexpr std::size_t kOutputStep = 64 * 1024;

    CEncoder() = default;

private:
    static int HighestLevel(ECodecKind kind);
};
