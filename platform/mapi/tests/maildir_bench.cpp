// Speed of the store (not a test).
//   1. Listing and reading: 10,000 messages listed (target >= 5,000 per second),
//      1,000 read and parsed (target >= 1,000 per second).
//   2. The store calls of one request, with 1,000 and 10,000 read messages in
//      the box and one new request mail: find it, read it (peek, then read and
//      mark it seen), find the next (none). The store object lives on between
//      requests as a session's does.
//   3. A forward of the new mail: the walk over unread mail, each found one
//      read twice (peek, then read), with one new message among the read ones.
//   4. The one look the session takes at cur/ once its own moves there have
//      settled (in case another program changed it within the same time stamp):
//      the only call after a request that lists the large folder again.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/maildir.h"
#include "core/mail_os.h"
#include "core/mime_parser.h"
#include "testsupport/testsupport.h"

using namespace vxmail;

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const std::string kMail =
    "From: Anna <anna@example.net>\r\nTo: assistant@example.com\r\nSubject: =?utf-8?q?Gr=C3=BC=C3=9Fe?=\r\n"
    "Date: Tue, 08 May 2001 14:07:00 +0200\r\nMIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\nContent-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n\r\nWhat is the time?=\r\n Please answer.\r\n"
    "--B\r\nContent-Type: application/octet-stream; name=a.bin\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
    std::string(2000, 'A') + "\r\n--B--\r\n";

bool Fill(const Maildir& store, int messages, bool allRead)
{
    for (int i = 0; i < messages; ++i) {
        std::string id;
        if (!store.Deliver(kMail, allRead || i % 2 == 1, "S", id))
            return false;
    }
    return true;
}

// Reads a message as MAPIReadMail does: find its file, read and parse it.
bool Read(const Maildir& store, const std::string& id, bool markSeen)
{
    StoredMessage m;
    std::string raw;
    if (!store.Locate(id, m) || !os::ReadFile(store.PathOf(m), raw, 32u << 20))
        return false;
    ParseMime(raw);
    return !markSeen || store.MarkSeen(m);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Listing()
{
    testsupport::TempDir dir;
    Maildir store(dir.path());
    if (!store.Create() || !Fill(store, 10000, false))
        return;
    auto t0 = Clock::now();
    std::vector<StoredMessage> all;
    const int kListings = 5;
    for (int i = 0; i < kListings; ++i)
        store.List(all);
    double listSeconds = Ms(Clock::now() - t0) / 1e3 / kListings;
    t0 = Clock::now();
    size_t attachments = 0;
    for (int i = 0; i < 1000; ++i) {
        std::string raw;
        os::ReadFile(store.PathOf(all[size_t(i)]), raw, 32u << 20);
        attachments += ParseMime(raw).attachments.size();
    }
    double readSeconds = Ms(Clock::now() - t0) / 1e3;
    std::printf("listed %zu messages in %.3f s: %.0f per second (target 5000)\n", all.size(), listSeconds,
                all.size() / listSeconds);
    std::printf("read and parsed 1000 messages in %.3f s: %.0f per second (target 1000), %zu attachments\n",
                readSeconds, 1000 / readSeconds, attachments);
}

void Requests(int messages)
{
    testsupport::TempDir dir;
    Maildir store(dir.path());
    if (!store.Create() || !Fill(store, messages, true))
        return;
    // A box filled a while ago, as a real one is between deliveries: a folder
    // changed in the last two seconds is listed again on every call.
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    std::vector<double> request, forward;
    for (int round = 0; round < 11; ++round) {
        std::string id, next, mail;
        store.Deliver(kMail, false, "", mail);
        auto t0 = Clock::now();
        bool ok = store.FindNext("", true, id) == FindResult::Found && Read(store, id, false) &&
                  Read(store, id, true) && store.FindNext(id, true, next) == FindResult::NoMore;
        request.push_back(Ms(Clock::now() - t0));

        store.Deliver(kMail, false, "", mail);
        t0 = Clock::now();
        std::string seed;
        int found = 0;
        while (store.FindNext(seed, true, id) == FindResult::Found && found < messages) {
            ok = Read(store, id, false) && Read(store, id, true) && ok;
            seed = id;
            ++found;
        }
        forward.push_back(Ms(Clock::now() - t0));
        if (!ok || found != 1) {
            std::printf("%d messages: the walk went wrong (found %d)\n", messages, found);
            return;
        }
    }
    std::printf("%5d read messages + 1 new: store calls of one request %.2f ms, forward of the new mail %.2f ms "
                "(median of 11)\n",
                messages, Median(request), Median(forward));
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    std::string none;
    auto t0 = Clock::now();
    store.FindNext("", true, none);
    std::printf("%5d: the look at cur/ once the session's own moves settled %.2f ms (once after a burst of requests)\n",
                messages, Ms(Clock::now() - t0));
}

} // namespace

int main()
{
    Listing();
    Requests(1000);
    Requests(10000);
    return 0;
}
