// The model part of the saver window's start-up, shared by the saver window
// and the renderer so that both start exactly alike.
#pragma once

#include <cstdint>

#include "anim/walkers.h"
#include "settings/file_access.h"

namespace quillfen {

// Field size, generator seed and all walkers seeded; then the count from the
// settings file into `WalkerCount`, and the small-field rule. The caller has
// already sized the drawing surface. When the settings read throws, the
// error leaves this function with the field seeded, `WalkerCount` as it was
// and the small-field rule not applied.
void RunSaverStartup(WalkerField& field, std::int32_t& WalkerCount, std::int32_t width, std::int32_t height,
                     std::uint32_t seed, IFileAccess& files);

}  // namespace quillfen
