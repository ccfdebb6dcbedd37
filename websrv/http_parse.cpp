#include "http_parse.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace websrv {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> SplitAny(std::string_view s, const char* delims)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::strchr(delims, s[i]) && s[i] != '\0')
            ++i;
        std::size_t start = i;
        while (i < s.size() && !(std::strchr(delims, s[i]) && s[i] != '\0'))
            ++i;
        if (i > start)
            words.push_back(s.substr(start, i - start));
    }
    return words;
}

// A decimal number of at most 9 digits, the whole word.
bool ReadNumber(std::string_view word, int& value)
{
    if (word.empty() || word.size() > 9)
        return false;
    value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

const char* const kDayShort[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kDayLong[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonth[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int DayIndex(std::string_view name)
{
    for (int i = 0; i < 7; ++i)
        if (name == kDayShort[i] || name == kDayLong[i])
            return i;
    return -1;
}

int MonthIndex(std::string_view name)
{
    for (int i = 0; i < 12; ++i)
        if (name == kMonth[i])
            return i + 1;
    return -1;
}

}  // namespace

int CompareHttpDates(const HttpDate& a, const HttpDate& b)
{
    const int av[] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
    const int bv[] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
    for (int i = 0; i < 6; ++i)
        if (av[i] != bv[i])
            return av[i] < bv[i] ? -1 : 1;
    return 0;
}

std::string URLDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

int Base64Decode(std::string_view in, std::string& out)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    unsigned accumulator = 0;
    int bits = 0, written = 0;
    std::string result;
    for (char ch : in) {
        if (ch == '=')
            continue;
        const char* hit = ch ? std::strchr(kAlphabet, ch) : nullptr;
        if (!hit)
            return 0;
        accumulator = ((accumulator << 6) | static_cast<unsigned>(hit - kAlphabet)) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            result += static_cast<char>((accumulator >> bits) & 0xFF);
            ++written;
        }
    }
    out += result;
    return written;
}

bool ParseDate(std::string_view value, HttpDate& date)
{
    if (value.size() <= 5)
        return false;
    HttpDate d;
    std::vector<std::string_view> w;
    int dayName = -1, month = -1;
    if (value[3] == ',') {
        w = SplitAny(value, ", :");
        if (w.size() < 7)
            return false;
        dayName = DayIndex(w[0]);
        month = MonthIndex(w[2]);
        if (!ReadNumber(w[1], d.day) || !ReadNumber(w[3], d.year) || !ReadNumber(w[4], d.hour) ||
            !ReadNumber(w[5], d.minute) || !ReadNumber(w[6], d.second))
            return false;
    } else if (value[3] != ' ') {
        w = SplitAny(value, ", :-");
        if (w.size() < 7)
            return false;
        dayName = DayIndex(w[0]);
        month = MonthIndex(w[2]);
        if (!ReadNumber(w[1], d.day) || !ReadNumber(w[3], d.year) || !ReadNumber(w[4], d.hour) ||
            !ReadNumber(w[5], d.minute) || !ReadNumber(w[6], d.second))
            return false;
        if (d.year < 50)
            d.year += 2000;
        else if (d.year < 100)
            d.year += 1900;
    } else {
        w = SplitAny(value, " :");
        if (w.size() < 7)
            return false;
        dayName = DayIndex(w[0]);
        month = MonthIndex(w[1]);
        if (!ReadNumber(w[2], d.day) || !ReadNumber(w[3], d.hour) || !ReadNumber(w[4], d.minute) ||
            !ReadNumber(w[5], d.second) || !ReadNumber(w[6], d.year))
            return false;
    }
    if (dayName < 0 || month < 0)
        return false;
    if (d.day < 1 || d.day > 31 || d.hour > 23 || d.minute > 59 || d.second > 60 || d.year > 30827)
        return false;
    d.dayOfWeek = dayName;
    d.month = month;
    date = d;
    return true;
}

bool ParseAuthorization(std::string_view value, std::string& user, std::string& password)
{
    std::vector<std::string_view> w = SplitAny(value, " ");
    if (w.size() < 2 || w[0] != "Basic")
        return false;
    std::string decoded;
    if (Base64Decode(w[1], decoded) == 0)
        return false;
    std::size_t colon = decoded.find(':');
    if (colon == std::string::npos)
        return false;
    user = decoded.substr(0, colon);
    password = decoded.substr(colon + 1);
    return true;
}

bool ParseRequestLine(std::string_view line, HttpRequest& r)
{
    static const char* const kVerbs[] = {"POST", "GET", "HEAD", "PUT", "LINK", "DELETE", "UNLINK"};
    std::vector<std::string_view> w = SplitAny(line, " ");
    if (w.empty())
        return false;
    r.verb = HTTP_VERB_UNKNOWN;
    for (int i = 0; i < 7; ++i)
        if (EqualNoCase(w[0], kVerbs[i]))
            r.verb = i;
    if (w.size() < 2)
        return false;
    // The query is split off before anything is decoded, so an encoded "?"
    // stays part of the path.
    std::string_view raw = w[1];
    std::size_t q = raw.find('?');
    if (q != std::string_view::npos) {
        r.query = std::string(raw.substr(q + 1));
        raw = raw.substr(0, q);
    }
    std::size_t at = raw.find('@');
    if (at != std::string_view::npos) {
        std::string_view cred = raw.substr(0, at);
        std::size_t colon = cred.find(':');
        r.user = URLDecode(cred.substr(0, colon));
        r.password = colon == std::string_view::npos ? std::string() : URLDecode(cred.substr(colon + 1));
        r.credentials = true;
        raw = raw.substr(at + 1);
    }
    r.url = URLDecode(raw);
    if (w.size() >= 3) {
        std::string_view v = w[2];
        if (v.substr(0, 5) != "HTTP/")
            return false;
        v.remove_prefix(5);
        std::size_t dot = v.find('.');
        int major = 0, minor = 0;
        if (dot == std::string_view::npos || !ReadNumber(v.substr(0, dot), major) ||
            !ReadNumber(v.substr(dot + 1), minor) || major > 0xFFFF || minor > 0xFFFF)
            return false;
        r.version = MakeHttpVersion(major, minor);
        return true;
    }
    r.version = kHttpVersion09;
    return r.verb == HTTP_VERB_GET;
}

bool ParseRequest(std::string_view head, std::string_view body, HttpRequest& r)
{
    r.form.clear();
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < head.size()) {
        std::size_t nl = head.find('\n', start);
        std::size_t end = nl == std::string_view::npos ? head.size() : nl;
        std::string_view line = head.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty())
        return false;
    r.requestLine = std::string(lines[0]);
    bool ok = ParseRequestLine(lines[0], r);
    long length = -1;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::size_t colon = lines[i].find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view name = Trim(lines[i].substr(0, colon));
        std::string_view value = Trim(lines[i].substr(colon + 1));
        if (EqualNoCase(name, "If-Modified-Since")) {
            if (ParseDate(value, r.ifModifiedSince))
                r.ifModifiedSincePresent = true;
        } else if (EqualNoCase(name, "Authorization")) {
            std::string user, password;
            if (ParseAuthorization(value, user, password)) {
                r.credentials = true;
                r.user = user;
                r.password = password;
            }
        } else if (EqualNoCase(name, "Referer")) {
            r.referer = std::string(value);
        } else if (EqualNoCase(name, "Host")) {
            r.host = std::string(value);
            ++r.hostHeaders;
        } else if (EqualNoCase(name, "Origin")) {
            r.origin = std::string(value);
            r.originPresent = true;
        } else if (EqualNoCase(name, "Content-Type")) {
            r.contentType = std::string(value);
        } else if (EqualNoCase(name, "Content-Length")) {
            int n = 0;
            if (ReadNumber(value, n))
                length = n;
        }
    }
    if (length >= 0) {
        r.contentLength = length;
        r.form = std::string(body.substr(0, static_cast<std::size_t>(length)));
    }
    return ok;
}

