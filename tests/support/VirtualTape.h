#pragma once
// A tape device whose drive is the virtual one over an image file, for tests
// that put the engine on tape. Header-only: the test programs that use it
// link the engine.

#include "devices/CTarTapeDevice.h"
#include "platform/CSimhTape.h"

#include <functional>
#include <memory>
#include <string>

inline std::unique_ptr<CTarDevice>
MakeVirtualTapeDevice(const std::string& image,
                      const std::function<void(CSimhTape&)>& configure = {})
{
    return std::make_unique<CTarTapeDevice>(
        [image, configure](const std::string&) -> std::unique_ptr<CTapeApi>
        {
            auto drive = std::make_unique<CSimhTape>(image);
            if (configure)
                configure(*drive);
            return drive;
        },
        [](unsigned) {}); // a test never waits for a drive
}
