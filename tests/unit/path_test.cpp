#include "platform/path.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

TEST(FolderOfAFile, IsTheProgramsFolderWithoutTrailingSeparator) {
  EXPECT_EQ(directory_of(u"C:\\app\\velmor.exe"), u"C:\\app");
  EXPECT_EQ(directory_of(u"C:\\Program Files\\客户端\\velmor.exe"), u"C:\\Program Files\\客户端");
  EXPECT_EQ(directory_of(u"\\\\server\\share\\velmor.exe"), u"\\\\server\\share");
}

TEST(FolderOfAFile, KeepsTheSeparatorOfADriveRoot) {
  EXPECT_EQ(directory_of(u"C:\\velmor.exe"), u"C:\\");
  EXPECT_EQ(directory_of(u"D:/velmor.exe"), u"D:\\");
}

TEST(FolderOfAFile, NameWithoutFolderGivesNothing) {
  EXPECT_EQ(directory_of(u"velmor.exe"), u"");
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

TEST(ResolveIn, ABareNameLiesInTheDirectory) {
  EXPECT_EQ(resolve_in(u"C:\\app", u"setup.ini"), u"C:\\app\\setup.ini");
  EXPECT_EQ(resolve_in(u"C:\\", u"setup.ini"), u"C:\\setup.ini");
}

TEST(ResolveIn, ANameWithADirectoryOrDriveStaysAsGiven) {
  EXPECT_EQ(resolve_in(u"C:\\app", u"C:\\other\\setup.ini"), u"C:\\other\\setup.ini");
  EXPECT_EQ(resolve_in(u"C:\\app", u"sub\\setup.ini"), u"sub\\setup.ini");
  EXPECT_EQ(resolve_in(u"C:\\app", u"D:setup.ini"), u"D:setup.ini");
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

// The server is looked for as Windows would, but never in the current folder: a relative PATH
// entry would bring it back.
TEST(ProgramSearch, FoldersInWindowsOrderWithoutTheCurrentFolder) {
  const std::vector<Text> expected = {u"C:\\client",     u"C:\\Windows\\system32", u"C:\\Windows", u"C:\\SQLAny\\Bin32",
                                      u"\\\\srv\\tools", u"D:\\quoted dir",        u"E:\\"};
  EXPECT_EQ(program_search_folders(
                u"C:\\client", u"C:\\Windows\\system32", u"C:\\Windows",
                u"C:\\SQLAny\\Bin32;;.;..\\bin;bin;\\rooted;C:relative;C:;\\\\srv\\tools;\"D:\\quoted dir\";E:\\;"
                u"c:\\windows\\SYSTEM32\\;C:\\SQLAny\\Bin32"),
            expected);
  EXPECT_EQ(program_search_folders(u"C:\\client", u"S", u"W", u"").size(), 3U);
}

}  // namespace
}  // namespace velmor
