// Drives the mail classes through the system's MAPI32.DLL for the end-to-end
// test: each run logs on with CMAPILogon (profile and password scrambled as the
// settings keep them) and prints what it saw, one "key=value" per line, texts in hex.
//
//   mapi_mail_client logon PROFILE PASSWORD
//   mapi_mail_client read PROFILE PASSWORD FINDFLAGS READFLAGS
//   mapi_mail_client send PROFILE PASSWORD SPECFILE
//     spec lines "key=hex": to=, cc=, bcc= (name|address), subject=, text=, attach= (path|name)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "fx/fxwin.h"
#include "mapi/zlm_mapi.h"

namespace {

std::string Hex(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

std::string Hex(const CString& text)
{
    return Hex(std::string(static_cast<LPCSTR>(text), text.GetLength()));
}

std::string Unhex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
    return out;
}

std::string ReadAll(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ULONG LogOn(CZLMMapi& session, const char* profile, const char* password)
{
    CString name(profile), secret(password);
    ZLMScrambleText(name, kScrambleKeyMailProfile);
    ZLMScrambleText(secret, kScrambleKeyMailPassword);
    CString log;
    CMAPILogon logon;
    ULONG rc = logon.Logon(&session, name, secret, &log, nullptr);
    std::printf("logon=%lu\nlog=%s\n", rc, Hex(log).c_str());
    return rc;
}

void PrintMessage(CZLMMapiMessage& m)
{
    std::printf("subject=%s\n", Hex(m.GetSubject()).c_str());
    std::printf("note=%s\n", Hex(m.GetNoteText()).c_str());
    std::printf("flags=%lu\n", static_cast<unsigned long>(m.GetFlags()));
    CZLMMapiRecipient& from = m.GetOriginator();
    std::printf("originators=%lu\n", static_cast<unsigned long>(from.GetSize()));
    if (from.GetSize() > 0) {
        from.SetPosition(0);
        std::printf("from=%s|%s\n", Hex(from.GetName()).c_str(), Hex(from.GetAddress()).c_str());
    }
    CZLMMapiRecipient& to = m.GetRecips();
    for (ULONG i = 0; i < to.GetSize(); ++i) {
        to.SetPosition(i);
        std::printf("recip=%lu|%s|%s\n", static_cast<unsigned long>(to.GetRecipClass()), Hex(to.GetName()).c_str(),
                    Hex(to.GetAddress()).c_str());
    }
    CTime when;
    ULONG rc = m.GetTimeReceived(when);
    std::printf("date=%s\n", rc ? "none" : static_cast<LPCSTR>(when.Format("%Y/%m/%d %H:%M")));
    CZLMMapiFile& files = m.GetFiles();
    for (ULONG i = 0; i < files.GetSize(); ++i) {
        CString path = files[i].GetPathName();
        std::printf("file=%s|%s\n", Hex(files.GetFileName()).c_str(), Hex(ReadAll(path)).c_str());
        DeleteFileA(path);
    }
}

int Read(CZLMMapi& session, ULONG findFlags, ULONG readFlags)
{
    CString id;
    CString type;
    // A store never lists more than this many messages to one sweep.
    for (int n = 0; n < 1000; ++n) {
        ULONG rc = session.FindNext(id, type, findFlags, id, nullptr);
        if (rc) {
            std::printf("end=%lu\n", static_cast<unsigned long>(rc));
            return 0;
        }
        std::printf("id=%s\n", static_cast<LPCSTR>(id));
        CZLMMapiMessage message;
        rc = session.ReadMail(id, readFlags, message, nullptr);
        std::printf("read=%lu\n", static_cast<unsigned long>(rc));
        if (rc == 0)
            PrintMessage(message);
    }
    std::printf("end=too many\n");
    return 1;
}

// Adds one entry to a list that may still be without storage.
template <class List>
List& Append(List& list)
{
    List one;
    one.CreatePointer(1);
    list += one;
    list.SetPosition(list.GetSize() - 1);
    return list;
}

int Send(CZLMMapi& session, const char* specPath)
{
    std::ifstream spec(specPath);
    CZLMMapiMessage message;
    CZLMMapiRecipient recips;
    CZLMMapiFile files;
    std::string line;
    while (std::getline(spec, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        size_t bar = value.find('|');
        std::string first = Unhex(value.substr(0, bar));
        std::string second = bar == std::string::npos ? std::string() : Unhex(value.substr(bar + 1));
        if (key == "subject")
            message.SetSubject(first.c_str());
        else if (key == "text")
            message.SetNoteText(first.c_str());
        else if (key == "to" || key == "cc" || key == "bcc") {
            Append(recips);
            recips.SetRecipClass(key == "to" ? MAPI_TO : key == "cc" ? MAPI_CC : MAPI_BCC);
            recips.SetName(first.c_str());
            recips.SetAddress(second.c_str());
        } else if (key == "attach") {
            Append(files);
            files.SetPathName(first.c_str());
            files.SetFileName(second.c_str());
            files.SetAttachmentPosition(0xFFFFFFFF);
        }
    }
    ULONG rc = message.SetRecips(recips);
    if (rc == 0)
        rc = message.SetFiles(files);
    if (rc == 0)
        rc = session.SendMail(message, 0, nullptr);
    std::printf("send=%lu\n", static_cast<unsigned long>(rc));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // No modal box may wait for a user here: print it instead.
    AfxSetMessageBoxHook([](HWND, LPCTSTR text, LPCTSTR, UINT) {
        std::printf("messagebox=%s\n", Hex(CString(text)).c_str());
        return IDOK;
    });
    if (argc < 4) {
        std::fprintf(stderr, "usage: mapi_mail_client logon|read|send PROFILE PASSWORD ...\n");
        return 2;
    }
    std::string command = argv[1];
    CZLMMapi session;
    if (session.getMAPIInitError()) {
        std::printf("init=%lu\n", static_cast<unsigned long>(session.getMAPIInitError()));
        return 1;
    }
    ULONG rc = LogOn(session, argv[2], argv[3]);
    if (command == "logon")
        return 0;
    if (rc)
        return 1;
    int result = 2;
    try {
        if (command == "read" && argc >= 6)
            result = Read(session, std::strtoul(argv[4], nullptr, 0), std::strtoul(argv[5], nullptr, 0));
        else if (command == "send" && argc >= 5)
            result = Send(session, argv[4]);
    } catch (CZLMMapiException* e) {
        std::printf("exception=%lu\n", static_cast<unsigned long>(e->m_ulResult));
        e->Delete();
        result = 1;
    }
    std::printf("logoff=%lu\n", static_cast<unsigned long>(session.Logoff(0, nullptr)));
    return result;
}
