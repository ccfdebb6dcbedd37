#include "site_rules.h"

#include <algorithm>
#include <cctype>

namespace websrv {

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && Lower(s.substr(0, prefix.size())) == prefix;
}

}  // namespace

ServedNames::ServedNames()
{
    names = {"127.0.0.1", "localhost"};
}

void ServedNames::Add(std::string_view name)
{
    if (!name.empty() && !Has(name))
        names.push_back(Lower(name));
}

bool ServedNames::Has(std::string_view name) const
{
    const std::string key = Lower(name);
    return std::find(names.begin(), names.end(), key) != names.end();
}

bool SplitHostPort(std::string_view text, std::string& host, unsigned& port, unsigned defaultPort)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F || c == '/' || c == '\\' || c == '@')
            return false;
    std::string_view rest;
    if (!text.empty() && text[0] == '[') {
        std::size_t close = text.find(']');
        if (close == std::string_view::npos || close < 2)
            return false;
        host = std::string(text.substr(0, close + 1));
        rest = text.substr(close + 1);
    } else {
        std::size_t colon = text.find(':');
        host = std::string(text.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    }
    if (host.empty())
        return false;
    if (rest.empty()) {
        port = defaultPort;
        return true;
    }
    if (rest[0] != ':' || rest.size() < 2 || rest.size() > 6)
        return false;
    unsigned value = 0;
    for (char c : rest.substr(1)) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 65535)
        return false;
    port = value;
    return true;
}

bool HostIsServed(const HttpRequest& request, const ServedNames& served)
{
    if (request.hostHeaders == 0)
        return true;
    if (request.hostHeaders > 1)
        return false;
    std::string host;
    unsigned port = 0;
    if (!SplitHostPort(request.host, host, port, 80))
        return false;
    // A name may end in the root's dot ("localhost.").
    if (host.size() > 1 && host.back() == '.')
        host.pop_back();
    return port == served.port && served.Has(host);
}

bool URLIsServed(std::string_view url, const ServedNames& served)
{
    unsigned defaultPort = 0;
    if (StartsWithNoCase(url, "http://")) {
        url.remove_prefix(7);
        defaultPort = 80;
    } else if (StartsWithNoCase(url, "https://")) {
        url.remove_prefix(8);
        defaultPort = 443;
    } else {
        return false;
    }
    std::size_t end = url.find_first_of("/?#");
    std::string_view authority = url.substr(0, end);
    // Credentials before the host ("http://a@b/") name b, but no page of
    // this site links that way: such a URL is another site's.
    if (authority.find('@') != std::string_view::npos)
        return false;
    std::string host;
    unsigned port = 0;
    if (!SplitHostPort(authority, host, port, defaultPort))
        return false;
    if (host.size() > 1 && host.back() == '.')
        host.pop_back();
    return port == served.port && served.Has(host);
}

bool FromOtherSite(const HttpRequest& request, const ServedNames& served)
{
    if (request.verb != HTTP_VERB_POST)
        return false;
    if (request.originPresent)
        return !URLIsServed(request.origin, served);
    if (!request.referer.empty())
        return !URLIsServed(request.referer, served);
    return false;
}

std::string LogRequestLine(std::string_view line)
{
    // verb, URL and version, split at the first two blanks.
    std::size_t first = line.find(' ');
    if (first == std::string_view::npos)
        return std::string(line);
    std::size_t urlStart = first + 1;
    std::size_t urlEnd = line.find(' ', urlStart);
    if (urlEnd == std::string_view::npos)
        urlEnd = line.size();
    std::string_view url = line.substr(urlStart, urlEnd - urlStart);
    std::string_view path = url, query;
    std::size_t q = url.find('?');
    if (q != std::string_view::npos) {
        path = url.substr(0, q);
        query = url.substr(q);  // with its "?"
    }
    std::string outPath(path);
    // "user:password@..." as the request line's URL may carry credentials:
    // everything from the first ":" before the first "@" goes.
    std::size_t at = outPath.find('@');
    if (at != std::string::npos) {
        std::size_t colon = outPath.find(':');
        if (colon != std::string::npos && colon < at)
            outPath = outPath.substr(0, colon) + ":*" + outPath.substr(at);
    }
    std::string outQuery(query);
    if (!query.empty()) {
        const FormFields fields = ParseQueryFields(query.substr(1));
        bool login = false;
        FormValue(fields, "PW", &login);
        if (login) {
            // Every "req=" value in the raw text becomes "*": the fields
            // are cut at "?" and "&" as the site reads them.
            std::string redacted;
            std::size_t start = 1;
            redacted += '?';
            while (start <= query.size()) {
                std::size_t sep = query.find_first_of("?&", start);
                std::size_t end = sep == std::string_view::npos ? query.size() : sep;
                std::string_view field = query.substr(start, end - start);
                std::size_t eq = field.find('=');
                std::string name(field.substr(0, eq));
                for (char& c : name)
                    if (c == '+')
                        c = ' ';
                if (URLDecode(name) == "req")
                    redacted += std::string(field.substr(0, eq == std::string_view::npos ? field.size() : eq)) + "=*";
                else
                    redacted += std::string(field);
                if (sep == std::string_view::npos)
                    break;
                redacted += query[sep];
                start = sep + 1;
            }
            outQuery = redacted;
        }
    }
    std::string out(line.substr(0, urlStart));
    out += outPath;
    out += outQuery;
    out += std::string(line.substr(urlEnd));
    return out;
}

