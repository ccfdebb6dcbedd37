// The Horolux plug-in: answers requests for the time or the date. At the
// desktop it opens a live window (digital or analog clock, or the month
// calendar); through the web pages it answers one line of text; requests by
// mail are not its to serve.
#include "plugin_module.h"

#include "horolux_windows.h"
#include "time_reading.h"
#include "reply/reply.h"
#include "winmgr/winmgr.h"

#include <ctime>
#include <memory>

namespace {

#define MODULE_ROW(word, label) {word, label, "Horolux"},
const PlugInActionRow kRows[] = {HOROLUX_ACTION_ROWS(MODULE_ROW)};

const PlugInOption kOptions[] = {
    {"ClockFace", PLUGIN_OPTION_RADIO, 0, nullptr, 1008},
};

const char* const kMacros[] = {"% Horolux Macro Expand Test 1 %", "% Horolux Macro Expand Test 2 %"};

// The run-time library's formatting of the current local time.
CString FormatNow(const char* format)
{
    time_t now = std::time(nullptr);
    struct tm local {};
    localtime_s(&local, &now);
    char text[128] = {};
    std::strftime(text, sizeof text, format, &local);
    return text;
}

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Horolux",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_ALL_NEGATIVE,
    nullptr,
    0,
    kMacros,
    2,
    true,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    1,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// One date or time request: built by the export, run once, destroyed.
class CTimeRequest {
public:
    CTimeRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRecipient(requester), m_nLinkIndex(linkIndex), m_pLinks(links), m_nFifo(fifo)
    {
    }

    int Run();

private:
    bool OpenWindow(bool date);

    CPlugIn& m_PlugIn;
    CString* m_pRecipient;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    int m_nFifo;
    int m_nObject = -1;
};

int CTimeRequest::Run()
{
    int mode = m_PlugIn.m_nInterfaceMode;
    if (mode == MODE_EMAIL)
        return 0;
    m_nObject = FindTimeObject(m_pLinks);
    if (m_nObject < 0)
        return 0;
    if (m_PlugIn.m_bTestMode)
        return 1;
    bool date = IsDateObject(m_nObject);
    if (mode == MODE_DESKTOP) {
        OpenWindow(date);
        return 1;
    }
    MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRecipient, &m_PlugIn.m_strMyName, mode);
    CString subject;
    CString text = FormatNow(date ? "%A, %B %d, %Y" : "%H : %M %p");
    answer.Subject(&subject);
    answer.Text(&text);
    return 1;
}

bool CTimeRequest::OpenWindow(bool date)
{
    g_PlugInSettings.Load();
    std::unique_ptr<CHoroluxDialog> dialog;
    if (date)
        dialog.reset(new CCalendarDialog);
    else if (g_PlugInSettings.GetInt("ClockFace") == 1)
        dialog.reset(new CClockDialog);
    else
        dialog.reset(new CDateTimeDialog);
    HMODULE module = static_cast<HMODULE>(m_PlugIn.m_hModule);
    if (!dialog->CreateFromModule(module, g_WindowMgr.GetParent())) {
        m_PlugIn.Log("Horolux: the window could not be created.\r\n");
        return false;
    }
    // The window manager owns the object from here and deletes it, once,
    // when it finds the window closed.
    g_WindowMgr.AttachWindow(dialog.release(), 0);
    return true;
}

extern "C" int Horolux(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequestCatchAll<CTimeRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
