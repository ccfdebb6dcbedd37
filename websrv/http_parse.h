// Parsing of what a web client sends: the request head, form text, dates,
// credentials and paths. No socket or system call here, so the host build
// tests it under the sanitizers and fuzzes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace websrv {

enum HttpVerb {
    HTTP_VERB_POST = 0,
    HTTP_VERB_GET = 1,
    HTTP_VERB_HEAD = 2,
    HTTP_VERB_PUT = 3,
    HTTP_VERB_LINK = 4,
    HTTP_VERB_DELETE = 5,
    HTTP_VERB_UNLINK = 6,
    HTTP_VERB_UNKNOWN = 7
};

// A request line without a version.
const unsigned kHttpVersion09 = 9;
inline unsigned MakeHttpVersion(unsigned major, unsigned minor) { return (major << 16) | (minor & 0xFFFF); }

// Caps on what one connection may send.
const std::size_t kMaxRequestHead = 64 * 1024;
const std::size_t kMaxRequestBody = 1024 * 1024;

// A calendar time as the wire carries it (UTC); fields as in SYSTEMTIME.
struct HttpDate {
    int year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// -1, 0, 1 as a is earlier, equal, later than b (day of week ignored).
int CompareHttpDates(const HttpDate& a, const HttpDate& b);

struct HttpRequest {
    std::string requestLine;
    int verb = HTTP_VERB_UNKNOWN;
    std::string url;    // decoded path
    std::string query;  // raw text after the first "?"
    unsigned version = 0;
    bool ifModifiedSincePresent = false;
    HttpDate ifModifiedSince;
    bool credentials = false;
    std::string user, password;
    std::string realm;
    std::string form;  // the body, cut to Content-Length
    std::string referer, host, contentType;
    std::string origin;
    int hostHeaders = 0;    // how many Host lines came (more than one is refused)
    bool originPresent = false;
    long contentLength = 0;
    void Reset() { *this = HttpRequest(); }
};

// "%XX" (either case) becomes that byte; a "%" not followed by two hex digits stays.
std::string URLDecode(std::string_view text);
// Standard alphabet, "=" skipped; any other character fails (0). Appends to out.
int Base64Decode(std::string_view in, std::string& out);
// RFC 1123, RFC 850 and asctime dates.
bool ParseDate(std::string_view value, HttpDate& date);
bool ParseAuthorization(std::string_view value, std::string& user, std::string& password);
bool ParseRequestLine(std::string_view line, HttpRequest& request);
// head: the request up to and including the blank line; body: what followed.
bool ParseRequest(std::string_view head, std::string_view body, HttpRequest& request);

// Gathers the bytes of one request: the head up to the blank line (capped),
// then as many body bytes as its Content-Length asks for (capped).
class RequestReader {
public:
    enum State { NeedMore, Complete, TooLarge };
    State Feed(const char* data, std::size_t size);
    State GetState() const { return m_state; }
    // True once the head's empty line is in.
    bool HeadComplete() const { return m_headEnd != 0; }
    std::string_view Head() const { return std::string_view(m_data).substr(0, m_headEnd); }
    std::string_view Body() const;
    void Reset() { *this = RequestReader(); }
    // Content-Length of the head, case-insensitive name; -1 absent, -2 malformed.
    static long HeadContentLength(std::string_view head);

private:
    State Evaluate(std::size_t searchFrom);
    std::string m_data;
    std::size_t m_headEnd = 0;  // 0 until the blank line is in
    long m_bodyLength = 0;
    State m_state = NeedMore;
};

// Form fields as HTML forms encode them: split at "&" first, then "+" becomes
// a blank, then "%XX" is decoded, in names and values alike.
using FormFields = std::vector<std::pair<std::string, std::string>>;
FormFields ParseFormFields(std::string_view encoded);
// The fields of a URL's query. The messages' own links join their fields with
// "?" ("AssistantReply.kvx?req=FullMsgRead?UserID=...?MessageID=..."), a form
// sent with GET joins them with "&": both separate fields, decoded as above.
FormFields ParseQueryFields(std::string_view query);
// The first field of that name; empty when absent.
std::string FormValue(const FormFields& fields, std::string_view name, bool* present = nullptr);
// The text that web messages receive: "name=value" joined by "|". A "|" inside
// a name or value becomes a broken bar (0xA6) so it cannot open another field.
std::string BuildFormText(const FormFields& fields);
// Splits text of the joined form back into fields (names compared whole).
FormFields SplitFormText(std::string_view text);

// A decoded URL path that may be mapped onto a folder: no "..", no control
// characters, no drive or stream colon, not empty.
bool IsSafeURLPath(std::string_view path);

// Stored form of a virtual directory's alias: begins with "\" and, when longer
// than one character, ends with one.
std::string NormaliseAlias(std::string alias);

// "Thu, 10 Dec 2026 13:00:00 GMT".
std::string FormatHttpDate(const HttpDate& date);
const char* StatusLine(int status);  // nullptr for codes without a fixed line
// Content type of the built-in table for an extension with its dot, or nullptr.
const char* BuiltinContentType(std::string_view extension);

// Makes text safe inside HTML; "@" too, so no placeholder survives in it.
std::string EscapeHTML(std::string_view text);
// A path segment for a link: everything but unreserved characters as %XX.
std::string EscapeURLSegment(std::string_view text, bool keepSlash = false);
// Replaces every "@name@" found in values in one left-to-right pass; inserted
// text is never searched again.
std::string FillTemplate(std::string_view page, const std::vector<std::pair<std::string, std::string>>& values);

// A stored colour (0x00BBGGRR, as the colour pickers and settings keep it) as
// the pages' colour attributes take it: six lower-case digits red, green, blue.
std::string HtmlColour(std::uint32_t colorref);

// One line of the common log format; control characters of the user name and
// request line are written escaped ("\r", "\n", "\xHH") so a request cannot
// forge lines of the log.
struct LogTime {
    int year, month, day, hour, minute, second;
    long biasMinutes;
};
std::string FormatAccessLogLine(const unsigned char address[4], std::string_view user, const LogTime& time,
                                std::string_view requestLine, int status, long bytes);
std::string EscapeLogText(std::string_view text);

// A web user's id: 16 random bytes as hex, "t" in front for the small-device pages.
std::string MakeUserId(const unsigned char random[16], bool smallDevice);

}  // namespace websrv
