#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

// Read-only access to the machine's hardware registry (the keys below
// HKEY_LOCAL_MACHINE), as much as tape discovery needs. On Windows it is the
// system's registry; tests give a fake, so the discovery walk is tested on
// every host. Keys are opened for query access only.
class CRegistryReader
{
public:
    // An open key. Whoever opens it owns it; destroying it releases the key.
    class CKey
    {
    public:
        virtual ~CKey() = default;

        // The named key directly below this one; nothing when it cannot be opened.
        virtual std::unique_ptr<CKey> OpenSubKey(const std::string& name) const = 0;
        // A string value read into a buffer of bufferSize bytes. A text that
        // does not fit with its terminator is not read, like any value that
        // is missing or is not a string: the answer is then nothing.
        virtual std::optional<std::string> ReadString(const std::string& name,
                                                      std::size_t bufferSize) const = 0;
    };

    virtual ~CRegistryReader() = default;

    // The key at a path below HKEY_LOCAL_MACHINE ("HARDWARE\DEVICEMAP\..."),
    // nothing when it cannot be opened.
    virtual std::unique_ptr<CKey> OpenKey(const std::string& path) const = 0;
};
