#include "app/command_line_tail.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

struct TailCase {
  const char* what;
  std::u16string_view line;
  std::u16string_view tail;
};

const TailCase tail_cases[] = {
    {"quoted path, one blank, option", u"\"C:\\app\\velmor.exe\" -x", u"-x"},
    {"quoted path alone", u"\"C:\\app\\velmor.exe\"", u""},
    {"one character after the closing quote is lost", u"\"C:\\app\\velmor.exe\"a", u""},
    {"two blanks keep one", u"\"C:\\app\\velmor.exe\"  -x", u" -x"},
    {"no blank after the quote skips one character", u"\"C:\\app\\velmor.exe\"ab", u"b"},
    {"quote never closed", u"\"C:\\app\\velmor.exe -x", u"C:\\app\\velmor.exe -x"},
    {"lone quote", u"\"", u""},
    {"empty quotes", u"\"\"", u""},
    {"empty quotes and one blank", u"\"\" ", u""},
    {"empty quotes, blank, option", u"\"\" x", u"x"},
    {"unquoted, no blank", u"velmor.exe", u""},
    {"unquoted, blank, option", u"velmor.exe -x", u"-x"},
    {"unquoted, trailing blank", u"velmor.exe ", u""},
    {"a leading blank is not a separator", u" -x", u""},
    {"quotes inside the tail stay", u"velmor.exe \"a b\"", u"\"a b\""},
    {"empty line", u"", u""},
    {"Chinese path", u"\"D:\\数据库\\velmor.exe\" 参数", u"参数"},
};

TEST(CommandLineTail, CutsTheProgramName) {
  for (const auto& c : tail_cases) {
    EXPECT_EQ(command_line_tail(c.line), c.tail) << c.what;
  }
}

TEST(CommandLineTail, IsAlwaysASuffixOfTheLine) {
  for (const auto& c : tail_cases) {
    const auto tail = command_line_tail(c.line);
    ASSERT_LE(tail.size(), c.line.size()) << c.what;
    if (!tail.empty()) {
      EXPECT_EQ(tail.data() + tail.size(), c.line.data() + c.line.size()) << c.what;
    }
  }
}

TEST(CommandLineTail, ReadsNothingPastTheEndOfAnUnterminatedLine) {
  // A view into a buffer with no terminator: the bytes after it must not be looked at.
  const char16_t buffer[] = {u'"', u'a', u'"', u' ', u'-', u'x', u'"', u'y', u'z'};
  const std::u16string_view line(buffer, 3);  // "a"
  EXPECT_EQ(command_line_tail(line), u"");
  const std::u16string_view unquoted(buffer + 1, 1);  // a
  EXPECT_EQ(command_line_tail(unquoted), u"");
}

}  // namespace
}  // namespace velmor
