// The menu's colours: the elements MENU COLOR names, and how the loader's text menu turns a
// MENU COLOR line's ANSI part into the PC text attribute it draws with.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace menu {

// The elements of MENU COLOR, in the order the table of names below gives them; the 256
// msgXX elements (the colours of an F-key file's codes) follow.
enum Element : int {
  ScreenColor,
  BorderColor,
  TitleColor,
  UnselColor,
  HotkeyColor,
  SelColor,
  HotselColor,
  DisabledColor,
  ScrollbarColor,
  TabmsgColor,
  CmdmarkColor,
  CmdlineColor,
  PwdborderColor,
  PwdheaderColor,
  PwdentryColor,
  TimeoutMsgColor,
  TimeoutColor,
  HelpColor,
  FirstMsgColor,  // msg00; msgXX is FirstMsgColor + 0xXX
  ElementCount = FirstMsgColor + 256,
};

// One element's colour as the configuration sets it.
struct Color {
  // The text attribute; none when the ANSI part is no ANSI sequence (the loader then draws
  // the element in whatever attribute it drew just before).
  std::optional<uint8_t> Attr;
  std::string Ansi;         // the ANSI part as written
  uint32_t Foreground = 0;  // #AARRGGBB, for the graphical menu
  uint32_t Background = 0;
  std::string Shadow;  // none, std, all, rev (as written)
};

using ColorTable = std::array<Color, ElementCount>;

// The element a MENU COLOR line names (any letter case); -1 for none.
int ElementNamed(std::string_view name);

// The attribute of an ANSI part ("1;36;44"); none when it is no ANSI sequence.
std::optional<uint8_t> AnsiAttribute(std::string_view ansi);

// A colour in #AARRGGBB (or #RRGGBB, opaque) form; none when it is not one.
std::optional<uint32_t> ArgbColor(std::string_view text);

// Sets the graphical colours of the 256 msgXX elements as MENU MSGCOLOR derives them from
// its two filters and shadow: the attribute's nibble as full-strength red, green and blue
// bits times the filter's colour, with the filter's alpha (halfway to opaque for the bright
// nibbles 8-F); a background nibble 0 is transparent. A field that is no colour changes
// nothing.
void SetMessageColors(ColorTable& table, std::string_view foreground, std::string_view background,
                      std::string_view shadow);

// The colours of a menu before any MENU COLOR line: the loader's defaults.
ColorTable DefaultColors();

// Applies the fields of a MENU COLOR line after its element: ANSI, foreground, background,
// shadow; a field that is "*" or missing leaves its part as it was.
void SetColor(Color& color, std::string_view ansi, std::string_view foreground,
              std::string_view background, std::string_view shadow);

}  // namespace menu
