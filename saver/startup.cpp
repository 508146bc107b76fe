#include "saver/startup.h"

#include "settings/settings_file.h"

namespace quillfen {

void RunSaverStartup(WalkerField& field, std::int32_t& WalkerCount, std::int32_t width, std::int32_t height,
                     std::uint32_t seed, IFileAccess& files) {
  StartField(field, width, height, seed);
  WalkerCount = WindowRead(files);
  WalkerCount = ApplySmallFieldRule(WalkerCount, field.ScreenWidth);
}

}  // namespace quillfen
