// Any bytes as a stored message: the reader must stay in bounds and terminate.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/encoded_words.h"
#include "core/html_text.h"
#include "core/mail_address.h"
#include "core/mail_date.h"
#include "core/mime_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    vxmail::MimeMessage m = vxmail::ParseMime(in);
    (void)m;
    vxmail::DecodeHeaderText(in);
    vxmail::HtmlToText(in);
    vxmail::ParseAddressList(in);
    vxmail::PlainAddress(in);
    int64_t t;
    vxmail::ParseMailDate(in, t);
    vxmail::SafeFileName(in);
    return 0;
}
