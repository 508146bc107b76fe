#include "app/errors.h"

#include <cstdint>

namespace quillfen {

namespace {

// Fills the one %s of a message.
std::string Format(std::string_view pattern, std::string_view arg) {
  const std::size_t at = pattern.find("%s");
  std::string out;
  out.reserve(pattern.size() + arg.size());
  out.append(pattern.substr(0, at));
  out.append(arg);
  out.append(pattern.substr(at + 2));
  return out;
}

}  // namespace

EConvertError::EConvertError(std::string_view text) : Exception(Format("'%s' は整数ではありません", text)) {}

EListError::EListError() : Exception("ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています") {}

EFOpenError::EFOpenError(std::string_view path) : Exception(Format("ﾌｧｲﾙ %s は開けません", path)) {}

EFCreateError::EFCreateError(std::string_view path) : Exception(Format("ﾌｧｲﾙ %s を作成できません", path)) {}

EWriteError::EWriteError() : Exception("ｽﾄﾘｰﾑへの書き込みｴﾗｰ") {}

ERegistryException ERegistryException::ReadFailed(std::string_view valueName) {
  return ERegistryException(Format("'%s' の取得に失敗しました", valueName));
}

ERegistryException ERegistryException::InvalidDataType(std::string_view valueName) {
  return ERegistryException(Format("'%s' のﾃﾞｰﾀ型が不正です", valueName));
}

EInvalidOperation EInvalidOperation::NoParent(std::string_view control) {
  return EInvalidOperation(Format("ｺﾝﾄﾛｰﾙ '%s' は親ｳｨﾝﾄﾞｳを持っていません", control));
}

EOutOfResources EOutOfResources::WindowCreate() { return EOutOfResources("ｳｨﾝﾄﾞｳの作成でｴﾗｰが発生しました"); }

std::string ErrorDisplayText(const Exception& e) {
  return e.Message + ".";
}

std::string SanitizeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
  auto cont = [&](std::size_t k) { return k < n && (at(k) & 0xC0) == 0x80; };
  while (i < n) {
    const std::uint8_t b = at(i);
    std::size_t len = 0;
    if (b < 0x80) {
      len = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = cont(i + 1) ? 2 : 0;
    } else if (b >= 0xE0 && b <= 0xEF) {
      // No overlong forms and no surrogates.
      const bool second = i + 1 < n && (b == 0xE0   ? at(i + 1) >= 0xA0 && at(i + 1) <= 0xBF
                                        : b == 0xED ? at(i + 1) >= 0x80 && at(i + 1) <= 0x9F
                                                    : cont(i + 1));
      len = second && cont(i + 2) ? 3 : 0;
    } else if (b >= 0xF0 && b <= 0xF4) {
      // No overlong forms and nothing beyond U+10FFFF.
      const bool second = i + 1 < n && (b == 0xF0   ? at(i + 1) >= 0x90 && at(i + 1) <= 0xBF
                                        : b == 0xF4 ? at(i + 1) >= 0x80 && at(i + 1) <= 0x8F
                                                    : cont(i + 1));
      len = second && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    if (len == 0) {
      out.append("\xEF\xBF\xBD");
      ++i;
    } else {
      out.append(bytes.substr(i, len));
      i += len;
    }
  }
  return out;
}

}  // namespace quillfen
