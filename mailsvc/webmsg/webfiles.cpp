#include "webmsg/webfiles.h"

#include "webmsg/htmltext.h"

#include <atomic>
#include <chrono>
#include <cstdint>

#ifdef _WIN32
#  include <windows.h>
#else
#  include <cstdio>
#  include <fstream>
#endif

namespace webmsg {

CString WebFilePath(const CString& dir, const CString& name)
{
    if (dir.IsEmpty() || !IsPlainFileName(name))
        return CString();
#ifdef _WIN32
    const char sep = '\\';
#else
    const char sep = '/';
#endif
    CString path = dir;
    const char last = dir[dir.GetLength() - 1];
    if (last != '\\' && last != '/')
        path += sep;
    path += name;
    return path;
}

bool CopyWebFile(const CString& source, const CString& target)
{
    if (source.IsEmpty() || target.IsEmpty())
        return false;
#ifdef _WIN32
    return ::CopyFileA(source, target, FALSE) != 0;
#else
    std::ifstream in(static_cast<const char*>(source), std::ios::binary);
    if (!in)
        return false;
    std::ofstream out(static_cast<const char*>(target), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0)
        out.write(buf, in.gcount());
    out.flush();
    if (!out || in.bad()) {
        out.close();
        std::remove(target);
        return false;
    }
    return true;
#endif
}

bool DeleteWebFile(const CString& path)
{
    if (path.IsEmpty())
        return false;
#ifdef _WIN32
    return ::DeleteFileA(path) != 0;
#else
    return std::remove(path) == 0;
#endif
}

namespace {

bool SystemRandom(unsigned char* out, unsigned long size)
{
#ifdef _WIN32
    using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
    static GenRandom fn = reinterpret_cast<GenRandom>(
        reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryA("advapi32.dll"), "SystemFunction036")));
    return fn && fn(out, size);
#else
    FILE* f = std::fopen("/dev/urandom", "rb");
    if (!f)
        return false;
    bool ok = std::fread(out, 1, size, f) == size;
    std::fclose(f);
    return ok;
#endif
}

} // namespace

CString NewWebFileTag()
{
    unsigned char random[16];
    if (!SystemRandom(random, sizeof random)) {
        // No random source: a clock and a counter still keep tags apart
        // (never reached on a working system).
        static std::atomic<uint64_t> counter{0};
        const uint64_t a = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const uint64_t b = counter.fetch_add(1) * 0x9E3779B97F4A7C15ull;
        for (int i = 0; i < 16; ++i)
            random[i] = static_cast<unsigned char>(((i < 8 ? a : b) >> ((i % 8) * 8)) ^ (i * 151));
    }
    static const char kHex[] = "0123456789abcdef";
    char text[33];
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = kHex[random[i] >> 4];
        text[2 * i + 1] = kHex[random[i] & 15];
    }
    text[32] = 0;
    return CString(text);
}

CString WebFileOriginalName(const CString& stored)
{
    int dash = stored.Find('-');
    return dash >= 0 ? stored.Mid(dash + 1) : stored;
}

} // namespace webmsg
