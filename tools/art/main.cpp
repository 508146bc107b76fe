// Writes the generated art: quillfen-artgen DIRECTORY
#include <cstdio>
#include <string>

#include "tools/art/art.h"

namespace {
bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::perror(path.c_str());
    return false;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) {
    std::perror(path.c_str());
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const bool ok = Write(dir + "/sheet.bmp", quillfen::art::MakeSpriteSheet()) &&
                  Write(dir + "/dialog.bmp", quillfen::art::MakeDialogPicture());
  return ok ? 0 : 1;
}
