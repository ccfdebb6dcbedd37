// A plug-in on the glue for the glue's tests: one row, a text option bound to
// an edit field, a dictionary with one macro, and a request object whose run
// is written to the running log.
#include "plugin_module.h"

namespace {

const PlugInActionRow kRows[] = {{"probe", "Op", "Probe"}};
const PlugInOption kOptions[] = {{"Note", PLUGIN_OPTION_TEXT, 0, "none", 1004}};
const unsigned kTestSentences[] = {9};
const char* const kMacros[] = {"% probe macro %"};

class CProbeRequest {
public:
    CProbeRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>*, int fifo)
        : m_PlugIn(plugIn), m_strRequester(*requester), m_nLinkIndex(linkIndex), m_nFifo(fifo)
    {
    }
    int Run()
    {
        if (m_strRequester == "throw")
            throw 42;
        CString line;
        line.Format("probe ran for %s at %d, fifo %d, test mode %d\r\n", static_cast<const char*>(m_strRequester),
                    m_nLinkIndex, m_nFifo, g_PlugIn.m_bTestMode);
        m_PlugIn.Log(line);
        return 1;
    }

private:
    CPlugIn& m_PlugIn;
    CString m_strRequester;
    int m_nLinkIndex;
    int m_nFifo;
};

CString s_strProbeText;

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "GlueProbe", kRows, 1, PLUGIN_INFO_ROWS_ALL_NEGATIVE, kTestSentences, 1, kMacros, 1,
    true,   // carries a dictionary
    false,  // ignores the attachment list
    true,   // takes the sender's name
    0,      // "-Active" default
    kOptions, 1,
};

extern "C" int Probe(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequest<CProbeRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}

// Test hooks: the glue's loaders as the plug-in sees them.
extern "C" const char* ProbeHtml(unsigned id)
{
    s_strProbeText = LoadPlugInHtml(id);
    return s_strProbeText;
}

extern "C" const char* ProbeString(unsigned id)
{
    s_strProbeText = LoadPlugInString(static_cast<HINSTANCE>(g_PlugIn.m_hModule), id);
    return s_strProbeText;
}
