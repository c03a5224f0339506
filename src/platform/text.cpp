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

Text text_of_utf8(std::string_view utf8) {
  Text out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + length > utf8.size() || length == 1) {
      out += static_cast<char16_t>(lead < 0x80 ? lead : 0xFFFDU);  // a stray byte: the replacement character
      ++i;
      continue;
    }
    char32_t c = lead & (0xFFU >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
      c = (c << 6U) | (static_cast<unsigned char>(utf8[i + k]) & 0x3FU);
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800U + ((c - 0x10000U) >> 10U));
      out += static_cast<char16_t>(0xDC00U + ((c - 0x10000U) & 0x3FFU));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += length;
  }
  return out;
}

bool equal_ascii_ignoring_case(TextView a, TextView b) {
  const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

}  // namespace velmor
