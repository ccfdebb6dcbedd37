// Listing and reading speed of the store: 10,000 messages listed (target >= 5,000
// per second), 1,000 read and parsed (target >= 1,000 per second).
#include <chrono>
#include <cstdio>
#include <string>

#include "core/maildir.h"
#include "core/mail_os.h"
#include "core/mime_parser.h"
#include "testsupport/testsupport.h"

using namespace vxmail;

int main() {
    testsupport::TempDir dir;
    Maildir store(dir.path());
    if (!store.Create()) return 1;
    const std::string mail =
        "From: Anna <anna@example.net>\r\nTo: assistant@example.com\r\nSubject: =?utf-8?q?Gr=C3=BC=C3=9Fe?=\r\n"
        "Date: Tue, 08 May 2001 14:07:00 +0200\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\nContent-Type: text/plain; charset=utf-8\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\nWhat is the time?=\r\n Please answer.\r\n"
        "--B\r\nContent-Type: application/octet-stream; name=a.bin\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
        std::string(2000, 'A') + "\r\n--B--\r\n";
    const int kMessages = 10000;
    for (int i = 0; i < kMessages; ++i) {
        std::string id;
        if (!store.Deliver(mail, i % 2 == 1, "S", id)) return 1;
    }
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    std::vector<StoredMessage> all;
    const int kListings = 5;
    for (int i = 0; i < kListings; ++i) store.List(all);
    double listSeconds = std::chrono::duration<double>(Clock::now() - t0).count() / kListings;
    t0 = Clock::now();
    size_t attachments = 0;
    for (int i = 0; i < 1000; ++i) {
        std::string raw;
        os::ReadFile(store.PathOf(all[size_t(i)]), raw, 32u << 20);
        attachments += ParseMime(raw).attachments.size();
    }
    double readSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("listed %zu messages in %.3f s: %.0f per second (target 5000)\n", all.size(), listSeconds,
                all.size() / listSeconds);
    std::printf("read and parsed 1000 messages in %.3f s: %.0f per second (target 1000), %zu attachments\n",
                readSeconds, 1000 / readSeconds, attachments);
    return 0;
}
