// Which settings files are converted to UTF-16LE before a run reads them, and to what text.
#include "dbstart/settings_encoding.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

TEST(SettingsEncoding, OnlyFilesTheProfileFunctionsWouldMisreadAreConverted) {
  struct Case {
    const char* what;
    std::string bytes;
    bool ansi_is_utf8;
    std::optional<Text> text;
  };
  const std::string utf8 = "dbname=\xE5\xAE\xA2\xE6\x88\xB7\xE5\xBA\x93";  // 客户库
  const Case cases[] = {
      {"ASCII", "[database]\r\nport=4000\r\n", false, std::nullopt},
      {"GBK text (客户库)", "dbname=\xBF\xCD\xBB\xA7\xBF\xE2", false, std::nullopt},
      {"UTF-8 without a mark", utf8, false, u"dbname=客户库"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8, false, u"dbname=客户库"},
      {"UTF-8 with its mark, ASCII only", "\xEF\xBB\xBF[database]", false, u"[database]"},
      {"UTF-8 beyond the BMP", "x=\xF0\x9F\x98\x80", false, u"x=\U0001F600"},
      {"UTF-16LE", std::string("\xFF\xFEx\0", 4), false, std::nullopt},
      {"UTF-16BE", std::string("\xFE\xFF\0x\x5B\xA2", 6), false, u"x客"},
      {"UTF-16BE cut in a character", std::string("\xFE\xFF\0x\x5B", 5), false, std::nullopt},
      {"overlong form", "x=\xC0\xAF", false, std::nullopt},
      {"surrogate", "x=\xED\xA0\x80", false, std::nullopt},
      {"above U+10FFFF", "x=\xF4\x90\x80\x80", false, std::nullopt},
      {"cut off at the end", "x=\xE5\xAE", false, std::nullopt},
      {"marked UTF-8 that is not", "\xEF\xBB\xBFx=\xBF\xCD", false, std::nullopt},
      {"UTF-8 code page: read as meant", utf8, true, std::nullopt},
      {"UTF-8 code page, with a mark", "\xEF\xBB\xBF" + utf8, true, u"dbname=客户库"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(misread_unicode_text(c.bytes, c.ansi_is_utf8), c.text) << c.what;
  }
}

}  // namespace
}  // namespace velmor
