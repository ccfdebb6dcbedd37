// Whatever a mail holds, the texts put into a page carry no markup and no
// placeholder, and filling a page never reads outside its input.
#include "webmsg/htmltext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool Inert(std::string s)
{
    for (size_t p = s.find("<br>"); p != std::string::npos; p = s.find("<br>"))
        s.erase(p, 4);
    return s.find_first_of("<>\"'@") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\x01');
    const std::string tmpl = cut == std::string::npos ? std::string("<p>@body@</p>@subject@") : input.substr(0, cut);
    const std::string text(cut == std::string::npos ? input.c_str() : input.c_str() + cut + 1);

    const std::string escaped = webmsg::EscapeHTML(text.c_str());
    const std::string body = webmsg::BodyToHTML(text.c_str());
    if (escaped.find_first_of("<>\"'@") != std::string::npos || !Inert(body))
        abort();
    const std::string page = webmsg::FillPlaceholders(tmpl, {{"body", body}, {"subject", escaped}});
    if (tmpl.find('@') == std::string::npos && page != tmpl)
        abort();
    webmsg::IsPictureName(text.c_str());
    webmsg::IsPlainFileName(text.c_str());
    return 0;
}
