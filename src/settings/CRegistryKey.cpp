#include "settings/CRegistryKey.h"

#include "core/CBinaryStream.h"
#include "core/CGenericException.h"
#include "core/CMemoryException.h"
#include "core/COsException.h"

#include <limits>
#include <new>
#include <vector>

namespace
{

void Check(bool succeeded)
{
    if (!succeeded)
        throw COsException();
}

} // namespace

void CRegistryKey::Open(ERegistryRoot root, const std::string& path, DWORD access)
{
    Check(m_store.Open(root, path, access));
}

void CRegistryKey::Close()
{
    m_store.Close();
}

void CRegistryKey::QueryValue(const std::string& name, DWORD& type, void* buffer,
                              std::uint32_t& size) const
{
    Check(m_store.QueryValue(name, type, buffer, size));
}

void CRegistryKey::SetValue(const std::string& name, DWORD type, const void* data,
                            std::uint32_t size)
{
    Check(m_store.SetValue(name, type, data, size));
}

void CRegistryKey::DeleteValue(const std::string& name)
{
    Check(m_store.DeleteValue(name));
}

std::uint32_t CRegistryKey::GetValueSize(const std::string& name) const
{
    DWORD type = 0;
    std::uint32_t size = 0;
    QueryValue(name, type, nullptr, size);
    return size;
}

void CRegistryKey::LoadObject(const std::string& name, const Loader& loader) const
{
    std::uint32_t size = GetValueSize(name);
    std::vector<std::uint8_t> bytes;
    try
    {
        bytes.resize(size);
    }
    catch (const std::bad_alloc&)
    {
        throw CMemoryException();
    }
    DWORD type = 0;
    QueryValue(name, type, bytes.data(), size);
    bytes.resize(size);
    CBinaryStream stream(bytes);
    // The length field only frames the value for other readers: the value's
    // own size is what bounds the object.
    stream.ReadU32();
    loader(stream);
}

void CRegistryKey::StoreObject(const std::string& name, const Storer& storer)
{
    CBinaryStream body;
    storer(body);
    const std::vector<std::uint8_t>& bytes = body.Buffer();
    constexpr std::size_t kLengthField = 4;
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max() - kLengthField)
        throw CGenericException("Stored value too long.");
    const auto total = static_cast<std::uint32_t>(bytes.size() + kLengthField);
    CBinaryStream value;
    value.WriteU32(total);
    value.WriteBytes(bytes.data(), bytes.size());
    SetValue(name, REG_BINARY, value.Buffer().data(), total);
}
