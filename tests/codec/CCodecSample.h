#pragma once
#include "codec/ECodecKind.h"

#include <cstddef>
#include <string>

class CDecoder;
class CTestFolder;

// What the codec tests feed through the codecs: text that compresses as an
// archive of documents does, cut into pieces of odd sizes on the way in and
// out, and the kinds' own tools to check the result.
class CCodecSample
{
public:
    // Words and line breaks from a small vocabulary; the same for a size.
    static std::string Text(std::size_t size);

    // The data through a new encoder of the kind, finished.
    static std::string Encode(ECodecKind kind, int level, int threads, const std::string& data);
    // The data through a new decoder of the kind, finished.
    static std::string Decode(ECodecKind kind, const std::string& data);
    // The data through the decoder, not finished.
    static std::string Feed(CDecoder& decoder, const std::string& data);

    // Whether the tool can run: through a POSIX shell, so never on Windows.
    static bool HasTool(const CTestFolder& folder, const std::string& tool);
};
