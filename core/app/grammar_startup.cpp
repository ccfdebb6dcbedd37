#include "grammar_startup.h"

#include "fx/msgbox.h"
#include "parser/dict/container.h"
#include "parser/dict/dictionary.h"

#include <new>

namespace {
// The parser reports a grammar file it cannot find before it gives up on it;
// the user is told which failure it was before the re-install notice.
void ShowGrammarNotFound(const char* message) { AfxMessageBox(message, MB_OK); }
}  // namespace

CGrammarDictionary* LoadStartupDictionary(const CString& programFolder)
{
    SetGrammarNotFoundHandler(&ShowGrammarNotFound);
    const CString words = programFolder + "\\VindalexW.Vqt";
    const CString rules = programFolder + "\\VindalexR.Vqt";
    CGrammarDictionary* dictionary =
        new (std::nothrow) CGrammarDictionary(words, rules, nullptr, 0xFFFFFFFFu, nullptr);
    if (!dictionary || !dictionary->IsLoaded()) {
        delete dictionary;
        AfxMessageBox(STARTUP_TEXT_GRAMMAR_FAILED, MB_OK);
        return nullptr;
    }
    return dictionary;
}
