// Hosts without Windows: the program folder and a temporary name from the
// system; no shortcuts and no window messages.
#include "files/fileutil.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

CString GetModulePath()
{
    std::vector<char> buffer(4096);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return CString();
    buffer[static_cast<size_t>(n)] = '\0';
    CString path = buffer.data();
    int sep = path.ReverseFind('/');
    return sep < 0 ? CString() : path.Left(sep);
}

CString GetTempZipFile()
{
    const char* dir = getenv("TMPDIR");
    std::string name = std::string(dir && *dir ? dir : "/tmp") + "/ZLMXXXXXX";
    int fd = mkstemp(name.data());
    if (fd < 0) return CString();
    close(fd);
    unlink(name.c_str());
    return CString((name + ".zip").c_str());
}

CString ExpandShortcut(CString&)
{
    return CString();
}

void ProcessMessages(int) {}
