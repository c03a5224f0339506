#include "dbstart/settings_encoding.h"

#include <algorithm>

namespace velmor {
namespace {

constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16be_mark = "\xFE\xFF";

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
std::optional<Text> decode_utf8(std::string_view bytes) {
  Text text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    // The lead byte tells how many bytes follow, and the least value that needs that many.
    std::size_t extra = 0;
    char32_t least = 0;
    if (lead >= 0xF8U || (lead & 0xC0U) == 0x80U) {
      return std::nullopt;
    }
    if (lead >= 0xF0U) {
      extra = 3;
      least = 0x10000;
    } else if (lead >= 0xE0U) {
      extra = 2;
      least = 0x800;
    } else if (lead >= 0xC0U) {
      extra = 1;
      least = 0x80;
    }
    char32_t c = lead & (0x7FU >> extra);
    if (bytes.size() - i <= extra) {
      return std::nullopt;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0U) != 0x80U) {
        return std::nullopt;
      }
      c = (c << 6U) | (next & 0x3FU);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
      return std::nullopt;
    }
    if (c >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10U));
      text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FFU));
    } else {
      text += static_cast<char16_t>(c);
    }
    i += extra + 1;
  }
  return text;
}

std::optional<Text> decode_utf16be(std::string_view bytes) {
  if (bytes.size() % 2 != 0) {
    return std::nullopt;  // a last half character would be lost
  }
  Text text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    text +=
        static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8U) | static_cast<unsigned char>(bytes[i + 1]));
  }
  return text;
}

}  // namespace

std::optional<Text> misread_unicode_text(std::string_view bytes, bool ansi_is_utf8) {
  if (bytes.starts_with(utf8_mark)) {
    return decode_utf8(bytes.substr(utf8_mark.size()));
  }
  if (bytes.starts_with(utf16be_mark)) {
    return decode_utf16be(bytes.substr(utf16be_mark.size()));
  }
  if (ansi_is_utf8 || bytes.starts_with("\xFF\xFE")) {
    return std::nullopt;  // read as it is meant
  }
  // Without a mark, only bytes that could be nothing but UTF-8 are taken as UTF-8, as Notepad
  // guesses: an ANSI file with Chinese text is almost never valid UTF-8 as well.
  const bool ascii =
      std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80U; });
  if (ascii) {
    return std::nullopt;
  }
  return decode_utf8(bytes);
}

}  // namespace velmor
