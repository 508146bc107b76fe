#include "platform/x11/saver_window.h"

#include <X11/Xatom.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "anim/compositor.h"

namespace quillfen::x11 {

namespace {

// Where a channel of 8 bits goes in a pixel of the visual.
struct TChannel {
  int Shift = 0;  // of the channel's lowest bit
  int Bits = 0;
  static TChannel From(unsigned long mask) {
    TChannel c;
    if (mask == 0) return c;
    c.Shift = std::countr_zero(mask);
    c.Bits = std::popcount(mask);
    return c;
  }
  unsigned long Place(std::uint32_t value8) const {
    if (Bits == 0) return 0;
    const unsigned long v = Bits >= 8 ? static_cast<unsigned long>(value8) << (Bits - 8) : value8 >> (8 - Bits);
    return v << Shift;
  }
};

bool HostIsLittleEndian() {
  return std::endian::native == std::endian::little;
}

std::int64_t Area(const TBox& b) {
  return static_cast<std::int64_t>(b.Right - b.Left) * static_cast<std::int64_t>(b.Bottom - b.Top);
}

}  // namespace

// A walker's rectangles of two frames overlap almost wholly; copied and sent
// apart, most of their pixels would go twice. Two boxes become their common
// bounding box when that holds no more pixels than both together. The list
// is short unless the changes cover most of the frame, and then the frame
// comes as one rectangle anyway; past a few dozen the pairs are not worth
// the search.
void MergeOverlapping(std::vector<TBox>& boxes) {
  constexpr std::size_t MostToMerge = 64;
  if (boxes.size() > MostToMerge) return;
  bool merged = true;
  while (merged) {
    merged = false;
    for (std::size_t i = 0; i < boxes.size() && !merged; ++i) {
      for (std::size_t j = i + 1; j < boxes.size(); ++j) {
        const TBox u{std::min(boxes[i].Left, boxes[j].Left), std::min(boxes[i].Top, boxes[j].Top),
                     std::max(boxes[i].Right, boxes[j].Right), std::max(boxes[i].Bottom, boxes[j].Bottom)};
        if (Area(u) <= Area(boxes[i]) + Area(boxes[j])) {
          boxes[i] = u;
          boxes[j] = boxes.back();
          boxes.pop_back();
          merged = true;
          break;
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------

TFrameImage::TFrameImage(Display* display, Drawable target, Visual* visual, int depth)
    : display_(display), target_(target), visual_(visual), depth_(depth) {
  parts_.reserve(2 * static_cast<std::size_t>(MaxWalkers) + 1);  // a tick allocates nothing
  gc_ = XCreateGC(display_, target_, 0, nullptr);
  XSetGraphicsExposures(display_, gc_, False);
}

TFrameImage::~TFrameImage() {
  Destroy();
  XFreeGC(display_, gc_);
}

void TFrameImage::Destroy() {
  if (image_ == nullptr) return;
  if (shm_) {
    XShmDetach(display_, &segment_);
    XSync(display_, False);
    XDestroyImage(image_);  // frees only the structure of a shared image
    shmdt(segment_.shmaddr);
    segment_ = {};
  } else {
    image_->data = nullptr;  // the pixels belong to plainPixels_
    XDestroyImage(image_);
    plainPixels_.clear();
  }
  image_ = nullptr;
  shm_ = false;
  shmBusy_ = false;
}

void TFrameImage::Create(int width, int height) {
  Destroy();
  if (!CreateShared(width, height)) CreatePlain(width, height);
  directCopy_ = image_->bits_per_pixel == 32 && visual_->red_mask == 0xFF0000u && visual_->green_mask == 0xFF00u &&
                visual_->blue_mask == 0xFFu && (image_->byte_order == LSBFirst) == HostIsLittleEndian();
  // The window is white until the first frame; so is the copy of it.
  if (directCopy_) {
    std::memset(image_->data, 0xFF,
                static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height));
  } else {
    const unsigned long white = WhitePixel(display_, DefaultScreen(display_));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) XPutPixel(image_, x, y, white);
  }
}

bool TFrameImage::CreateShared(int width, int height) {
  // Asked by name first: the library's own query complains on stderr when
  // the extension is missing.
  int opcode = 0, firstEvent = 0, firstError = 0;
  if (!XQueryExtension(display_, "MIT-SHM", &opcode, &firstEvent, &firstError)) return false;
  int major = 0, minor = 0;
  Bool pixmaps = False;
  if (!XShmQueryVersion(display_, &major, &minor, &pixmaps)) return false;
  XImage* image = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image == nullptr) return false;
  const std::size_t size = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height);
  segment_.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (segment_.shmid < 0) {
    XDestroyImage(image);
    segment_ = {};
    return false;
  }
  void* address = shmat(segment_.shmid, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    segment_ = {};
    return false;
  }
  segment_.shmaddr = static_cast<char*>(address);
  image->data = segment_.shmaddr;
  segment_.readOnly = False;
  XShmAttach(display_, &segment_);
  // The attach has no reply; a request that has one and needs the segment
  // tells whether the server could attach it (it cannot for a client on
  // another machine, in another IPC namespace, or over TCP).
  XImage* probe =
      XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, segment_.shmaddr, &segment_, 1, 1);
  const bool attached =
      probe != nullptr && XShmGetImage(display_, DefaultRootWindow(display_), probe, 0, 0, AllPlanes) != 0;
  if (probe != nullptr) XDestroyImage(probe);
  // Marked for removal now, so that the segment goes away with the last
  // user even when this process is killed.
  shmctl(segment_.shmid, IPC_RMID, nullptr);
  if (!attached) {
    XShmDetach(display_, &segment_);
    XSync(display_, False);
    XDestroyImage(image);
    shmdt(segment_.shmaddr);
    segment_ = {};
    return false;
  }
  image_ = image;
  shm_ = true;
  return true;
}

void TFrameImage::CreatePlain(int width, int height) {
  image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                        static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  const std::size_t bytes = static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height);
  plainPixels_.assign((bytes + 3) / 4, 0);
  image_->data = reinterpret_cast<char*>(plainPixels_.data());
  shm_ = false;
}

