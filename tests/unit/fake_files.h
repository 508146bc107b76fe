// An in-memory file layer: files by name in the executable's folder.
#pragma once

#include <map>
#include <set>
#include <string>

#include "app/errors.h"
#include "settings/file_access.h"

namespace quillfen::testing {

class FakeFiles : public IFileAccess {
 public:
  static constexpr const char* Folder = "/opt/quillfen/";
  std::map<std::string, std::string> files;  // by name in Folder
  std::set<std::string> locked;  // held open elsewhere: neither read nor written

  void Put(const std::string& name, std::string bytes) { files[name] = std::move(bytes); }
  std::string Get(const std::string& name) const {
    auto it = files.find(name);
    return it == files.end() ? std::string("<none>") : it->second;
  }

  std::string ExecutablePath() override { return std::string(Folder) + "quillfen"; }
  TPathRules PathRules() override { return {"/", nullptr}; }
  bool FileExists(const std::string& path) override { return files.count(Name(path)) != 0; }
  std::string ReadWholeFile(const std::string& path) override {
    auto it = files.find(Name(path));
    if (it == files.end() || locked.count(Name(path))) throw EFOpenError(path);
    return it->second;
  }
  void WriteWholeFile(const std::string& path, std::string_view bytes) override {
    if (locked.count(Name(path))) throw EFCreateError(path);
    files[Name(path)] = std::string(bytes);
  }
  std::string SystemTextToUtf8(std::string_view text) override { return std::string(text); }

 private:
  static std::string Name(const std::string& path) { return path.substr(path.rfind('/') + 1); }
};

}  // namespace quillfen::testing
