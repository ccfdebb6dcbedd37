// Feeds arbitrary bytes through the request reader, parser and form decoder.
#include "http_parse.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace websrv;
    RequestReader reader;
    // Two feeds, so a terminator split between them is exercised too.
    size_t half = size / 2;
    reader.Feed(reinterpret_cast<const char*>(data), half);
    reader.Feed(reinterpret_cast<const char*>(data) + half, size - half);
    std::string_view all(reinterpret_cast<const char*>(data), size);
    HttpRequest request;
    if (reader.GetState() == RequestReader::Complete)
        ParseRequest(reader.Head(), reader.Body(), request);
    else
        ParseRequest(all, std::string_view(), request);
    FormFields fields = ParseFormFields(all);
    SplitFormText(BuildFormText(fields));
    SplitFormText(BuildFormText(ParseQueryFields(request.query)));
    IsSafeURLPath(request.url);
    HttpDate date;
    ParseDate(all, date);
    std::string out;
    Base64Decode(all, out);
    EscapeHTML(all);
    FillTemplate(all, {{"userid", "x"}, {"a", "@b@"}});
    const unsigned char addr[4] = {1, 2, 3, 4};
    FormatAccessLogLine(addr, request.user, LogTime{2026, 1, 1, 0, 0, 0, 0}, request.requestLine, 200, 1);
    return 0;
}
