// The rules of the assistant's web site that need no socket or system call:
// which names the server answers to (Host, Origin, Referer), whose requests
// act for the owner, the delay after failed logins, how a page's form is read
// and routed, and the request line as the access log keeps it. The server and
// the site run exactly these; the host build tests and fuzzes them.
#pragma once

#include "http_parse.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace websrv {

// The names and the port under which this server is reached: "127.0.0.1" and
// "localhost" always, and whatever the server adds (the address it listens
// on, a configured name). Names compare without case.
struct ServedNames {
    std::vector<std::string> names;
    unsigned port = 80;
    ServedNames();
    void Add(std::string_view name);
    bool Has(std::string_view name) const;
};

// "host", "host:port", "[v6]" or "[v6]:port": the host (brackets kept for an
// IPv6 literal) and the port, defaultPort when none is written. False for a
// malformed text (an empty host, a port that is no number below 65536, blanks
// or control characters).
bool SplitHostPort(std::string_view text, std::string& host, unsigned& port, unsigned defaultPort);

// True when the request may be served under its Host: no Host line at all (an
// HTTP/1.0 or 0.9 client need not send one), or exactly one that names a
// served name and the server's port. Refuses a page asked for under another
// name: a foreign site whose name was pointed at this machine (DNS rebinding).
bool HostIsServed(const HttpRequest& request, const ServedNames& served);

// True when an absolute URL ("scheme://host[:port]...", http or https, the
// scheme's own port when none is written) names this server.
bool URLIsServed(std::string_view url, const ServedNames& served);

// True when a POST came from a page of another site: its Origin (when sent)
// or else its Referer (when sent) names another site; an Origin of "null"
// (a sandboxed or local page) counts as another site. A POST that sends
// neither (a client that is not a browser) is not from another site.
bool FromOtherSite(const HttpRequest& request, const ServedNames& served);

// The one address whose requests act for the owner without a login: the
// loopback address 127.0.0.1 (host byte order).
const std::uint32_t kOwnerAddress = 0x7F000001u;
// Whether a web request acts for the owner: it came from the owner's own
// address, or from a session that logged in with the site password.
inline bool ActsForOwner(std::uint32_t peerAddress, bool sessionLoggedIn)
{
    return peerAddress == kOwnerAddress || sessionLoggedIn;
}

// The request line as the access log writes it: a password never appears.
// Credentials before "@" in the URL keep only the user name; the "req" value
// of a login form sent in the query (one that holds the field "PW") becomes
// "*".
std::string LogRequestLine(std::string_view requestLine);

// Failed logins slow down per client address: after the n-th failure in a
// row the address may try again only after 2^(n-1) seconds, at most
// kMaxDelayMs; an attempt within that wait is not checked at all and is
// answered as a failure when the wait is over. A success forgets the address;
// so does a quiet quarter of an hour. At most kMaxAddresses are kept (the one
// that failed longest ago is forgotten first). Thread-safe; times are
// milliseconds of any monotonic clock.
class LoginThrottle {
public:
    static constexpr std::uint64_t kFirstDelayMs = 1000;
    static constexpr std::uint64_t kMaxDelayMs = 30000;
    static constexpr std::uint64_t kForgetMs = 15 * 60 * 1000;
    static constexpr std::size_t kMaxAddresses = 4096;

    // Before a password is checked: true when it may be checked now; false
    // with answerAt set when the address must wait (the answer goes out then).
    bool MayTry(std::uint32_t address, std::uint64_t now, std::uint64_t& answerAt);
    // After a wrong password: the time its answer goes out (now + the delay).
    std::uint64_t Failed(std::uint32_t address, std::uint64_t now);
    void Succeeded(std::uint32_t address);
    std::size_t Size();

private:
    struct Entry {
        unsigned failures = 0;
        std::uint64_t nextTry = 0;
        std::uint64_t lastFailure = 0;
    };
    void ForgetOld(std::uint64_t now);
    std::mutex m_lock;
    std::unordered_map<std::uint32_t, Entry> m_entries;
};

// The assistant's form as a page posts it (POST body) or links to it (query).
struct AssistantForm {
    std::string user;   // "UserID"
    std::string req;    // the typed request, or the password on the login page
    int messageId = 0;  // "MessageID", 0 when absent or not a number
    bool hasReq = false, b1 = false, b2 = false, b3 = false, pw = false, compose = false;
    bool logout = false;       // B2, or an exit word in the request
    bool smallDevice = false;  // the id begins with "t"
    FormFields fields;
    // What the message's ExecuteAction gets: "ClosE" for its close button,
    // else the fields joined by "|".
    std::string actionText;
};
// exitWords: the words that log out ("exit", "quit", "bye"); found anywhere in
// the request, letter case as written.
AssistantForm ReadAssistantForm(const HttpRequest& request, const std::vector<std::string>& exitWords);

// What the form asks for, in the order the site decides it.
enum AssistantStep {
    STEP_NOT_ANSWERED,  // no user id: the form target is served as a file
    STEP_LOGIN,         // the login form: the password decides
    STEP_NO_SESSION,    // anything else without a running session: the login or entry page
    STEP_LOGOUT,
    STEP_COMPOSE,
    STEP_MESSAGE,       // an action of one of the user's messages
    STEP_REQUEST        // a typed request
};
AssistantStep ChooseAssistantStep(const AssistantForm& form, bool sessionActive);

// Where a request under a served directory goes, by its file name. The form
// target, when its form was not answered (STEP_NOT_ANSWERED), is routed again
// with formNotAnswered set.
enum SiteRoute {
    ROUTE_FAVICON,
    ROUTE_LOGO,
    ROUTE_ENTRY,
    ROUTE_SMALL_ENTRY,
    ROUTE_UNAUTHORIZED,
    ROUTE_FORM,
    ROUTE_ATTACHMENT,  // a file of the assistant's folder: only its message's user gets it
    ROUTE_FOLDER,
    ROUTE_FILE
};
SiteRoute RouteSiteRequest(std::string_view fileName, bool isAssistant, bool isFolder, bool needsLogin,
                           bool credentialsMatch, bool formNotAnswered = false);

}  // namespace websrv
