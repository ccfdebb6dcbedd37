#include "profiles.h"

#include <windows.h>

#include <cstdlib>

namespace vxmail {

const char kProfilesKey[] = "Software\\Vindalex\\VxMail";

namespace {

bool ReadString(HKEY key, const char* name, std::string& out) {
    char buf[1024];
    DWORD type = 0, size = sizeof buf - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    buf[size < sizeof buf ? size : sizeof buf - 1] = '\0';   // the stored value may lack its terminator
    out = buf;
    if (type == REG_EXPAND_SZ) {
        char expanded[1024];
        DWORD n = ExpandEnvironmentStringsA(buf, expanded, sizeof expanded);
        if (n > 0 && n <= sizeof expanded) out = expanded;
    }
    return true;
}

std::string Parent(const std::string& path) {
    std::string p = path;
    while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    size_t sep = p.find_last_of("\\/");
    return sep == std::string::npos ? std::string(".") : p.substr(0, sep);
}

} // namespace

bool LoadProfile(const std::string& requested, Profile& out) {
    std::string name = requested;
    HKEY root;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProfilesKey, 0, KEY_READ, &root) != ERROR_SUCCESS) return false;
    if (name.empty() && !ReadString(root, "DefaultProfile", name)) name.clear();
    RegCloseKey(root);
    // A name is one key below Profiles, never a path to another key.
    if (name.empty() || name.size() > 200 || name.find('\\') != std::string::npos) return false;
    HKEY key;
    std::string path = std::string(kProfilesKey) + "\\Profiles\\" + name;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    Profile p;
    p.name = name;
    ReadString(key, "Password", p.password);
    ReadString(key, "Maildir", p.maildir);
    ReadString(key, "From", p.from);
    std::string server;
    ReadString(key, "SmtpServer", server);
    ReadString(key, "Outbox", p.outbox);
    RegCloseKey(key);
    if (p.maildir.empty()) return false;
    // "host", "host:port", "[v6]:port".
    size_t colon = server.rfind(':');
    size_t bracket = server.find(']');
    if (colon != std::string::npos && server.find(':') == colon && (bracket == std::string::npos || colon > bracket)) {
        int port = atoi(server.c_str() + colon + 1);
        if (port > 0 && port < 65536) p.smtpPort = (unsigned short)port;
        server = server.substr(0, colon);
    } else if (colon != std::string::npos && bracket != std::string::npos && colon > bracket) {
        int port = atoi(server.c_str() + colon + 1);
        if (port > 0 && port < 65536) p.smtpPort = (unsigned short)port;
        server = server.substr(0, colon);
    }
    if (server.size() > 2 && server.front() == '[' && server.back() == ']') server = server.substr(1, server.size() - 2);
    p.smtpHost = server;
    // Outgoing mail waits beside the store unless the profile names a folder.
    if (p.outbox.empty()) p.outbox = Parent(p.maildir) + "\\Outbox";
    out = p;
    return true;
}

} // namespace vxmail
