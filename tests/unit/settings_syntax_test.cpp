// The settings file's text rules: line splitting and joining, the line list's
// index errors, the count's integer syntax and the settings path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/errors.h"
#include "settings/settings_file.h"
#include "settings/string_list.h"

using namespace quillfen;
using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, EveryBreakKindNulAndEnd) {
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {""s, {}},
      {"\r\n"s, {""}},
      {"\n"s, {""}},
      {"\r"s, {""}},
      {"\n\r"s, {"", ""}},
      {"300"s, {"300"}},
      {"300\r\n"s, {"300"}},
      {"300\n"s, {"300"}},
      {"300\r"s, {"300"}},
      {"7\nalpha\nbeta"s, {"7", "alpha", "beta"}},
      {"a\r\nb\rc\nd\n\re"s, {"a", "b", "c", "d", "", "e"}},
      {"a\r\rb"s, {"a", "", "b"}},
      {"a\n\nb\r\n\r\n"s, {"a", "", "b", ""}},
      {"a\r\n\nb"s, {"a", "", "b"}},
      {"\r\n5"s, {"", "5"}},
      {" 25 \t\r\n"s, {" 25 \t"}},
      {"\0"s, {}},
      {"\0"
       "300\r\n"s,
       {}},
      {"300\0"s, {"300"}},
      {"300\r\0\n4"s, {"300"}},
      {"1\r2\n3\0junk\r\n"s, {"1", "2", "3"}},
      {"\xFF\x81\\\r\n"s, {"\xFF\x81\\"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(SplitLines(c.bytes), c.lines);
    TStringList list;
    list.Add("stale");
    list.SetText(c.bytes);
    EXPECT_EQ(list.Strings(), c.lines);
  }
}

TEST(TStringList, TextEndsEveryLineWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("9");
  EXPECT_EQ(list.Text(), "9\r\n");
  list.Add("");
  list.Add("beta");
  EXPECT_EQ(list.Text(), "9\r\n\r\nbeta\r\n");
  // Splitting the joined text gives the lines back.
  EXPECT_EQ(SplitLines(list.Text()), list.Strings());
}

TEST(TStringList, IndexBeyondTheListIsAListError) {
  TStringList list;
  EXPECT_THROW(list.Get(0), EListError);
  EXPECT_THROW(list.Put(0, "1"), EListError);
  EXPECT_EQ(list.Count(), 0u);
  list.SetText("a\nb");
  EXPECT_EQ(list.Get(1), "b");
  EXPECT_THROW(list.Get(2), EListError);
  EXPECT_THROW(list.Put(2, "c"), EListError);
  EXPECT_THROW(list.Get(static_cast<std::size_t>(-1)), EListError);
  list.Put(0, "z");
  EXPECT_EQ(list.Strings(), (Lines{"z", "b"}));
}

TEST(StrToInt, TheCountSyntax) {
  const struct {
    std::string text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"300", 300},
      {"0", 0},
      {"-5", -5},
      {"+7", 7},
      {"007", 7},
      {"-0", 0},
      {" 25", 25},
      {"     -25", -25},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"+0002147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$1F", 31},
      {"x1F", 31},
      {"X1f", 31},
      {"0x1F", 31},
      {"0X1f", 31},
      {"  $a", 10},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", INT32_MIN},
      {"$FFFFFFFF", -1},
      {"0xffffffff", -1},
      {"$000000000FFFFFFFF", -1},
      {"$100000000", std::nullopt},
      {"$0", 0},
      {"$00000000000", 0},
      {"-$1F", std::nullopt},
      {"+$1F", std::nullopt},
      {"-0x1F", std::nullopt},
      {"- 1", std::nullopt},
      {"$ 1F", std::nullopt},
      {"$1G", std::nullopt},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"x", std::nullopt},
      {"00x1F", std::nullopt},
      {"0x0x1", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"25 ", std::nullopt},
      {"25\t", std::nullopt},
      {"\t25", std::nullopt},
      {"25x", std::nullopt},
      {"1e3", std::nullopt},
      {"1,000", std::nullopt},
      {"twelve", std::nullopt},
      {"12\0"s, std::nullopt},
      {"\xEF\xBC\x91\xEF\xBC\x92", std::nullopt},  // full-width digits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(TryStrToInt(c.text), c.value);
    if (c.value) {
      EXPECT_EQ(StrToInt(c.text), *c.value);
    } else {
      try {
        StrToInt(c.text);
        ADD_FAILURE() << "no error";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'" + SanitizeUtf8(c.text) + "' は整数ではありません");
      }
    }
  }
}

// Lead bytes 0x81-0x9F and 0xE0-0xFC, as in a Japanese code page.
bool JapaneseLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

TEST(SettingsPathOf, DirectoryOfTheExecutable) {
  const TPathRules windows{"\\:", JapaneseLeadByte};
  const TPathRules windowsSingleByte{"\\:", nullptr};
  const TPathRules unixRules{"/", nullptr};
  const struct {
    std::string exe;
    TPathRules rules;
    std::string path;
  } cases[] = {
      {"C:\\WINDOWS\\SYSTEM\\quillfen.scr", windows, "C:\\WINDOWS\\SYSTEM\\quillfen.ini"},
      {"C:quillfen.scr", windows, "C:quillfen.ini"},
      {"C:\\quillfen.scr", windows, "C:\\quillfen.ini"},
      {"\\\\server\\share\\q.scr", windows, "\\\\server\\share\\quillfen.ini"},
      {"quillfen.scr", windows, "quillfen.ini"},
      {"", windows, "quillfen.ini"},
      {"C:/Apps/q.scr", windows, "C:quillfen.ini"},  // "/" is no separator here
      // "\x95\\" is one double-byte character: its "\" separates nothing.
      {"C:\\\x95\\\\q.scr", windows, "C:\\\x95\\\\quillfen.ini"},
      {"C:\\a\x95\\q.scr", windows, "C:\\quillfen.ini"},
      {"C:\\a\x95\\q.scr", windowsSingleByte, "C:\\a\x95\\quillfen.ini"},
      // A trail byte that looks like a lead byte does not start a character.
      {"C:\\\x95\x95\\q.scr", windows, "C:\\\x95\x95\\quillfen.ini"},
      {"C:\\\x95\x95\x95\\q.scr", windows, "C:\\quillfen.ini"},
      {"C:\\dir\x95", windows, "C:\\quillfen.ini"},  // lead byte at the very end
      {"/usr/lib/quillfen/quillfen", unixRules, "/usr/lib/quillfen/quillfen.ini"},
      {"/quillfen", unixRules, "/quillfen.ini"},
      {"/opt/q\\x:y/quillfen", unixRules, "/opt/q\\x:y/quillfen.ini"},
      {"quillfen", unixRules, "quillfen.ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exe);
    EXPECT_EQ(SettingsPathOf(c.exe, c.rules), c.path);
  }
}

}  // namespace