void TFrameImage::WaitUntilServerReadImage() {
  // The server reads a shared image after the request has left; it must
  // be done with the last frame before the next one is written over it.
  if (!shmBusy_) return;
  XSync(display_, False);
  shmBusy_ = false;
}

void TFrameImage::CopyIn(const TFrameView& frame, int x0, int y0, int w, int h) {
  if (directCopy_) {
    for (int y = y0; y < y0 + h; ++y) {
      const std::uint32_t* src =
          frame.Pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.Stride) + x0;
      char* dst = image_->data + static_cast<std::size_t>(y) * static_cast<std::size_t>(image_->bytes_per_line) +
                  static_cast<std::size_t>(x0) * 4;
      std::memcpy(dst, src, static_cast<std::size_t>(w) * 4);
    }
    return;
  }
  const TChannel r = TChannel::From(visual_->red_mask);
  const TChannel g = TChannel::From(visual_->green_mask);
  const TChannel b = TChannel::From(visual_->blue_mask);
  for (int y = y0; y < y0 + h; ++y) {
    const std::uint32_t* src = frame.Pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.Stride);
    for (int x = x0; x < x0 + w; ++x) {
      const std::uint32_t p = src[x];
      XPutPixel(image_, x, y, r.Place((p >> 16) & 0xFF) | g.Place((p >> 8) & 0xFF) | b.Place(p & 0xFF));
    }
  }
}

void TFrameImage::Put(int x, int y, int w, int h) {
  if (shm_) {
    XShmPutImage(display_, target_, gc_, image_, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), False);
    shmBusy_ = true;
  } else {
    XPutImage(display_, target_, gc_, image_, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
  }
}

void TFrameImage::Present(const TFrameView& frame, std::span<const TRect> changed) {
  if (frame.Pixels == nullptr || frame.Width <= 0 || frame.Height <= 0) return;
  bool all = false;  // no rectangle: nothing changed
  if (image_ == nullptr || image_->width != frame.Width || image_->height != frame.Height) {
    Create(frame.Width, frame.Height);
    all = true;
  }
  parts_.clear();
  if (all) {
    parts_.push_back({0, 0, frame.Width, frame.Height});
  } else {
    for (const TRect& r : changed) {
      const TBox box{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Left + r.Width, frame.Width),
                     std::min(r.Top + r.Height, frame.Height)};
      if (box.Left < box.Right && box.Top < box.Bottom) parts_.push_back(box);
    }
    MergeOverlapping(parts_);
  }
  if (parts_.empty()) return;
  WaitUntilServerReadImage();
  for (const TBox& b : parts_) {
    CopyIn(frame, b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
    Put(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
  }
  XFlush(display_);
}

void TFrameImage::Repaint(int x, int y, int w, int h) {
  if (image_ == nullptr) return;  // the window's own white background shows
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + w, image_->width);
  const int bottom = std::min(y + h, image_->height);
  if (left >= right || top >= bottom) return;
  Put(left, top, right - left, bottom - top);
}

// ---------------------------------------------------------------------------