long RequestReader::HeadContentLength(std::string_view head)
{
    long result = -1;
    std::size_t start = 0;
    while (start < head.size()) {
        std::size_t nl = head.find('\n', start);
        std::size_t end = nl == std::string_view::npos ? head.size() : nl;
        std::string_view line = head.substr(start, end - start);
        start = end + 1;
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !EqualNoCase(Trim(line.substr(0, colon)), "Content-Length"))
            continue;
        std::string_view value = Trim(line.substr(colon + 1));
        if (!value.empty() && value.back() == '\r')
            value = Trim(value.substr(0, value.size() - 1));
        int n = 0;
        if (!ReadNumber(value, n))
            return -2;
        if (result >= 0 && result != n)
            return -2;  // two differing lengths: which one the peer meant is unknowable
        result = n;
    }
    return result;
}

std::string_view RequestReader::Body() const
{
    if (m_headEnd == 0)
        return {};
    std::string_view rest = std::string_view(m_data).substr(m_headEnd);
    return rest.substr(0, static_cast<std::size_t>(m_bodyLength));
}

RequestReader::State RequestReader::Feed(const char* data, std::size_t size)
{
    if (m_state != NeedMore)
        return m_state;
    std::size_t before = m_data.size();
    m_data.append(data, size);
    return m_state = Evaluate(before >= 2 ? before - 2 : 0);
}

