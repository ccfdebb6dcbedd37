// Any bytes as a message file in a Maildir, read the way ReadMail reads it:
// found by its identifier, read within a bound (sometimes smaller than the
// file, to take the too-large road), parsed as envelope, text, or text with
// attachments, its text turned to CR LF; then marked read and removed, so
// that the kept listing follows. Nothing may crash, hang or grow unbounded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "core/mail_os.h"
#include "core/maildir.h"
#include "core/stored_reader.h"

namespace {

const vxmail::Maildir& Store() {
    static vxmail::Maildir* store = [] {
        char dir[] = "/tmp/vx_stored_reader_fuzz_XXXXXX";
        if (!mkdtemp(dir)) std::abort();
        auto* s = new vxmail::Maildir(dir);
        if (!s->Create()) std::abort();
        return s;
    }();
    return *store;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vxmail;
    const Maildir& store = Store();
    const std::string name = "1700000000.M1P1.fuzz";
    const std::string path = os::Join(os::Join(store.Root(), "new"), name);
    if (!os::CreateNewFile(path, std::string(reinterpret_cast<const char*>(data), size))) std::abort();
    const std::string id = Maildir::IdOf(name);
    for (size_t limit : {size_t(1) << 20, size / 2}) {
        for (int mode = 0; mode < 3; ++mode) {
            StoredRead read;
            if (ReadStoredMessage(store, id, mode == 0, mode == 2, limit, read) != StoredReadResult::Read)
                std::abort();   // the file is there: it must be read
            if (read.tooLarge != (mode != 0 && size > limit)) std::abort();   // an envelope is read from the head
            if (read.mail.attachments.size() > kMaxMimeAttachments) std::abort();
            (void)ToCrlf(read.mail.text);
            for (const MimeAttachment& a : read.mail.attachments) (void)SafeFileName(a.fileName);
        }
    }
    StoredMessage m;
    if (!store.Locate(id, m) || !store.MarkSeen(m)) std::abort();
    if (!store.Locate(id, m) || !m.Seen() || !store.Remove(m)) std::abort();
    return 0;
}
