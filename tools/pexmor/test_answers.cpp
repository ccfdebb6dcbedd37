#include "test_answers.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fx/fxwin.h"
#include "pexmor_doc.h"

namespace {

std::string Env(const char* name)
{
    char value[1024];
    DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n && n < sizeof value ? std::string(value, n) : std::string();
}

CPexmorDoc* Document()
{
    CWnd* main = AfxGetMainWnd();
    auto* frame = main ? dynamic_cast<CFrameWnd*>(main) : nullptr;
    return frame ? dynamic_cast<CPexmorDoc*>(frame->GetActiveDocument()) : nullptr;
}

} // namespace

void InstallTestAnswers()
{
    std::string log = Env("PEXMOR_MESSAGE_LOG");
    if (log.empty())
        return;
    std::string answers = Env("PEXMOR_ANSWERS");
    std::string hold = Env("PEXMOR_HOLD_FILE");
    AfxSetMessageBoxHook([log, answers, hold](HWND, LPCTSTR text, LPCTSTR, UINT type) mutable -> int {
        CPexmorDoc* doc = Document();
        if (FILE* f = std::fopen(log.c_str(), "ab")) {
            std::fprintf(f, "report:\n%s\nbox:\n%s\n----\n", doc ? static_cast<const char*>(doc->BuildReport()) : "",
                         text);
            std::fclose(f);
        }
        if (doc && doc->m_bDone && !hold.empty()) {
            for (int i = 0; i < 1200 && ::GetFileAttributesA(hold.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
                ::Sleep(100);
            hold.clear();
        }
        UINT kind = type & MB_TYPEMASK;
        if (kind != MB_YESNO && kind != MB_YESNOCANCEL)
            return IDOK;
        std::string answer = answers.substr(0, answers.find(','));
        answers = answers.find(',') == std::string::npos ? std::string() : answers.substr(answers.find(',') + 1);
        return answer == "yes" ? IDYES : IDNO;
    });
}
