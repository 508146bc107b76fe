// What the settings code needs from the system's file layer. Each platform
// implements it; tests may wrap an implementation to move the executable's
// path into a scratch folder.
#pragma once

#include <string>
#include <string_view>

#include "app/cmdline.h"

namespace quillfen {

// How a path of this system splits into directory and name.
struct TPathRules {
  std::string_view Separators;             // bytes that end a directory name
  LeadBytePredicate IsLeadByte = nullptr;  // null: a single-byte code page
};

// Paths and file contents are byte strings in the system's code page.
// Neither the read nor the write shares the file: while one of our processes
// reads or writes it, every other attempt to read or write it fails.
class IFileAccess {
 public:
  virtual ~IFileAccess() = default;

  // The full path of the running program's file; empty when the system
  // cannot tell.
  virtual std::string ExecutablePath() = 0;

  virtual TPathRules PathRules() = 0;

  // True when something that is not a directory is found at `path`.
  virtual bool FileExists(const std::string& path) = 0;

  // All bytes of the file. Throws EFOpenError when it cannot be opened or read.
  virtual std::string ReadWholeFile(const std::string& path) = 0;

  // Makes `bytes` the whole content of the file, all or nothing: the text is
  // written beside it and takes its place in one step. Throws EFCreateError
  // when the file cannot be created or replaced (a file the user may not
  // write, a folder without write permission, a folder of that name, a file
  // in use), and EWriteError when the system takes fewer bytes than given;
  // in both cases the old file is left as it was.
  virtual void WriteWholeFile(const std::string& path, std::string_view bytes) = 0;

  // A path or a file's text, in the system's code page, as UTF-8 for a message.
  virtual std::string SystemTextToUtf8(std::string_view text) = 0;
};

}  // namespace quillfen