RequestReader::State RequestReader::Evaluate(std::size_t searchFrom)
{
    if (m_headEnd == 0) {
        // HTTP/0.9: the request is its one line, with no version and no headers.
        std::size_t firstLine = m_data.find('\n');
        if (firstLine != std::string::npos && firstLine <= kMaxRequestHead) {
            std::string_view line = std::string_view(m_data).substr(0, firstLine);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (SplitAny(line, " ").size() < 3) {
                m_headEnd = firstLine + 1;
                m_bodyLength = 0;
                return Complete;
            }
        }
        // The head ends at its first empty line; lines may end in CR LF or
        // in a bare LF (as some clients and hand-typed requests send).
        std::size_t end = std::string::npos, after = 0;
        for (std::size_t nl = m_data.find('\n', searchFrom); nl != std::string::npos; nl = m_data.find('\n', nl + 1)) {
            if (nl + 1 < m_data.size() && m_data[nl + 1] == '\n') {
                end = nl;
                after = nl + 2;
                break;
            }
            if (nl + 2 < m_data.size() && m_data[nl + 1] == '\r' && m_data[nl + 2] == '\n') {
                end = nl;
                after = nl + 3;
                break;
            }
        }
        if (end == std::string::npos)
            return m_data.size() > kMaxRequestHead ? TooLarge : NeedMore;
        if (after > kMaxRequestHead)
            return TooLarge;
        m_headEnd = after;
        long length = HeadContentLength(Head());
        if (length == -2 || length > static_cast<long>(kMaxRequestBody))
            return TooLarge;
        m_bodyLength = length < 0 ? 0 : length;
    }
    return m_data.size() - m_headEnd >= static_cast<std::size_t>(m_bodyLength) ? Complete : NeedMore;
}

namespace {
std::string DecodeFormPart(std::string_view part)
{
    std::string plus(part);
    for (char& c : plus)
        if (c == '+')
            c = ' ';
    return URLDecode(plus);
}

// Fields "name=value" between separators (any character of separators), each
// part passed through decode; an empty field is skipped, one without '=' has
// an empty value.
template <class Decode>
FormFields SplitFields(std::string_view text, std::string_view separators, Decode decode)
{
    FormFields fields;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t sep = text.find_first_of(separators, start);
        std::size_t end = sep == std::string_view::npos ? text.size() : sep;
        std::string_view field = text.substr(start, end - start);
        if (!field.empty()) {
            std::size_t eq = field.find('=');
            std::string_view name = field.substr(0, eq);
            std::string_view value = eq == std::string_view::npos ? std::string_view() : field.substr(eq + 1);
            fields.emplace_back(decode(name), decode(value));
        }
        if (sep == std::string_view::npos)
            break;
        start = sep + 1;
    }
    return fields;
}
}  // namespace

FormFields ParseFormFields(std::string_view encoded)
{
    return SplitFields(encoded, "&", DecodeFormPart);
}

FormFields ParseQueryFields(std::string_view query)
{
    return SplitFields(query, "?&", DecodeFormPart);
}

std::string FormValue(const FormFields& fields, std::string_view name, bool* present)
{
    for (const auto& f : fields)
        if (f.first == name) {
            if (present)
                *present = true;
            return f.second;
        }
    if (present)
        *present = false;
    return std::string();
}

std::string BuildFormText(const FormFields& fields)
{
    std::string text;
    for (const auto& f : fields) {
        if (!text.empty())
            text += '|';
        std::string name = f.first, value = f.second;
        for (char& c : name)
            if (c == '|' || c == '=')
                c = '\xA6';
        for (char& c : value)
            if (c == '|')
                c = '\xA6';
        text += name;
        text += '=';
        text += value;
    }
    return text;
}

FormFields SplitFormText(std::string_view text)
{
    return SplitFields(text, "|", [](std::string_view part) { return std::string(part); });
}

bool IsSafeURLPath(std::string_view path)
{
    if (path.empty())
        return false;
    if (path.find("..") != std::string_view::npos)
        return false;
    for (unsigned char c : path)
        if (c < 0x20 || c == 0x7F || c == ':' || c == '"' || c == '<' || c == '>' || c == '|' || c == '*' ||
            c == '?')
            return false;
    return true;
}

std::string NormaliseAlias(std::string alias)
{
    if (alias.find('\\') == std::string::npos) {
        if (alias.empty() || alias[0] != '/')
            alias.insert(alias.begin(), '\\');
        else
            alias[0] = '\\';
    }
    if (alias.size() >= 2 && alias.back() != '\\')
        alias += '\\';
    return alias;
}

std::string FormatHttpDate(const HttpDate& d)
{
    char buf[64];
    int dow = (d.dayOfWeek >= 0 && d.dayOfWeek < 7) ? d.dayOfWeek : 0;
    int month = (d.month >= 1 && d.month <= 12) ? d.month : 1;
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDayShort[dow], d.day, kMonth[month - 1],
                  d.year, d.hour, d.minute, d.second);
    return buf;
}

