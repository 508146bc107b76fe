// The settings file layer on Windows.
#pragma once

#include "settings/file_access.h"

namespace quillfen {

// Paths and text are in the ANSI code page; "\" and ":" separate directories,
// with the double-byte rule of that code page. Both the read and the write
// open the settings file with share mode 0.
class TWin32FileAccess : public IFileAccess {
 public:
  std::string ExecutablePath() override;
  TPathRules PathRules() override;
  bool FileExists(const std::string& path) override;
  std::string ReadWholeFile(const std::string& path) override;
  void WriteWholeFile(const std::string& path, std::string_view bytes) override;
  std::string SystemTextToUtf8(std::string_view text) override;
};

}  // namespace quillfen
