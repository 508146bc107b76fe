// Scratch folders and outcome strings for the settings tests. The settings
// file lives in a fresh folder that stands in for the executable's folder.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "app/errors.h"

#if defined(_WIN32)
#include "platform/win32/win32_files.h"
using NativeFiles = quillfen::TWin32FileAccess;
#else
#include "platform/x11/linux_files.h"
using NativeFiles = quillfen::TLinuxFileAccess;
#endif

namespace qftest {

namespace fs = std::filesystem;

class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device seed;
    std::mt19937_64 pick(seed());
    for (;;) {
      path_ = fs::temp_directory_path() / ("quillfen-test-" + std::to_string(pick()));
      if (fs::create_directory(path_)) break;
    }
    path_.make_preferred();
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ec;
    // Tests may leave read-only entries behind.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }

  const fs::path& Path() const { return path_; }
  // The folder with a separator at the end.
  std::string Dir() const { return (path_ / "").string(); }
  std::string Exe() const { return Dir() + "quillfen.scr"; }
  std::string SettingsFile() const { return Dir() + "quillfen.ini"; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void WriteSettings(const std::string& bytes) const { Write("quillfen.ini", bytes); }

  std::optional<std::string> Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::optional<std::string> ReadSettings() const { return Read("quillfen.ini"); }

  // The names in the folder, sorted: shows leftovers of a write.
  std::string Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
  }

 private:
  fs::path path_;
};

// The platform's file layer, with the executable moved into a scratch folder.
class ScratchFiles : public NativeFiles {
 public:
  explicit ScratchFiles(const ScratchFolder& folder) : exe_(folder.Exe()) {}
  std::string ExecutablePath() override { return exe_; }

 private:
  std::string exe_;
};

inline std::string Show(std::int32_t v) {
  return std::to_string(v);
}
inline std::string Show(const std::optional<std::int32_t>& v) {
  return v ? std::to_string(*v) : "none";
}

// What `f` gave: its value, "ok", or the error's class and message.
template <typename F>
std::string Outcome(F&& f) {
  try {
    if constexpr (std::is_void_v<decltype(f())>) {
      f();
      return "ok";
    } else {
      return Show(f());
    }
  } catch (const quillfen::EConvertError& e) {
    return "EConvertError: " + e.Message;
  } catch (const quillfen::EListError& e) {
    return "EListError: " + e.Message;
  } catch (const quillfen::EFOpenError& e) {
    return "EFOpenError: " + e.Message;
  } catch (const quillfen::EFCreateError& e) {
    return "EFCreateError: " + e.Message;
  } catch (const quillfen::EWriteError& e) {
    return "EWriteError: " + e.Message;
  }
}

inline std::string OpenError(const std::string& path) {
  return "EFOpenError: ﾌｧｲﾙ " + path + " は開けません";
}
inline std::string CreateError(const std::string& path) {
  return "EFCreateError: ﾌｧｲﾙ " + path + " を作成できません";
}
inline std::string ConvertError(const std::string& line) {
  return "EConvertError: '" + line + "' は整数ではありません";
}
inline const std::string ListError = "EListError: ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています";
inline const std::string WriteError = "EWriteError: ｽﾄﾘｰﾑへの書き込みｴﾗｰ";

}  // namespace qftest