// ---- login delay ----

void LoginThrottle::ForgetOld(std::uint64_t now)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (now >= it->second.nextTry && now - it->second.lastFailure >= kForgetMs)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

bool LoginThrottle::MayTry(std::uint32_t address, std::uint64_t now, std::uint64_t& answerAt)
{
    std::lock_guard<std::mutex> guard(m_lock);
    answerAt = now;
    auto it = m_entries.find(address);
    if (it == m_entries.end() || now >= it->second.nextTry)
        return true;
    answerAt = it->second.nextTry;
    return false;
}

std::uint64_t LoginThrottle::Failed(std::uint32_t address, std::uint64_t now)
{
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_entries.find(address);
    if (it == m_entries.end()) {
        if (m_entries.size() >= kMaxAddresses)
            ForgetOld(now);
        if (m_entries.size() >= kMaxAddresses) {
            auto oldest = std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
                return a.second.lastFailure < b.second.lastFailure;
            });
            m_entries.erase(oldest);
        }
        it = m_entries.emplace(address, Entry()).first;
    } else if (now - it->second.lastFailure >= kForgetMs && now >= it->second.nextTry) {
        it->second.failures = 0;  // a quiet quarter of an hour: a fresh start
    }
    Entry& e = it->second;
    if (e.failures < 63)
        ++e.failures;
    std::uint64_t delay = kFirstDelayMs;
    for (unsigned i = 1; i < e.failures && delay < kMaxDelayMs; ++i)
        delay *= 2;
    if (delay > kMaxDelayMs)
        delay = kMaxDelayMs;
    e.lastFailure = now;
    e.nextTry = now + delay;
    return e.nextTry;
}

void LoginThrottle::Succeeded(std::uint32_t address)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_entries.erase(address);
}

std::size_t LoginThrottle::Size()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_entries.size();
}

// ---- the assistant's form ----

AssistantForm ReadAssistantForm(const HttpRequest& request, const std::vector<std::string>& exitWords)
{
    AssistantForm f;
    // Fields are split before anything is decoded, so no value can open a
    // field of its own.
    f.fields = request.verb == HTTP_VERB_POST ? ParseFormFields(request.form) : ParseQueryFields(request.query);
    f.user = FormValue(f.fields, "UserID");
    f.smallDevice = !f.user.empty() && f.user[0] == 't';
    f.req = FormValue(f.fields, "req", &f.hasReq);
    const std::string id = FormValue(f.fields, "MessageID");
    long value = 0;
    bool number = !id.empty() && id.size() <= 9;
    for (char c : id) {
        if (c < '0' || c > '9') {
            number = false;
            break;
        }
        value = value * 10 + (c - '0');
    }
    f.messageId = number ? static_cast<int>(value) : 0;
    FormValue(f.fields, "B1", &f.b1);
    FormValue(f.fields, "B2", &f.b2);
    FormValue(f.fields, "B3", &f.b3);
    FormValue(f.fields, "PW", &f.pw);
    FormValue(f.fields, "COMPOSE", &f.compose);
    bool exitWord = false;
    for (const std::string& w : exitWords)
        if (!w.empty() && f.req.find(w) != std::string::npos)
            exitWord = true;
    f.logout = f.b2 || exitWord;
    f.actionText = f.b3 ? std::string("ClosE") : BuildFormText(f.fields);
    return f;
}

AssistantStep ChooseAssistantStep(const AssistantForm& form, bool sessionActive)
{
    if (form.user.empty())
        return STEP_NOT_ANSWERED;
    // The login form is the one action that needs no session.
    if (!form.logout && !form.b1 && form.pw)
        return STEP_LOGIN;
    // Everything else reads or changes the user's data: the session first.
    if (!sessionActive)
        return STEP_NO_SESSION;
    if (form.logout)
        return STEP_LOGOUT;
    if (!form.b1) {
        if (form.compose)
            return STEP_COMPOSE;
        if (form.messageId > 0)
            return STEP_MESSAGE;
    }
    return STEP_REQUEST;
}

SiteRoute RouteSiteRequest(std::string_view fileName, bool isAssistant, bool isFolder, bool needsLogin,
                           bool credentialsMatch, bool formNotAnswered)
{
    if (fileName == "favicon.ico")
        return ROUTE_FAVICON;
    if (fileName == "zlm_vnd_logo.jpg")
        return ROUTE_LOGO;
    if (isAssistant && fileName == "login.html")
        return ROUTE_ENTRY;
    if (isAssistant && fileName == "log.htm")
        return ROUTE_SMALL_ENTRY;
    if (isAssistant && fileName == "AssistantReply.kvx" && !formNotAnswered)
        return credentialsMatch ? ROUTE_FORM : ROUTE_UNAUTHORIZED;
    if (needsLogin && !credentialsMatch)
        return ROUTE_UNAUTHORIZED;
    if (isAssistant)
        return ROUTE_ATTACHMENT;
    return isFolder ? ROUTE_FOLDER : ROUTE_FILE;
}

}  // namespace websrv
