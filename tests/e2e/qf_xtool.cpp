// The end-to-end tests' own X client: a host window for previews, the
// window manager's close request, window facts, screenshots and the cursor.
//
//   qf_xtool host W H [BORDER]  map a top-level window, print its id, keep it
//                               until SIGTERM, then destroy it
//   qf_xtool children ID        one line per child: id x y width height
//   qf_xtool attrs ID           x y width height border override-redirect map-state
//   qf_xtool close ID           send WM_DELETE_WINDOW, as a title bar's close button does
//   qf_xtool shot FILE          the whole screen as a binary PPM
//   qf_xtool cursor-hidden      exit 0 when the cursor on screen shows no pixel
//   qf_xtool name ID            the window's WM_NAME
//   qf_xtool same SHOT.ppm FRAME.png
//                               exit 0 when both pictures hold the same pixels
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <png.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Ignore(Display*, XErrorEvent*) {
  return 0;
}

Window ParseWindow(const char* text) {
  return static_cast<Window>(std::strtoul(text, nullptr, 0));
}

int Host(Display* d, int w, int h, int border) {
  sigset_t terminate;
  sigemptyset(&terminate);
  sigaddset(&terminate, SIGTERM);
  sigprocmask(SIG_BLOCK, &terminate, nullptr);
  const int screen = DefaultScreen(d);
  XSetWindowAttributes a{};
  a.background_pixel = BlackPixel(d, screen);
  a.border_pixel = BlackPixel(d, screen);
  const Window win = XCreateWindow(d, RootWindow(d, screen), 40, 30, static_cast<unsigned>(w), static_cast<unsigned>(h),
                                   static_cast<unsigned>(border), CopyFromParent, InputOutput, CopyFromParent,
                                   CWBackPixel | CWBorderPixel, &a);
  XStoreName(d, win, "qf-host");
  XSelectInput(d, win, StructureNotifyMask);
  XMapWindow(d, win);
  for (;;) {
    XEvent e;
    XNextEvent(d, &e);
    if (e.type == MapNotify) break;
  }
  std::printf("%lu\n", win);
  std::fflush(stdout);
  int signal = 0;
  sigwait(&terminate, &signal);
  XDestroyWindow(d, win);
  XSync(d, False);
  return 0;
}

int Children(Display* d, Window w) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(d, w, &root, &parent, &children, &count) == 0) return 1;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(d, children[i], &a) == 0) continue;
    std::printf("%lu %d %d %d %d\n", children[i], a.x, a.y, a.width, a.height);
  }
  if (children != nullptr) XFree(children);
  return 0;
}

int Attrs(Display* d, Window w) {
  XWindowAttributes a;
  if (XGetWindowAttributes(d, w, &a) == 0) return 1;
  const char* state = a.map_state == IsViewable ? "viewable" : a.map_state == IsUnmapped ? "unmapped" : "unviewable";
  std::printf("%d %d %d %d %d %d %s\n", a.x, a.y, a.width, a.height, a.border_width, a.override_redirect ? 1 : 0,
              state);
  return 0;
}

int Close(Display* d, Window w) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XSync(d, False);
  return 0;
}

int Shot(Display* d, const char* file) {
  const int screen = DefaultScreen(d);
  const int w = DisplayWidth(d, screen), h = DisplayHeight(d, screen);
  XImage* image =
      XGetImage(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (image == nullptr) return 1;
  Visual* v = DefaultVisual(d, screen);
  auto channel = [](unsigned long pixel, unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
      mask >>= 1;
      ++shift;
    }
    const unsigned long value = (pixel >> shift) & mask;
    return static_cast<unsigned char>(mask == 0 ? 0 : value * 255 / mask);
  };
  std::FILE* out = std::fopen(file, "wb");
  if (out == nullptr) return 1;
  std::fprintf(out, "P6\n%d %d\n255\n", w, h);
  std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      row[static_cast<std::size_t>(x) * 3] = channel(p, v->red_mask);
      row[static_cast<std::size_t>(x) * 3 + 1] = channel(p, v->green_mask);
      row[static_cast<std::size_t>(x) * 3 + 2] = channel(p, v->blue_mask);
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  std::fclose(out);
  XDestroyImage(image);
  return 0;
}

int CursorHidden(Display* d) {
  XFixesCursorImage* c = XFixesGetCursorImage(d);
  if (c == nullptr) return 2;
  bool visible = false;
  for (int i = 0; i < c->width * c->height; ++i)
    if ((c->pixels[i] >> 24) != 0) visible = true;
  XFree(c);
  return visible ? 1 : 0;
}

int Name(Display* d, Window w) {
  char* name = nullptr;
  if (XFetchName(d, w, &name) == 0 || name == nullptr) return 1;
  std::printf("%s\n", name);
  XFree(name);
  return 0;
}

// A binary PPM as written by Shot: width, height and RGB bytes.
bool ReadPpm(const char* file, int& w, int& h, std::vector<unsigned char>& rgb) {
  std::FILE* in = std::fopen(file, "rb");
  if (in == nullptr) return false;
  int max = 0;
  const bool ok = std::fscanf(in, "P6 %d %d %d", &w, &h, &max) == 3 && max == 255 && std::fgetc(in) == '\n';
  rgb.resize(ok ? static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3 : 0);
  const bool read = ok && std::fread(rgb.data(), 1, rgb.size(), in) == rgb.size();
  std::fclose(in);
  return read;
}

bool ReadPng(const char* file, int& w, int& h, std::vector<unsigned char>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, file) == 0) return false;
  image.format = PNG_FORMAT_RGB;
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  rgb.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

int Same(const char* shot, const char* frame) {
  int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
  std::vector<unsigned char> a, b;
  if (!ReadPpm(shot, w1, h1, a) || !ReadPng(frame, w2, h2, b)) return 2;
  return w1 == w2 && h1 == h2 && a == b ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: qf_xtool host|children|attrs|close|shot|cursor-hidden|name ...\n");
    return 2;
  }
  if (std::string(argv[1]) == "same" && argc == 4) return Same(argv[2], argv[3]);
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) {
    std::fprintf(stderr, "qf_xtool: no display\n");
    return 2;
  }
  XSetErrorHandler(Ignore);
  const std::string command = argv[1];
  int result = 2;
  if (command == "host" && argc >= 4)
    result = Host(d, std::atoi(argv[2]), std::atoi(argv[3]), argc >= 5 ? std::atoi(argv[4]) : 0);
  else if (command == "children" && argc == 3)
    result = Children(d, ParseWindow(argv[2]));
  else if (command == "attrs" && argc == 3)
    result = Attrs(d, ParseWindow(argv[2]));
  else if (command == "close" && argc == 3)
    result = Close(d, ParseWindow(argv[2]));
  else if (command == "shot" && argc == 3)
    result = Shot(d, argv[2]);
  else if (command == "cursor-hidden")
    result = CursorHidden(d);
  else if (command == "name" && argc == 3)
    result = Name(d, ParseWindow(argv[2]));
  XCloseDisplay(d);
  return result;
}
