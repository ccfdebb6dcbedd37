// Feeds arbitrary bytes through the site's handling of a request as the
// server runs it: the reader, the parser, the Host, Origin and Referer rules,
// the routing of a file name, the assistant's form (POST body or the pages'
// "?"-joined links) with its steps for a user with and without a session, the
// "|" form text a message receives, the page's user id in a template, the
// login delay by the client's address, and the access log's line.
#include "http_parse.h"
#include "site_rules.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace websrv;
    if (size < 5)
        return 0;
    // The first bytes choose the client's address and how the request is
    // split between receives; the rest is what the client sends.
    const std::uint32_t address = (std::uint32_t(data[0]) << 24) | (std::uint32_t(data[1]) << 16) |
                                  (std::uint32_t(data[2]) << 8) | data[3];
    const size_t cut = data[4];
    data += 5;
    size -= 5;
    RequestReader reader;
    const size_t first = cut < size ? cut : size;
    reader.Feed(reinterpret_cast<const char*>(data), first);
    if (reader.GetState() == RequestReader::NeedMore)
        reader.Feed(reinterpret_cast<const char*>(data) + first, size - first);
    if (reader.GetState() != RequestReader::Complete)
        return 0;
    HttpRequest request;
    if (!ParseRequest(reader.Head(), reader.Body(), request))
        return 0;

    ServedNames served;
    served.port = 8088;
    served.Add("assistant.example");
    const bool hostOk = HostIsServed(request, served);
    const bool foreign = FromOtherSite(request, served);
    URLIsServed(request.referer, served);
    URLIsServed(request.origin, served);
    std::string host;
    unsigned port = 0;
    SplitHostPort(request.host, host, port, 80);

    // The access log line, as written for every answer.
    const unsigned char a[4] = {data[0 % size], 0, 0, 1};
    const std::string logged = LogRequestLine(request.requestLine);
    FormatAccessLogLine(a, request.user, LogTime{2026, 12, 11, 10, 0, 0, 0}, logged, 200, 1);
    if (!hostOk || foreign)
        return 0;

    // The file name as the path resolution gives it: the URL's last part.
    const std::string& url = request.url;
    const std::string fileName = url.substr(url.find_last_of('/') == std::string::npos ? 0 : url.find_last_of('/') + 1);
    for (int flags = 0; flags < 16; ++flags) {
        RouteSiteRequest(fileName, flags & 1, flags & 2, flags & 4, flags & 8);
        RouteSiteRequest(fileName, flags & 1, flags & 2, flags & 4, flags & 8, true);
    }
    IsSafeURLPath(url);

    const AssistantForm form = ReadAssistantForm(request, {"exit", "quit", "bye"});
    const AssistantStep withSession = ChooseAssistantStep(form, true);
    ChooseAssistantStep(form, false);
    if (withSession == STEP_MESSAGE) {
        // What the message's ExecuteAction reads back.
        const FormFields back = SplitFormText(form.actionText);
        FormValue(back, "EmAddr");
        FormValue(back, "MBody");
    }
    // The attachment links' "?UserID=".
    FormValue(ParseQueryFields(request.query), "UserID");
    FillTemplate("<input name=\"UserID\" value=\"@userid@\">@assistant@",
                 {{"userid", EscapeHTML(form.user)}, {"assistant", "Ann-Lee"}});
    ActsForOwner(address, form.pw);

    if (withSession == STEP_LOGIN || ChooseAssistantStep(form, false) == STEP_LOGIN) {
        // Two tries of this password from the client's address, the second
        // cut bytes later (in 100 ms steps).
        LoginThrottle throttle;
        std::uint64_t now = 1000;
        for (int attempt = 0; attempt < 2; ++attempt, now += cut * 100) {
            std::uint64_t answerAt = 0;
            if (throttle.MayTry(address, now, answerAt)) {
                if (form.req == "sesame")
                    throttle.Succeeded(address);
                else
                    throttle.Failed(address, now);
            }
        }
    }
    return 0;
}
