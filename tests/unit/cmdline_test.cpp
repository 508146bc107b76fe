#include "app/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quillfen;

namespace {

struct ClassifyCase {
  std::vector<std::string> args;  // after the program path
  std::int32_t exitCode;
  TRunMode mode;
  bool hasWindow;
  std::uint32_t window;
};

TStartRequest Classify(const std::vector<std::string>& args) {
  std::vector<std::string_view> v{"C:\\saver\\quillfen.scr"};
  for (const auto& a : args) v.emplace_back(a);
  return ClassifyCommandLine(v);
}

TEST(ClassifyCommandLine, TableOfCases) {
  const ClassifyCase cases[] = {
      {{}, 0, rmConfig, false, 0},
      {{"s"}, 0, rmConfig, false, 0},
      {{""}, 0, rmConfig, false, 0},
      {{"/s"}, 0, rmSaver, false, 0},
      {{"-S"}, 0, rmSaver, false, 0},
      {{"/s", "77", "88"}, 0, rmSaver, false, 0},
      {{"/C"}, 0, rmConfig, false, 0},
      {{"-c:4711"}, 0, rmConfig, false, 0},
      {{"/a"}, 0, rmChangePassword, false, 0},
      {{"/A", "4711"}, 0, rmChangePassword, true, 4711},
      {{"/a", "4711", "1"}, 0, rmChangePassword, false, 0},
      {{"/p", "4711"}, 0, rmPreview, true, 4711},
      {{"-P", "4711"}, 0, rmPreview, true, 4711},
      {{"/p"}, -1, rmConfig, false, 0},
      {{"/p:4711"}, -1, rmConfig, false, 0},
      {{"/p", "4711", "1"}, -1, rmConfig, false, 0},
      {{"/p", "abc"}, 0, rmPreview, true, 0},
      {{"/p", "12abc"}, 0, rmPreview, true, 12},
      {{"/p", "-1"}, 0, rmPreview, true, 0xFFFFFFFFu},
      {{"/p", "4294967297"}, 0, rmPreview, true, 1},
      {{"/"}, -1, rmConfig, false, 0},
      {{"-"}, -1, rmConfig, false, 0},
      {{"/x"}, -1, rmConfig, false, 0},
      {{"//s"}, -1, rmConfig, false, 0},
      {{"/saver", "x"}, 0, rmSaver, false, 0},
      {{"config", "/s"}, 0, rmConfig, false, 0},
  };
  for (const auto& c : cases) {
    std::string label;
    for (const auto& a : c.args) label += "[" + a + "]";
    SCOPED_TRACE(label);
    const TStartRequest r = Classify(c.args);
    EXPECT_EQ(r.ExitCode, c.exitCode);
    if (c.exitCode == 0) {
      EXPECT_EQ(r.Mode, c.mode);
    }
    EXPECT_EQ(r.HasWindow, c.hasWindow);
    EXPECT_EQ(r.Window, c.window);
  }
}

TEST(ClassifyCommandLine, ArgvFormMatchesSpanForm) {
  const char* argv[] = {"quillfen", "/p", "123", nullptr};
  const TStartRequest r = ClassifyCommandLine(3, argv);
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Mode, rmPreview);
  EXPECT_EQ(r.Window, 123u);
  EXPECT_EQ(ClassifyCommandLine(0, argv).Mode, rmConfig);  // no vector at all
}

