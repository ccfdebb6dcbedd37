// Readable text from an HTML body, for mail that has no plain-text part.
#pragma once
#include <string>
#include <string_view>

namespace vxmail {

// UTF-8 HTML in, UTF-8 text out with LF line ends: tags dropped (script and style
// with their content), block ends and <br> become line breaks, entities decoded,
// runs of blanks collapsed. One linear pass.
std::string HtmlToText(std::string_view html);

} // namespace vxmail
