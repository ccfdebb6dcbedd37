#include "program_resources.h"

namespace websrv {

std::string ProgramResource(int id, LPCSTR type)
{
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return std::string();
    HGLOBAL loaded = ::LoadResource(module, found);
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!bytes)
        return std::string();
    return std::string(bytes, ::SizeofResource(module, found));
}

std::string ProgramPage(int id)
{
    std::string text = ProgramResource(id, MAKEINTRESOURCEA(23));
    std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

std::string ProgramString(UINT id)
{
    char buf[2048] = {0};
    int n = ::LoadStringA(::GetModuleHandleA(nullptr), id, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

}  // namespace websrv
