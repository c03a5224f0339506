#pragma once
// Which settings files the profile functions would misread. They know UTF-16LE with its byte
// order mark and the ANSI code page, nothing else; Notepad saves UTF-8 by default.
#include <optional>
#include <string_view>

#include "platform/text.h"

namespace velmor {

// The text of a file saved as UTF-8 (with a byte order mark; or without one when the bytes are
// strictly valid UTF-8 with some non-ASCII character and the ANSI code page is not UTF-8) or as
// UTF-16BE with its mark. Nothing for every other file: ASCII, ANSI, UTF-16LE, or bytes that
// are not wholly the encoding they claim, since a conversion would change them.
std::optional<Text> misread_unicode_text(std::string_view bytes, bool ansi_is_utf8);

}  // namespace velmor
