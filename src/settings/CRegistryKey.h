#pragma once
#include "platform/CRegistryStore.h"

#include <cstdint>
#include <functional>
#include <string>

class CBinaryStream;

// One open key of the user's stored settings, raising COsException with the
// system's code for every call that fails (ERROR_FILE_NOT_FOUND for a
// missing key or value). Binary values holding a serialised object lead with
// their own total length; LoadObject and StoreObject keep that frame. Whoever
// opens a key owns it; the destructor closes it.
class CRegistryKey
{
public:
    using Loader = std::function<void(CBinaryStream& stream)>;
    using Storer = std::function<void(CBinaryStream& stream)>;

    // Closes any open key first. With KEY_CREATE_SUB_KEY among the rights a
    // missing key is created.
    void Open(ERegistryRoot root, const std::string& path, DWORD access);
    void Close();

    // Size in and out as the registry has it: without a buffer only the size
    // of the data is answered.
    void QueryValue(const std::string& name, DWORD& type, void* buffer, std::uint32_t& size) const;
    void SetValue(const std::string& name, DWORD type, const void* data, std::uint32_t size);
    void DeleteValue(const std::string& name);
    std::uint32_t GetValueSize(const std::string& name) const;

    // Reads the binary value whole and lets the loader read what follows its
    // length field. The stream raises CGenericException where the value ends
    // short.
    void LoadObject(const std::string& name, const Loader& loader) const;
    // Stores what the storer writes as a binary value, after its total length.
    void StoreObject(const std::string& name, const Storer& storer);

private:
    CRegistryStore m_store;
};
