// The saver window: full screen in saver mode, a child of the host's window
// in preview mode. It carries the animation and decides when it may close.
#pragma once

#include <cstdint>
#include <memory>

#include "anim/walkers.h"
#include "app/platform.h"

namespace quillfen {

class TApplication;
class TCompositor;
struct TImage;

inline constexpr std::uint32_t Timer1Interval = 48;  // milliseconds

class TMainForm {
 public:
  // The constructor body: position, size, the saved cursor and the hidden
  // cursor in saver mode, the host window's size in preview mode.
  explicit TMainForm(TApplication& app);
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // --- handlers
  void FormMouseMove(std::int32_t x, std::int32_t y);
  void Timer1Timer();
  void FormMouseDown();
  void FormKeyDown(int key);
  void FormCloseQuery(bool& canClose);
  void FormDestroy();
  void FormCreate();
  void ApplicationMessage(const TMsg& msg, bool& handled);

  // The window-parameters step; it also installs ApplicationMessage as the
  // application's filter for queued messages.
  TCreateParams CreateParams();
  bool FilterInstalled() const { return filterInstalled_; }
  // Creates the window (after FormCreate); raises the platform's error when
  // the preview host is missing or is no window.
  void CreateWindowHandle();

  // A close request: the close query, then the end of the application.
  void Close();

  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  TPoint SavedCursorPos;
  std::int32_t WalkerCount = 0;
  WalkerField& Field() { return *field_; }

 private:
  TApplication& app_;
  std::unique_ptr<WalkerField> field_;
  std::unique_ptr<TImage> sheet_;  // the sprite sheet, loaded once with the form
  std::unique_ptr<TCompositor> compositor_;  // the surface, made on the first tick
  bool filterInstalled_ = false;
};

}  // namespace quillfen
