#include "menu/Colors.h"

#include <cstddef>

namespace menu {

namespace {

// clang-format off
constexpr std::array<const char*, FirstMsgColor> Names{{
    "screen", "border", "title", "unsel", "hotkey", "sel", "hotsel", "disabled", "scrollbar",
    "tabmsg", "cmdmark", "cmdline", "pwdborder", "pwdheader", "pwdentry", "timeout_msg",
    "timeout", "help"}};

// The loader's own defaults, as MENU COLOR lines would write them (menu.txt's table).
struct DefaultLine { const char* Ansi; uint32_t Fg, Bg; const char* Shadow; };
constexpr std::array<DefaultLine, FirstMsgColor> Defaults{{
    {"37;40", 0x80ffffff, 0x00000000, "std"},    {"30;44", 0x40000000, 0x00000000, "std"},
    {"1;36;44", 0xc00090f0, 0x00000000, "std"},  {"37;44", 0x90ffffff, 0x00000000, "std"},
    {"1;37;44", 0xffffffff, 0x00000000, "std"},  {"7;37;40", 0xe0000000, 0x20ff8000, "all"},
    {"1;7;37;40", 0xe0400000, 0x20ff8000, "all"}, {"1;30;44", 0x60cccccc, 0x00000000, "std"},
    {"30;44", 0x40000000, 0x00000000, "std"},    {"31;40", 0x90ffff00, 0x00000000, "std"},
    {"1;36;40", 0xc000ffff, 0x00000000, "std"},  {"37;40", 0xc0ffffff, 0x00000000, "std"},
    {"30;47", 0x80ffffff, 0x20ffffff, "std"},    {"31;47", 0x80ff8080, 0x20ffffff, "std"},
    {"30;47", 0x80ffffff, 0x20ffffff, "std"},    {"37;40", 0x80ffffff, 0x00000000, "std"},
    {"1;37;40", 0xc0ffffff, 0x00000000, "std"},  {"37;40", 0xc0ffffff, 0x00000000, "std"}}};
// clang-format on

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

int HexValue(char c) {
  c = Lower(c);
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// ANSI colour numbers name red as bit 0 and blue as bit 2; the PC has them the other way.
constexpr uint8_t PcColor(int ansi) {
  return static_cast<uint8_t>(((ansi & 1) << 2) | (ansi & 2) | ((ansi & 4) >> 2));
}

// What the numbers set, composed into an attribute only at the end.
struct Rendition {
  uint8_t Fg = 7, Bg = 0;
  bool Bold = false, Blink = false, Reverse = false, Underline = false, Dim = false;

  void Apply(int n) {
    switch (n) {
      case 0: *this = Rendition{}; break;
      case 1: Bold = true; break;
      case 2: Dim = true; break;
      case 4: Underline = true; break;
      case 5: Blink = true; break;
      case 7: Reverse = true; break;
      case 22: Bold = false; break;
      case 24: Underline = false; break;
      case 25: Blink = false; break;
      case 27: Reverse = false; break;
      case 38:
        Underline = true;
        Fg = 7;
        break;
      case 39:
        Underline = false;
        Fg = 7;
        break;
      // The loader's "default background" is white, as its screen showed.
      case 49: Bg = 7; break;
      default:
        if (n >= 30 && n <= 37) Fg = PcColor(n - 30);
        else if (n >= 40 && n <= 47) Bg = PcColor(n - 40);
    }
  }

  uint8_t Attribute() const {
    uint8_t fg = Underline ? 1 : Fg;
    if (Dim) fg = 8;
    uint8_t bg = Bg;
    if (Reverse) {
      const uint8_t swapped = fg & 7;
      fg = static_cast<uint8_t>((fg & 8) | bg);
      bg = swapped;
    }
    if (Bold) fg |= 8;
    return static_cast<uint8_t>((Blink ? 0x80 : 0) | (bg << 4) | fg);
  }
};

}  // namespace

int ElementNamed(std::string_view name) {
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (SameIgnoringCase(name, Names[i])) return static_cast<int>(i);
  if (name.size() == 5 && SameIgnoringCase(name.substr(0, 3), "msg")) {
    const int high = HexValue(name[3]), low = HexValue(name[4]);
    if (high >= 0 && low >= 0) return FirstMsgColor + high * 16 + low;
  }
  return -1;
}

std::optional<uint8_t> AnsiAttribute(std::string_view ansi) {
  Rendition rendition;
  int number = 0;
  for (std::size_t i = 0; i <= ansi.size(); ++i) {
    if (i == ansi.size() || ansi[i] == ';') {
      rendition.Apply(number);  // an empty number is 0
      number = 0;
    } else if (ansi[i] >= '0' && ansi[i] <= '9') {
      number = number > 1000 ? number : number * 10 + (ansi[i] - '0');
    } else {
      return std::nullopt;
    }
  }
  return rendition.Attribute();
}

std::optional<uint32_t> ArgbColor(std::string_view text) {
  if (text.empty() || text[0] != '#' || (text.size() != 9 && text.size() != 7)) return std::nullopt;
  uint32_t value = 0;
  for (char c : text.substr(1)) {
    const int digit = HexValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return text.size() == 7 ? value | 0xff000000u : value;
}

void SetMessageColors(ColorTable& table, std::string_view foreground, std::string_view background,
                      std::string_view shadow) {
  const auto fg = ArgbColor(foreground), bg = ArgbColor(background);
  if (!fg || !bg) return;
  // The colour of a nibble through a filter: its bits 2, 1, 0 light red, green, blue.
  auto through = [](int nibble, uint32_t filter, bool transparentZero) -> uint32_t {
    uint32_t alpha = filter >> 24;
    if (nibble >= 8) alpha = (alpha + 256) / 2;
    if (nibble == 0 && transparentZero) alpha = 0;
    uint32_t rgb = 0;
    for (int bit = 2; bit >= 0; --bit) {
      const uint32_t channel = (filter >> (8 * bit)) & 0xff;
      rgb |= ((nibble >> bit) & 1 ? 255 * channel / 255 : 0) << (8 * bit);
    }
    return alpha << 24 | rgb;
  };
  for (int code = 0; code < 256; ++code) {
    Color& color = table[static_cast<std::size_t>(FirstMsgColor + code)];
    color.Foreground = through(code & 15, *fg, false);
    color.Background = through(code >> 4, *bg, true);
    if (!shadow.empty() && shadow != "*") color.Shadow = std::string(shadow);
  }
}

ColorTable DefaultColors() {
  ColorTable table;
  for (std::size_t i = 0; i < Defaults.size(); ++i) {
    const DefaultLine& line = Defaults[i];
    table[i] = {AnsiAttribute(line.Ansi), line.Ansi, line.Fg, line.Bg, line.Shadow};
  }
  // An F-key file's code XX shows as XX without its blink bit.
  for (int code = 0; code < 256; ++code)
    table[static_cast<std::size_t>(FirstMsgColor + code)] = {static_cast<uint8_t>(code & 0x7f), "",
                                                             0, 0, "std"};
  SetMessageColors(table, "#90ffffff", "#80ffffff", "std");
  return table;
}

void SetColor(Color& color, std::string_view ansi, std::string_view foreground,
              std::string_view background, std::string_view shadow) {
  if (!ansi.empty() && ansi != "*") {
    color.Ansi = std::string(ansi);
    color.Attr = AnsiAttribute(ansi);
  }
  if (const auto fg = ArgbColor(foreground)) color.Foreground = *fg;
  if (const auto bg = ArgbColor(background)) color.Background = *bg;
  if (!shadow.empty() && shadow != "*") color.Shadow = std::string(shadow);
}

}  // namespace menu
