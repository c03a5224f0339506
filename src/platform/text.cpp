#include "platform/text.h"

#include <algorithm>

namespace velmor {

std::string utf8_of(TextView text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    // A lone surrogate passes as the code unit it is.
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10U) + (text[++i] - 0xDC00U);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0U | (c >> 6U));
      out += static_cast<char>(0x80U | (c & 0x3FU));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0U | (c >> 12U));
      out += static_cast<char>(0x80U | ((c >> 6U) & 0x3FU));
      out += static_cast<char>(0x80U | (c & 0x3FU));
    } else {
      out += static_cast<char>(0xF0U | (c >> 18U));
      out += static_cast<char>(0x80U | ((c >> 12U) & 0x3FU));
      out += static_cast<char>(0x80U | ((c >> 6U) & 0x3FU));
      out += static_cast<char>(0x80U | (c & 0x3FU));
    }
  }
  return out;
}

bool equal_ascii_ignoring_case(TextView a, TextView b) {
  const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

namespace {

// The simple upper case of one UTF-16 unit, as the file systems' upcase table has it for these
// blocks; any other unit stays as it is (Chinese has no case).
char16_t file_system_upper(char16_t c) {
  const auto in = [c](char16_t first, char16_t last) { return c >= first && c <= last; };
  if (in(u'a', u'z') || (in(0x00E0, 0x00FE) && c != 0x00F7) || (in(0x03B1, 0x03CB) && c != 0x03C2) ||
      in(0x0430, 0x044F) || in(0xFF41, 0xFF5A)) {
    return static_cast<char16_t>(c - 0x20);
  }
  if (c == 0x00FF) {
    return 0x0178;  // ÿ: its capital lies in Latin Extended-A
  }
  // Latin Extended-A pairs capital and small letter; between the three pairs of odd alignment
  // the small one is the odd unit. İ, ı, ĸ, ŉ and ſ have no partner of their own.
  if ((in(0x0100, 0x012F) || in(0x0132, 0x0137) || in(0x014A, 0x0177)) && (c % 2) == 1) {
    return static_cast<char16_t>(c - 1);
  }
  if ((in(0x0139, 0x0148) || in(0x0179, 0x017E)) && (c % 2) == 0) {
    return static_cast<char16_t>(c - 1);
  }
  if (in(0x0450, 0x045F)) {
    return static_cast<char16_t>(c - 0x50);  // ѐ to џ
  }
  if (c == 0x03AC) {
    return 0x0386;  // ά
  }
  if (in(0x03AD, 0x03AF)) {
    return static_cast<char16_t>(c - 0x25);  // έ ή ί
  }
  if (c == 0x03CC) {
    return 0x038C;  // ό
  }
  if (in(0x03CD, 0x03CE)) {
    return static_cast<char16_t>(c - 0x3F);  // ύ ώ
  }
  return c;
}

}  // namespace

bool equal_as_file_names(TextView a, TextView b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return file_system_upper(x) == file_system_upper(y); });
}

}  // namespace velmor
