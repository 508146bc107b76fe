// The settings file layer on Linux.
#pragma once

#include "settings/file_access.h"

namespace quillfen {

// Paths are bytes, "/" separates directories and text is taken as UTF-8.
// Both the read and the write hold an exclusive flock on the settings file
// and give up at once when another process holds it.
class TLinuxFileAccess : public IFileAccess {
 public:
  std::string ExecutablePath() override;
  TPathRules PathRules() override { return {"/", nullptr}; }
  bool FileExists(const std::string& path) override;
  std::string ReadWholeFile(const std::string& path) override;
  void WriteWholeFile(const std::string& path, std::string_view bytes) override;
  std::string SystemTextToUtf8(std::string_view text) override;
};

}  // namespace quillfen
