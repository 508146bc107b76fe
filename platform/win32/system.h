// The Windows headers, without the macros that would rename members of our
// own interfaces (LoadLibrary, RegOpenKey) in these files only.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef LoadLibrary
#undef RegOpenKey
