#include "app/errors.h"

#include <gtest/gtest.h>

#include <string>

using namespace quillfen;

namespace {

TEST(Errors, MessagesAreThePlatformTexts) {
  const struct {
    Exception error;
    const char* message;
  } cases[] = {
      {EConvertError("25 "), "'25 ' は整数ではありません"},
      {EConvertError(""), "'' は整数ではありません"},
      {EListError(), "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています"},
      {EFOpenError("/opt/q/quillfen.ini"), "ﾌｧｲﾙ /opt/q/quillfen.ini は開けません"},
      {EFCreateError("C:\\Q\\quillfen.ini"), "ﾌｧｲﾙ C:\\Q\\quillfen.ini を作成できません"},
      {EWriteError(), "ｽﾄﾘｰﾑへの書き込みｴﾗｰ"},
      {ERegistryException::ReadFailed("ScreenSaveUsePassword"), "'ScreenSaveUsePassword' の取得に失敗しました"},
      {ERegistryException::InvalidDataType("ScreenSaveUsePassword"), "'ScreenSaveUsePassword' のﾃﾞｰﾀ型が不正です"},
      // A %s in the filled-in text is not filled again.
      {EConvertError("%s"), "'%s' は整数ではありません"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.Message, c.message);
    EXPECT_STREQ(c.error.what(), c.message);
  }
}

TEST(Errors, AllShareOneBaseForTheDisplay) {
  try {
    throw EFOpenError("x");
  } catch (const Exception& e) {
    EXPECT_EQ(ErrorDisplayText(e), "ﾌｧｲﾙ x は開けません.");
  }
  try {
    throw ERegistryException::ReadFailed("v");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "'v' の取得に失敗しました");
  }
}

TEST(SanitizeUtf8, KeepsTextAndReplacesBrokenBytes) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"plain 12", "plain 12"},
      {"ﾌｧｲﾙ 一 \xF0\x9F\x98\x80", "ﾌｧｲﾙ 一 \xF0\x9F\x98\x80"},
      {"a\xFF"
       "b",
       "a\xEF\xBF\xBD"
       "b"},
      {"\x80", "\xEF\xBF\xBD"},
      {"\xE4\xB8", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // cut short
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong "/"
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // surrogate
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // beyond U+10FFFF
      {"\x93\xfa\x96\x7b", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD{"},             // Shift-JIS bytes
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeUtf8(c.in), c.out) << c.in;
}

}  // namespace
