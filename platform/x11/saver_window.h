// The saver window on X: a full-screen override-redirect window that takes
// every key and pointer event, or a child of the preview host that takes
// none. Frames go out through MIT-SHM, or plain XImages where shared memory
// cannot be used.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/platform.h"

namespace quillfen::x11 {

// A rectangle of the frame by its edges: columns Left .. Right-1, rows
// Top .. Bottom-1.
struct TBox {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const TBox&, const TBox&) = default;
};

// Joins boxes whose common bounding box is no larger than the two together.
void MergeOverlapping(std::vector<TBox>& boxes);

// The image the frames are copied into and put on the window from. It keeps
// the last frame, so that an exposed part can be painted again.
class TFrameImage {
 public:
  TFrameImage(Display* display, Drawable target, Visual* visual, int depth);
  ~TFrameImage();
  TFrameImage(const TFrameImage&) = delete;
  TFrameImage& operator=(const TFrameImage&) = delete;

  // Copies the changed parts of `frame` in and puts them on the window
  // (all of it the first time).
  void Present(const TFrameView& frame, std::span<const TRect> changed);
  // Puts the part (x, y, w, h) of the last frame on the window again.
  void Repaint(int x, int y, int w, int h);
  bool UsesSharedMemory() const { return shm_; }

 private:
  void Create(int width, int height);
  bool CreateShared(int width, int height);
  void CreatePlain(int width, int height);
  void Destroy();
  void WaitUntilServerReadImage();
  void CopyIn(const TFrameView& frame, int x, int y, int w, int h);
  void Put(int x, int y, int w, int h);

  Display* display_;
  Drawable target_;
  Visual* visual_;
  int depth_;
  GC gc_;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_{};
  bool shm_ = false;
  bool shmBusy_ = false;
  bool directCopy_ = false;  // the image's pixels are 0x00RRGGBB words
  std::vector<std::uint32_t> plainPixels_;
  std::vector<TBox> parts_;  // this frame's changed parts
};

class TSaverWindow {
 public:
  // Throws nothing; `Valid()` tells whether the window exists.
  TSaverWindow(Display* display, const TCreateParams& params, const std::string& title);
  ~TSaverWindow();
  TSaverWindow(const TSaverWindow&) = delete;
  TSaverWindow& operator=(const TSaverWindow&) = delete;

  bool Valid() const { return window_ != 0; }
  Window Id() const { return window_; }
  bool IsPreview() const { return preview_; }

  void SetTitle(const std::string& title);
  void SetCursorHidden(bool hidden);
  // Mapped, raised, and in saver mode with the keyboard and the pointer.
  void Show();
  // Takes keyboard and pointer if it does not hold them yet (another client
  // may have held a grab when we first tried).
  void RetakeInput();
  // Lets go of keyboard and pointer while a message box needs them, and
  // takes them again afterwards.
  void SetInputReleased(bool released);
  void Present(const TFrameView& frame, std::span<const TRect> changed);
  void Repaint(int x, int y, int w, int h);
  TFrameImage* Image() { return image_.get(); }

  // The X server has destroyed the window (the host went away).
  void MarkGone() { gone_ = true; }
  bool Gone() const { return gone_; }

  Atom WmProtocols() const { return wmProtocols_; }
  Atom WmDeleteWindow() const { return wmDeleteWindow_; }

 private:
  Display* display_;
  Window window_ = 0;
  bool preview_ = false;
  bool shown_ = false;
  bool gone_ = false;
  bool keyboardGrabbed_ = false;
  bool pointerGrabbed_ = false;
  bool inputReleased_ = false;
  Cursor invisibleCursor_ = 0;
  Atom wmProtocols_ = 0;
  Atom wmDeleteWindow_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  std::unique_ptr<TFrameImage> image_;
};

}  // namespace quillfen::x11
