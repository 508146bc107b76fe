// A list of byte-string lines as the settings file holds them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/file_access.h"

namespace quillfen {

class TStringList {
 public:
  std::size_t Count() const noexcept { return Lines.size(); }

  // Throws EListError when `index` is not below Count().
  const std::string& Get(std::size_t index) const;
  void Put(std::size_t index, std::string line);

  void Add(std::string line) { Lines.push_back(std::move(line)); }
  void Clear() noexcept { Lines.clear(); }

  // Splits `bytes` into lines and makes them the whole list. A line ends at
  // CR, LF or NUL; after it one CR and then one LF are skipped, so CR LF, LF
  // and CR each end one line and LF CR ends two. A NUL ends the text. A last
  // line without a break counts; a break at the very end starts none.
  void SetText(std::string_view bytes);

  // Every line followed by CR LF, the last one too.
  std::string Text() const;

  // The list is left as it was when the file cannot be read.
  void LoadFromFile(IFileAccess& files, const std::string& path);
  void SaveToFile(IFileAccess& files, const std::string& path) const;

  const std::vector<std::string>& Strings() const noexcept { return Lines; }

 private:
  std::vector<std::string> Lines;
};

// The lines of `bytes` by the rules of TStringList::SetText.
std::vector<std::string> SplitLines(std::string_view bytes);

}  // namespace quillfen
