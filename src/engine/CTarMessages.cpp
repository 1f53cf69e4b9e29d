#include "engine/CTarMessages.h"

#include "core/CException.h"
#include "engine/CTarHeader.h"
#include "platform/CFileStatus.h"

std::string CTarMessages::Format(std::string_view format,
                                 std::initializer_list<std::string_view> args)
{
    std::string text;
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i)
    {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && arg != args.end())
        {
            text += *arg++;
            ++i;
        }
        else
        {
            text += format[i];
        }
    }
    return text;
}

std::string CTarMessages::Unsupported(const std::string& path, const CFileStatus& status)
{
    char type = '?'; // a socket has no tar type: it is named "unknown"
    switch (status.m_nKind)
    {
    case CFileStatus::KIND_LINK:
        type = '2';
        break;
    case CFileStatus::KIND_CHARACTER:
        type = '3';
        break;
    case CFileStatus::KIND_BLOCK:
        type = '4';
        break;
    case CFileStatus::KIND_FIFO:
        type = '6';
        break;
    default:
        break;
    }
    return Format(kUnsupportedType, {path, CTarHeader::GetTypeName(type)});
}

std::string CTarMessages::MessageOf(const CException& e)
{
    char buffer[1024];
    e.GetErrorMessage(buffer, sizeof buffer);
    return buffer;
}

std::string CTarMessages::FileFailure(const std::string& path, const CException& e)
{
    std::string text = MessageOf(e);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return "Unable to process file [" + path + "], " + text;
}
