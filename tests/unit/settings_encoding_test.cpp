// Which settings files are converted to UTF-16LE before a run reads them, and to what text.
#include "dbstart/settings_encoding.h"

#include <gtest/gtest.h>

#include "dbstart/profile_text.h"

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
      {"GBK text (中文): continuation bytes need 10 as their top bits", "x=\xD6\xD0\xCE\xC4", false, std::nullopt},
      {"UTF-8 without a mark", utf8, false, u"dbname=客户库"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8, false, u"dbname=客户库"},
      {"UTF-8 with its mark, ASCII only", "\xEF\xBB\xBF[database]", false, u"[database]"},
      {"UTF-8 beyond the BMP", "x=\xF0\x9F\x98\x80", false, u"x=\U0001F600"},
      {"UTF-16LE", std::string("\xFF\xFEx\0", 4), false, std::nullopt},
      {"UTF-16BE", std::string("\xFE\xFF\0x\x5B\xA2", 6), false, u"x客"},
      {"UTF-16BE cut in a character", std::string("\xFE\xFF\0x\x5B", 5), false, std::nullopt},
      {"overlong form", "x=\xC0\xAF", false, std::nullopt},
      {"overlong three-byte form", "x=\xE0\x82\x80", false, std::nullopt},
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

// A file that cannot be converted is read from its text by the rules of the profile functions.
TEST(SettingsEncoding, AFileThatStaysUnconvertedIsReadAsTheProfileFunctionsRead) {
  const Text file =
      u"; 客户端\r\n[client]\r\nport=1\r\n  [DataBase]  \r\n\tPort = 4000 \r\nport=5000\r\n"
      u"dbname=\"客户库\"\r\nstartype='不显示'\r\nservername=\"SRV\r\nip=\r\nflag\r\nkey=a=b\n[database]\r\nextra=1";
  struct Case {
    std::u16string_view key;
    std::optional<Text> value;
  };
  const Case cases[] = {
      {u"PORT", u"4000"},  // names in any letter case, blanks around name and value dropped; the first counts
      {u"dbname", u"客户库"},
      {u"startype", u"不显示"},
      {u"servername", u"\"SRV"},  // an unmatched quotation mark stays
      {u"ip", u""},
      {u"flag", std::nullopt},  // a line without an equals sign is no key
      {u"key", u"a=b"},
      {u"extra", std::nullopt},  // only the first section of that name is read
      {u"missing", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(profile_value(file, u"database", c.key), c.value) << utf8_of(c.key);
  }
  EXPECT_EQ(profile_value(u"port=1\r\n", u"database", u"port"), std::nullopt) << "outside any section";
  EXPECT_EQ(profile_value(u"[database]x]\nport=2", u"database", u"port"), std::nullopt) << "a name up to the last ]";
}

}  // namespace
}  // namespace velmor
