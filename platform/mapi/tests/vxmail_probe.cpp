// Command-line driver of Simple MAPI for the interoperability test: each run does
// one thing through MAPI32.DLL and prints what it saw, one "key=value" per line
// (bytes outside printable ASCII, "\" and line ends written as \xHH).
//
//   vxmail_probe profile NAME MAILDIR OUTBOX FROM SMTP PASSWORD   ("-" for empty)
//   vxmail_probe list NAME FLAGS
//   vxmail_probe read NAME ID FLAGS
//   vxmail_probe sweep NAME FINDFLAGS READFLAGS    find, read, find the next after it...
//   vxmail_probe send NAME SPECFILE                spec lines: to=, cc=, bcc=, subject=, text=, attach=, from=
//   vxmail_probe save NAME SPECFILE [ID]
//   vxmail_probe delete NAME ID
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "mapi32_client.h"

namespace {

Mapi32 g_mapi;

std::string Escape(const char* s) {
    std::string out;
    if (!s) return "(null)";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
        if (*p < 32 || *p >= 127 || *p == '\\') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", *p);
            out += buf;
        } else {
            out += char(*p);
        }
    }
    return out;
}

std::string Hex(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

std::string ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
            out += char(std::strtol(s.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

LHANDLE Logon(const char* name) {
    LHANDLE h = 0;
    ULONG rc = g_mapi.Logon(0, const_cast<char*>(name), nullptr, 0, 0, &h);
    if (rc) {
        std::printf("logon=%lu\n", rc);
        std::exit(3);
    }
    return h;
}

void PrintMessage(const MapiMessage* m) {
    std::printf("subject=%s\n", Escape(m->lpszSubject).c_str());
    std::printf("note=%s\n", Escape(m->lpszNoteText).c_str());
    std::printf("date=%s\n", Escape(m->lpszDateReceived).c_str());
    std::printf("flags=%lu\n", m->flFlags);
    if (m->lpOriginator)
        std::printf("from=%s|%s\n", Escape(m->lpOriginator->lpszName).c_str(), Escape(m->lpOriginator->lpszAddress).c_str());
    for (ULONG i = 0; i < m->nRecipCount; ++i)
        std::printf("recip=%lu|%s|%s\n", m->lpRecips[i].ulRecipClass, Escape(m->lpRecips[i].lpszName).c_str(),
                    Escape(m->lpRecips[i].lpszAddress).c_str());
    for (ULONG i = 0; i < m->nFileCount; ++i) {
        std::string data = ReadAll(m->lpFiles[i].lpszPathName);
        std::printf("file=%s|%s\n", Escape(m->lpFiles[i].lpszFileName).c_str(), Hex(data).c_str());
        DeleteFileA(m->lpFiles[i].lpszPathName);
    }
}

// A message from a spec file (ANSI text, one "key=value" per line, values escaped).
struct Spec {
    std::vector<std::string> to, cc, bcc, attach;
    std::string subject, text, from;
    std::vector<MapiRecipDesc> recips;
    std::vector<MapiFileDesc> files;
    MapiRecipDesc originator{};
    MapiMessage msg{};
};

void LoadSpec(const char* path, Spec& s) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = Unescape(line.substr(eq + 1));
        if (key == "to") s.to.push_back(value);
        else if (key == "cc") s.cc.push_back(value);
        else if (key == "bcc") s.bcc.push_back(value);
        else if (key == "attach") s.attach.push_back(value);
        else if (key == "subject") s.subject = value;
        else if (key == "text") s.text = value;
        else if (key == "from") s.from = value;
    }
    auto add = [&](std::vector<std::string>& list, ULONG cls) {
        for (std::string& a : list)
            s.recips.push_back({0, cls, const_cast<char*>(a.c_str()), const_cast<char*>(a.c_str()), 0, nullptr});
    };
    add(s.to, MAPI_TO);
    add(s.cc, MAPI_CC);
    add(s.bcc, MAPI_BCC);
    for (std::string& a : s.attach) s.files.push_back({0, 0, ULONG(-1), const_cast<char*>(a.c_str()), nullptr, nullptr});
    s.msg.lpszSubject = const_cast<char*>(s.subject.c_str());
    s.msg.lpszNoteText = const_cast<char*>(s.text.c_str());
    if (!s.from.empty()) {
        s.originator = {0, MAPI_ORIG, const_cast<char*>(s.from.c_str()), const_cast<char*>(s.from.c_str()), 0, nullptr};
        s.msg.lpOriginator = &s.originator;
    }
    s.msg.nRecipCount = ULONG(s.recips.size());
    s.msg.lpRecips = s.recips.empty() ? nullptr : s.recips.data();
    s.msg.nFileCount = ULONG(s.files.size());
    s.msg.lpFiles = s.files.empty() ? nullptr : s.files.data();
}

std::string Arg(const char* a) { return std::strcmp(a, "-") == 0 ? std::string() : std::string(a); }

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 3) return 2;
    std::string cmd = argv[1];
    if (cmd == "profile" && argc == 8) {
        TestProfile p{argv[2], Arg(argv[7]), Arg(argv[3]), Arg(argv[5]), Arg(argv[6]), Arg(argv[4])};
        return WriteProfile(p) ? 0 : 1;
    }
    if (!g_mapi.Load()) {
        std::printf("load=failed\n");
        return 4;
    }
    LHANDLE h = Logon(argv[2]);
    ULONG rc = MAPI_E_FAILURE;
    if (cmd == "list" && argc == 4) {
        char seed[512] = "";
        for (int i = 0; i < 10000; ++i) {
            char id[512];
            rc = g_mapi.FindNext(h, 0, nullptr, seed, ULONG(std::strtoul(argv[3], nullptr, 0)), 0, id);
            if (rc) break;
            std::printf("id=%s\n", Escape(id).c_str());
            std::strcpy(seed, id);
        }
    } else if (cmd == "read" && argc == 5) {
        lpMapiMessage m = nullptr;
        rc = g_mapi.ReadMail(h, 0, argv[3], ULONG(std::strtoul(argv[4], nullptr, 0)), 0, &m);
        if (rc == 0) {
            PrintMessage(m);
            g_mapi.FreeBuffer(m);
        }
    } else if (cmd == "sweep" && argc == 5) {
        char seed[512] = "";
        for (int i = 0; i < 10000; ++i) {
            char id[512];
            rc = g_mapi.FindNext(h, 0, nullptr, seed, ULONG(std::strtoul(argv[3], nullptr, 0)) | MAPI_LONG_MSGID, 0, id);
            if (rc) break;
            lpMapiMessage m = nullptr;
            ULONG r = g_mapi.ReadMail(h, 0, id, ULONG(std::strtoul(argv[4], nullptr, 0)), 0, &m);
            std::printf("id=%s|%lu|%s\n", Escape(id).c_str(), r, m ? Escape(m->lpszSubject).c_str() : "");
            if (m) {
                for (ULONG k = 0; k < m->nFileCount; ++k) DeleteFileA(m->lpFiles[k].lpszPathName);
                g_mapi.FreeBuffer(m);
            }
            std::strcpy(seed, id);
        }
    } else if ((cmd == "send" || cmd == "save") && argc >= 4) {
        Spec s;
        LoadSpec(argv[3], s);
        if (cmd == "send") {
            rc = g_mapi.SendMail(h, 0, &s.msg, 0, 0);
        } else {
            char id[512] = "";
            if (argc >= 5) std::strncpy(id, argv[4], sizeof id - 1);
            rc = g_mapi.SaveMail(h, 0, &s.msg, 0, 0, id);
            if (rc == 0) std::printf("id=%s\n", Escape(id).c_str());
        }
    } else if (cmd == "delete" && argc == 4) {
        rc = g_mapi.DeleteMail(h, 0, argv[3], 0, 0);
    }
    std::printf("rc=%lu\n", rc);
    g_mapi.Logoff(h, 0, 0, 0);
    return 0;
}
