// The program's settings with an accepted-sender list of one address, as the
// plug-ins read them through the running program, under a company key of the
// test's own, removed afterwards. For the drivers that run a plug-in the
// host's way; without one the program has no list (an empty one).
#pragma once

#include "fx/fxwin.h"
#include "mapi/text_scramble.h"

#include <windows.h>

#include <string>

class AcceptedSenders {
public:
    explicit AcceptedSenders(const std::string& address) : m_app("Vindalex Personal Assistant")
    {
        m_company.Format("Ostrel Software Test %lu", GetCurrentProcessId());
        m_app.SetRegistryKey(m_company);
        CString entry = address.c_str();
        ZLMScrambleText(entry, kScrambleKeyAddressList);
        m_app.WriteProfileInt("Korvaneant1", "kVNumAddresses", 1);
        m_app.WriteProfileString("Korvaneant1", "kVOKAddresses0", entry);
    }
    ~AcceptedSenders() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\" + m_company); }
    AcceptedSenders(const AcceptedSenders&) = delete;
    AcceptedSenders& operator=(const AcceptedSenders&) = delete;

private:
    CWinApp m_app;
    CString m_company;
};
