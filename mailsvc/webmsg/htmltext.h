// Text helpers of the web pages: escaping and one-pass placeholder filling.
#pragma once

#include "fx/fx.h"

#include <string>
#include <utility>
#include <vector>

namespace webmsg {

// Makes text safe inside an HTML element or a quoted attribute. "@" is
// escaped as well, so no placeholder ("@userid@", "@assistant@"...) can stand
// in text that came from outside and be filled in later.
std::string EscapeHTML(const char* text);

// Percent-encodes every byte but letters, digits and "-._~", for a name or a
// value inside a link (so "?", "#", "%", "@" and blanks stay in it as data).
std::string EscapeURLText(const char* text);

// Replaces every "@name@" of tmpl whose name is in values by its value, in one
// pass from left to right: a value is never searched again, so text put in
// cannot bring placeholders of its own. Unknown names stay as they are.
using Placeholders = std::vector<std::pair<std::string, std::string>>;
std::string FillPlaceholders(const std::string& tmpl, const Placeholders& values);

// A message body for the page: escaped, each line feed shown as "<br>", and
// each "{_cr_}" turned into a line feed of the page's source.
std::string BodyToHTML(const char* body);

// Markup that a page composed itself (its outside texts already escaped): line
// feeds and "{_cr_}" treated as in BodyToHTML, nothing escaped.
std::string MarkupToHTML(const char* markup);

// True when name ends (case-insensitively) in bmp, jpg, peg, gif or png.
bool IsPictureName(const char* name);

// An attachment name that stays inside the web folder: not empty, no folder
// separators, no drive, not "." or "..".
bool IsPlainFileName(const char* name);

} // namespace webmsg
