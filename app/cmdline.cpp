#include "app/cmdline.h"

namespace quillfen {

std::uint32_t ParseWindowHandle(std::string_view text) noexcept {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < n && (byte(i) == 0x20 || (byte(i) >= 0x09 && byte(i) <= 0x0D))) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    ++i;
  }
  return negative ? 0u - value : value;
}

namespace {

TStartRequest Classify(std::size_t n, std::string_view first, std::string_view second) noexcept {
  TStartRequest r;
  r.Mode = rmConfig;
  if (n < 2) return r;
  if (first.empty() || (first[0] != '-' && first[0] != '/')) return r;
  const char letter = first.size() >= 2 ? first[1] : '\0';
  switch (letter) {
    case 's':
    case 'S':
      r.Mode = rmSaver;
      return r;
    case 'c':
    case 'C':
      r.Mode = rmConfig;
      return r;
    case 'a':
    case 'A':
      r.Mode = rmChangePassword;
      if (n == 3) {
        r.HasWindow = true;
        r.Window = ParseWindowHandle(second);
      }
      return r;
    case 'p':
    case 'P':
      if (n == 3) {
        r.Mode = rmPreview;
        r.HasWindow = true;
        r.Window = ParseWindowHandle(second);
      } else {
        r.ExitCode = -1;
      }
      return r;
    default:
      r.ExitCode = -1;
      return r;
  }
}

}  // namespace

TStartRequest ClassifyCommandLine(std::span<const std::string_view> args) noexcept {
  const std::size_t n = args.size();
  return Classify(n, n > 1 ? args[1] : std::string_view{}, n > 2 ? args[2] : std::string_view{});
}

TStartRequest ClassifyCommandLine(int argc, const char* const* argv) noexcept {
  const std::size_t n = argc > 0 ? static_cast<std::size_t>(argc) : 0;
  auto at = [&](std::size_t k) {
    return (k < n && argv[k] != nullptr) ? std::string_view(argv[k]) : std::string_view{};
  };
  return Classify(n, at(1), at(2));
}

std::vector<std::string> SplitCommandLine(std::string_view line, std::string_view modulePath,
                                          LeadBytePredicate isLeadByte) {
  std::vector<std::string> out;
  out.emplace_back(modulePath.substr(0, 255));

  const std::size_t n = line.size();
  std::size_t i = 0;
  auto blank = [&](std::size_t k) { return line[k] == ' ' || line[k] == '\t'; };
  auto lead = [&](std::size_t k) {
    return isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(line[k]));
  };

  // The program name as invoked: a quoted stretch, or up to the next blank.
  while (i < n && blank(i)) ++i;
  if (i < n && line[i] == '"') {
    ++i;
    while (i < n && line[i] != '"') i += (lead(i) && i + 1 < n) ? 2 : 1;
    if (i < n) ++i;  // the closing quote
  } else {
    while (i < n && !blank(i)) i += (lead(i) && i + 1 < n) ? 2 : 1;
  }

  for (;;) {
    while (i < n && blank(i)) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      const char c = line[i];
      if (!quoted && blank(i)) break;
      if (lead(i)) {
        arg.push_back(c);
        if (i + 1 < n) arg.push_back(line[i + 1]);
        i += 2;
      } else if (c == '\\' && i + 1 < n && line[i + 1] == '"') {
        arg.push_back('"');
        i += 2;
      } else if (c == '"') {
        quoted = !quoted;
        ++i;
      } else {
        arg.push_back(c);
        ++i;
      }
    }
    out.push_back(std::move(arg));
  }
  return out;
}

}  // namespace quillfen
