#include "settings/string_list.h"

#include <algorithm>

#include "app/errors.h"

namespace quillfen {

std::vector<std::string> SplitLines(std::string_view bytes) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

const std::string& TStringList::Get(std::size_t index) const {
  if (index >= Lines.size()) throw EListError();
  return Lines[index];
}

void TStringList::Put(std::size_t index, std::string line) {
  if (index >= Lines.size()) throw EListError();
  Lines[index] = std::move(line);
}

void TStringList::SetText(std::string_view bytes) {
  Lines = SplitLines(bytes);
}

std::string TStringList::Text() const {
  std::size_t size = 0;
  for (const auto& l : Lines) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& l : Lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

void TStringList::LoadFromFile(IFileAccess& files, const std::string& path) {
  SetText(files.ReadWholeFile(path));
}

void TStringList::SaveToFile(IFileAccess& files, const std::string& path) const {
  files.WriteWholeFile(path, Text());
}

}  // namespace quillfen