const char* StatusLine(int status)
{
    switch (status) {
    case 200: return "HTTP/1.0 200 OK\r\n";
    case 201: return "HTTP/1.0 201 Created\r\n";
    case 202: return "HTTP/1.0 202 Accepted\r\n";
    case 204: return "HTTP/1.0 204 No Content\r\n";
    case 300: return "HTTP/1.0 300 Multiple Choices\r\n";
    case 301: return "HTTP/1.0 301 Moved Permanently\r\n";
    case 302: return "HTTP/1.0 302 Moved Temporarily\r\n";
    case 304: return "HTTP/1.0 304 Not Modified\r\n";
    case 400: return "HTTP/1.0 400 Bad Request\r\n";
    case 401: return "HTTP/1.0 401 Unauthorized\r\n";
    case 403: return "HTTP/1.0 403 Forbidden\r\n";
    case 404: return "HTTP/1.0 404 Not Found\r\n";
    case 500: return "HTTP/1.0 500 Internal Server Error\r\n";
    case 501: return "HTTP/1.0 501 Not Implemented\r\n";
    case 502: return "HTTP/1.0 502 Bad Gateway\r\n";
    case 503: return "HTTP/1.0 503 Service Unavailable\r\n";
    default: return nullptr;
    }
}

const char* BuiltinContentType(std::string_view ext)
{
    static const struct {
        const char* ext;
        const char* type;
    } kTypes[] = {
        {".html", "text/html"}, {".htm", "text/html"}, {".txt", "text/plain"}, {".css", "text/css"},
        {".js", "application/javascript"}, {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"},
        {".gif", "image/gif"}, {".png", "image/png"}, {".bmp", "image/bmp"}, {".ico", "image/x-icon"},
        {".wav", "audio/wav"}, {".zip", "application/zip"}, {".pdf", "application/pdf"},
        {".xml", "text/xml"},
    };
    for (const auto& t : kTypes)
        if (EqualNoCase(ext, t.ext))
            return t.type;
    return nullptr;
}

std::string EscapeHTML(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '@': out += "&#64;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string EscapeURLSegment(std::string_view text, bool keepSlash)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || (keepSlash && c == '/')) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string HtmlColour(std::uint32_t colorref)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", static_cast<unsigned>(colorref & 0xFF),
                  static_cast<unsigned>((colorref >> 8) & 0xFF), static_cast<unsigned>((colorref >> 16) & 0xFF));
    return text;
}

std::string FillTemplate(std::string_view page, const std::vector<std::pair<std::string, std::string>>& values)
{
    std::string out;
    out.reserve(page.size());
    std::size_t i = 0;
    while (i < page.size()) {
        std::size_t at = page.find('@', i);
        if (at == std::string_view::npos) {
            out.append(page.substr(i));
            break;
        }
        out.append(page.substr(i, at - i));
        std::size_t close = page.find('@', at + 1);
        bool replaced = false;
        if (close != std::string_view::npos) {
            std::string_view name = page.substr(at + 1, close - at - 1);
            for (const auto& v : values)
                if (name == v.first) {
                    out += v.second;
                    i = close + 1;
                    replaced = true;
                    break;
                }
        }
        if (!replaced) {
            out += '@';
            i = at + 1;
        }
    }
    return out;
}

std::string EscapeLogText(std::string_view text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else
            out += static_cast<char>(c);
    }
    return out;
}

std::string FormatAccessLogLine(const unsigned char a[4], std::string_view user, const LogTime& t,
                                std::string_view requestLine, int status, long bytes)
{
    char head[160];
    int month = (t.month >= 1 && t.month <= 12) ? t.month : 1;
    std::snprintf(head, sizeof head, "%d.%d.%d.%d - ", a[0], a[1], a[2], a[3]);
    char when[96];
    std::snprintf(when, sizeof when, " [%d/%s/%d:%02d:%02d:%02d %04ld] \"", t.day, kMonth[month - 1], t.year, t.hour,
                  t.minute, t.second, t.biasMinutes);
    char tail[64];
    std::snprintf(tail, sizeof tail, "\" %d %ld\n", status, bytes);
    std::string line = head;
    line += user.empty() ? std::string("-") : EscapeLogText(user);
    line += when;
    line += EscapeLogText(requestLine);
    line += tail;
    return line;
}

std::string MakeUserId(const unsigned char random[16], bool smallDevice)
{
    static const char kHex[] = "0123456789abcdef";
    std::string id = smallDevice ? "t" : "";
    for (int i = 0; i < 16; ++i) {
        id += kHex[random[i] >> 4];
        id += kHex[random[i] & 15];
    }
    return id;
}

}  // namespace websrv