TEST(ParseWindowHandle, DecimalRulesSignsAndWrapAround) {
  const struct {
    std::string text;
    std::uint32_t value;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"0", 0},
      {"4711", 4711},
      {"  \t\n\v\f\r42", 42},
      {"+42", 42},
      {"-42", 0u - 42u},
      {"-1", 0xFFFFFFFFu},
      {"- 1", 0},   // no blank after the sign
      {"+-1", 0},   // one sign only
      {"\xA0" "5", 0},  // 0xA0 is no white space
      {"2147483647", 2147483647u},
      {"2147483648", 0x80000000u},
      {"-2147483648", 0x80000000u},
      {"4294967295", 0xFFFFFFFFu},
      {"4294967296", 0},
      {"4294967297", 1},
      {"-4294967297", 0xFFFFFFFFu},
      {"12abc", 12},
      {"007", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseWindowHandle(c.text), c.value);
  }
  // Twenty nines, accumulated modulo 2^32.
  std::uint32_t expect = 0;
  for (int i = 0; i < 20; ++i) expect = expect * 10u + 9u;
  EXPECT_EQ(ParseWindowHandle("99999999999999999999"), expect);
  // An unsigned number above 2^31-1 gives the same bits as its negative form.
  EXPECT_EQ(ParseWindowHandle("4294967000"), ParseWindowHandle("-296"));
}

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(SplitCommandLine, Examples) {
  const std::string module = "C:\\Windows\\QUILLFEN.SCR";
  const struct {
    std::string line;
    std::vector<std::string> args;  // after element 0
  } cases[] = {
      {"", {}},
      {"quillfen.scr", {}},
      {"quillfen.scr /s", {"/s"}},
      {"  quillfen.scr\t/p   4711   ", {"/p", "4711"}},
      {"quillfen.scr \"/p 4711\"", {"/p 4711"}},
      {"quillfen.scr/s", {}},
      {"\"C:\\my saver\\quillfen.scr\"/s", {"/s"}},
      {"\"C:\\my saver\\quillfen.scr\" /s", {"/s"}},
      {"\"unterminated name", {}},
      {"x a\"b c\"d", {"ab cd"}},
      {"x \"\"", {""}},
      {"x \"\" \"\"", {"", ""}},
      {"x \"unterminated arg", {"unterminated arg"}},
      {"x a\\\"b", {"a\"b"}},
      {"x \"a\\\"b c\"", {"a\"b c"}},
      {"x a\\b", {"a\\b"}},
      {"x a\\\\\"b c\"", {"a\\\"b", "c"}},
      {"x *.* ?", {"*.*", "?"}},
      {"x /c:4711", {"/c:4711"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const auto v = SplitCommandLine(c.line, module, nullptr);
    ASSERT_GE(v.size(), 1u);
    EXPECT_EQ(v[0], module);
    EXPECT_EQ(std::vector<std::string>(v.begin() + 1, v.end()), c.args);
  }
}

TEST(SplitCommandLine, WhatTheSplitMeansForTheMode) {
  auto classify = [](const std::string& line) {
    const auto v = SplitCommandLine(line, "C:\\q.scr", nullptr);
    std::vector<std::string_view> views(v.begin(), v.end());
    return ClassifyCommandLine(views);
  };
  EXPECT_EQ(classify("q.scr \"/p 4711\"").ExitCode, -1);  // one argument only
  EXPECT_EQ(classify("q.scr/s").Mode, rmConfig);
  EXPECT_EQ(classify("\"q.scr\"/s").Mode, rmSaver);
  EXPECT_EQ(classify("q.scr /p 4711").Window, 4711u);
}

TEST(SplitCommandLine, LeadBytesHideTheirSecondByte) {
  // 0x81 before a quote, a blank, a backslash and a tab: each pair is one
  // character, so none of those second bytes acts as what it would be alone.
  const std::string line = "x a\x81\"b \x81 c\x81\\\"d e\x81\t";
  const auto v = SplitCommandLine(line, "m", ShiftJisLead);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[1], "a\x81\"b");
  // The backslash belongs to its lead byte, so the quote after it opens a
  // quoted stretch that runs to the end.
  EXPECT_EQ(v[2], "\x81 c\x81\\d e\x81\t");
  // Without the predicate the quote after the first 0x81 opens a stretch.
  const auto plain = SplitCommandLine(line, "m", nullptr);
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[1], "a\x81" "b \x81 c\x81\"d e\x81\t");
  // A lead byte at the very end is kept and nothing is read past it.
  const auto end = SplitCommandLine(std::string_view("x a\x81", 4), "m", ShiftJisLead);
  ASSERT_EQ(end.size(), 2u);
  EXPECT_EQ(end[1], "a\x81");
  // A lead byte in the program name hides the blank after it.
  EXPECT_EQ(SplitCommandLine("q\x81 /s", "m", ShiftJisLead).size(), 1u);
}

TEST(SplitCommandLine, ModulePathIsCutTo255Bytes) {
  const std::string longPath(300, 'p');
  const auto v = SplitCommandLine("x /s", longPath, nullptr);
  EXPECT_EQ(v[0], longPath.substr(0, 255));
}

}  // namespace
