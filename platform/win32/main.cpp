// The entry point of quillfen.scr: the argument vector from the raw command
// line, the platform, and the program's run.
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "app/cmdline.h"
#include "platform/win32/system.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace quillfen;
  const std::vector<std::string> args =
      SplitCommandLine(GetCommandLineA(), win32::ModuleFileName(), &win32::IsAnsiLeadByte);
  const std::vector<std::string_view> views(args.begin(), args.end());

  win32::Win32Platform platform(instance);
  TWin32FileAccess files;
  return RunQuillfen(platform, files, views);
}