TSaverWindow::TSaverWindow(Display* display, const TCreateParams& params, const std::string& title)
    : display_(display), preview_(params.Parent != 0) {
  const int screen = DefaultScreen(display_);
  const Window root = RootWindow(display_, screen);
  const Window parent = preview_ ? static_cast<Window>(params.Parent) : root;
  if (preview_) {
    XWindowAttributes host;
    if (XGetWindowAttributes(display_, parent, &host) == 0) return;  // names no window
  }
  visual_ = DefaultVisual(display_, screen);
  depth_ = DefaultDepth(display_, screen);

  XSetWindowAttributes a{};
  a.background_pixel = WhitePixel(display_, screen);
  a.border_pixel = 0;
  // Our own visual, colormap and border pixel, so that a host of another
  // depth still takes the child.
  a.colormap = DefaultColormap(display_, screen);
  a.override_redirect = preview_ ? False : True;
  a.event_mask = ExposureMask | StructureNotifyMask;
  if (!preview_) a.event_mask |= KeyPressMask | ButtonPressMask | PointerMotionMask;
  const Window created =
      XCreateWindow(display_, parent, params.X, params.Y, static_cast<unsigned>(std::max(params.Width, 1)),
                    static_cast<unsigned>(std::max(params.Height, 1)), 0, depth_, InputOutput, visual_,
                    CWBackPixel | CWBorderPixel | CWColormap | CWOverrideRedirect | CWEventMask, &a);
  // The creation has no reply: the new window's attributes tell whether it
  // came into being (the host may have gone in between).
  XWindowAttributes check;
  if (XGetWindowAttributes(display_, created, &check) == 0) return;
  window_ = created;

  wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
  wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &wmDeleteWindow_, 1);
  XClassHint hint;
  char name[] = "quillfen";
  char cls[] = "Quillfen";
  hint.res_name = name;
  hint.res_class = cls;
  XSetClassHint(display_, window_, &hint);
  SetTitle(title);
  image_ = std::make_unique<TFrameImage>(display_, window_, visual_, depth_);
}

TSaverWindow::~TSaverWindow() {
  image_.reset();
  if (window_ != 0 && !gone_) XDestroyWindow(display_, window_);
  if (invisibleCursor_ != 0) XFreeCursor(display_, invisibleCursor_);
  XSync(display_, False);
}

void TSaverWindow::SetTitle(const std::string& title) {
  if (window_ == 0) return;
  XStoreName(display_, window_, title.c_str());
  const Atom netWmName = XInternAtom(display_, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
  XChangeProperty(display_, window_, netWmName, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

void TSaverWindow::SetCursorHidden(bool hidden) {
  if (window_ == 0 || gone_) return;
  if (hidden) {
    if (invisibleCursor_ == 0) {
      const char empty = 0;
      const Pixmap bits = XCreateBitmapFromData(display_, window_, &empty, 1, 1);
      XColor black{};
      invisibleCursor_ = XCreatePixmapCursor(display_, bits, bits, &black, &black, 0, 0);
      XFreePixmap(display_, bits);
    }
    XDefineCursor(display_, window_, invisibleCursor_);
  } else {
    XUndefineCursor(display_, window_);
  }
  XFlush(display_);
}

void TSaverWindow::Show() {
  if (window_ == 0 || gone_) return;
  XMapRaised(display_, window_);
  XSync(display_, False);
  shown_ = true;
  RetakeInput();
}

void TSaverWindow::RetakeInput() {
  if (preview_ || !shown_ || gone_ || inputReleased_) return;
  if (!keyboardGrabbed_)
    keyboardGrabbed_ = XGrabKeyboard(display_, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
  if (!pointerGrabbed_)
    pointerGrabbed_ = XGrabPointer(display_, window_, True, ButtonPressMask | PointerMotionMask, GrabModeAsync,
                                   GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
}

void TSaverWindow::SetInputReleased(bool released) {
  if (preview_ || window_ == 0 || gone_) return;
  inputReleased_ = released;
  if (released) {
    if (keyboardGrabbed_) XUngrabKeyboard(display_, CurrentTime);
    if (pointerGrabbed_) XUngrabPointer(display_, CurrentTime);
    keyboardGrabbed_ = pointerGrabbed_ = false;
    XFlush(display_);
  } else {
    RetakeInput();
  }
}

void TSaverWindow::Present(const TFrameView& frame, std::span<const TRect> changed) {
  if (window_ == 0 || gone_) return;
  image_->Present(frame, changed);
}

void TSaverWindow::Repaint(int x, int y, int w, int h) {
  if (window_ == 0 || gone_) return;
  image_->Repaint(x, y, w, h);
  XFlush(display_);
}

}  // namespace quillfen::x11
