#include "tools/ScreenCheck.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "UTypes/DisplayCodes.h"
#include "base/TextEnd.h"
#include "base/Utf8.h"
#include "screen/Cp437.h"
#include "screen/Layout.h"

namespace vestalo::tools {

namespace {

constexpr size_t Nowhere = std::string_view::npos;

// What the boot loader makes of the control bytes of a display file that it does not obey
// as the renderer's codes; empty where the byte is fine.
constexpr std::array<const char*, 33> ControlEffects = [] {
  std::array<const char*, 33> effects{};
  for (int b : {0x00, 0x06, 0x1C, 0x1D, 0x1E, 0x1F})
    effects[b] = "draws nothing on the boot screen";
  for (int b : {0x01, 0x02, 0x03, 0x04, 0x05, 0x1B})
    effects[b] = "shows as \"[0m\" on the boot screen";
  effects[0x07] = "(BEL) draws nothing on the boot screen";
  effects[0x0B] = "moves to the next row on the boot screen, as a line feed does";
  effects[0x0E] =
      "turns the boot loader's later letters into line-drawing glyphs until the next boot";
  effects[32] = "draws nothing on the boot screen";  // 0x7F
  return effects;
}();

const char* ControlEffect(unsigned char byte) {
  if (byte == 0x7F) return ControlEffects[32];
  return byte < 32 ? ControlEffects[byte] : nullptr;
}

// How the boot loader lays out a control byte it does not obey: nothing, three characters,
// or a line feed.
std::string_view LoaderLayout(unsigned char byte) {
  switch (byte) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x1B: return "[0m";
    case 0x0B: return "\n";
    case 0x07: return "\a";
    default: return {};
  }
}

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

// The length of the UTF-8 character of two or more bytes at the start of `text`, or 0.
size_t Utf8Length(std::string_view text) {
  const Utf8Char decoded = DecodeUtf8(text);
  return decoded.Result == Utf8Char::Character && decoded.Length >= 2 ? decoded.Length : 0;
}

}  // namespace

bool IsUtf8Text(std::string_view text) {
  bool any = false;
  for (size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const size_t length = Utf8Length(text.substr(at));
    if (length == 0) return false;
    at += length;
    any = true;
  }
  return any;
}

std::string ShownAsCp437(std::string_view bytes) {
  std::string shown;
  for (char c : bytes) shown += EncodeUtf8(screen::Cp437CodePoint(static_cast<unsigned char>(c)));
  return shown;
}

namespace {

// How a byte that ends a colour code reads in a finding.
std::string Described(unsigned char byte) {
  // Built in place: GCC 12 warns of overlaps (-Wrestrict) in "literal" + a temporary string.
  std::string described = byte > ' ' && byte < 0x7F ? "\"" : "byte 0x";
  if (byte > ' ' && byte < 0x7F) described.append(1, static_cast<char>(byte)).append("\"");
  else described += Hex(byte);
  return described;
}

// Walks a screen file once as the boot loader draws it, keeping the places that findings need.
class ScreenWalk : public UTypes::DisplayCodeReader {
 public:
  ScreenWalk(const std::string& file, std::string_view bytes, ScreenRole role)
      : File(file), Bytes(bytes), Role(role) {
    for (size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == '\n') LineStarts.push_back(i + 1);
  }

  std::vector<Finding> Run();

  // The cursor's moves, as screen::Cursor reports them.
  void Cell(int, int, bool);
  void NextRow(bool scrolled);
  void Back() {}
  void Bell() {}

  // The pieces of the text, as the boot loader reads them.
  void Text(size_t at, std::string_view bytes) override;
  void Colour(const UTypes::ColourCode& code) override;
  void Clear(size_t at) override;
  void Mode(size_t, bool shows) override { Showing = shows; }

 private:
  void Report(size_t at, std::string message, bool error = false);
  void Draw(size_t at, std::string_view layout);
  void EndLine(size_t at, bool lineBreak);
  size_t LineStartOf(size_t at) const;
  size_t Utf8Text(size_t at, std::string_view bytes);
  void Finish(size_t end);

  const std::string& File;
  std::string_view Bytes;
  ScreenRole Role;
  bool Utf8 = false;    // the text was saved as UTF-8
  bool Showing = true;  // the text shows on the text screen (the mode codes)
  std::vector<size_t> LineStarts{0};
  std::vector<Finding> Found;
  screen::Cursor Cursor;
  size_t Current = 0;    // the byte being laid out
  bool Cleared = false;  // a ^L came before anything was drawn
  bool Drawn = false;
  bool BreakingLine = false;  // the next row comes from a line feed, not from a wrap
  int Wraps = 0;              // in the current line
  bool WrapPending = false;   // the line wrapped and nothing was drawn since
  size_t FirstWrapped = Nowhere;
  int Scrolls = 0;  // since the last clear
  size_t FirstScroll = Nowhere;
  int Utf8Count = 0;  // in the current line
  size_t FirstUtf8 = Nowhere, FirstUtf8Length = 0;
};

size_t ScreenWalk::LineStartOf(size_t at) const {
  return *(std::upper_bound(LineStarts.begin(), LineStarts.end(), at) - 1);
}

void ScreenWalk::Report(size_t at, std::string message, bool error) {
  const auto line = std::upper_bound(LineStarts.begin(), LineStarts.end(), at) - LineStarts.begin();
  Found.push_back({File, static_cast<int>(line), static_cast<int>(at - LineStartOf(at) + 1), error,
                   std::move(message)});
}

void ScreenWalk::Cell(int, int, bool) {
  if (!Drawn && !Cleared && Role == ScreenRole::Help)
    Report(Current,
           "help text starts before any ^L: the boot loader draws it below its prompt, on what the "
           "screen shows");
  Drawn = true;
  if (WrapPending && FirstWrapped == Nowhere) FirstWrapped = Current;
  WrapPending = false;
}

void ScreenWalk::NextRow(bool scrolled) {
  if (!BreakingLine) {
    ++Wraps;
    WrapPending = true;
  }
  if (!scrolled) return;
  if (Scrolls++ == 0) FirstScroll = Current;
}

void ScreenWalk::Draw(size_t at, std::string_view layout) {
  Current = at;
  for (char c : layout) {
    BreakingLine = c == '\n';
    if (BreakingLine) EndLine(at, true);
    Cursor.Put(static_cast<unsigned char>(c), *this);
  }
  BreakingLine = false;
}

// The checks of a line, at its line break or at the end of the text.
void ScreenWalk::EndLine(size_t at, bool lineBreak) {
  if (FirstWrapped != Nowhere)
    Report(FirstWrapped, "line is " + std::to_string(Wraps * screen::Columns + Cursor.Column()) +
                             " columns wide; the boot screen wraps it");
  // The line break starts at its carriage return, where an editor shows the line's end.
  if (WrapPending && lineBreak)
    Report(at > 0 && Bytes[at - 1] == '\r' && Bytes[at] == '\n' ? at - 1 : at,
           "line fills all 80 columns, so its line break leaves an empty row on the boot screen");
  if (Utf8Count > 0) {
    const std::string_view bytes = Bytes.substr(FirstUtf8, FirstUtf8Length);
    std::string hex;
    for (char c : bytes) {
      if (!hex.empty()) hex += ' ';
      hex += Hex(static_cast<unsigned char>(c));
    }
    std::string message = "bytes " + hex + " look like UTF-8 for \"" + std::string(bytes) +
                          "\"; the boot screen shows code page 437: \"" + ShownAsCp437(bytes) +
                          "\"";
    if (Utf8Count > 1)
      message += " (" + std::to_string(Utf8Count) + " such characters in this line)";
    Report(FirstUtf8, message);
  }
  Wraps = 0;
  WrapPending = false;
  FirstWrapped = Nowhere;
  Utf8Count = 0;
}

// A colour code as the boot loader reads it: up to two hex digits in either case; the first
// other character ends the code and is dropped with it.
void ScreenWalk::Colour(const UTypes::ColourCode& code) {
  for (int i = 0; i < 2; ++i) {
    if (i >= code.Present) {
      Report(code.At, "colour code is cut short by the end of the text; the boot screen drops it");
      return;
    }
    if (code.Digits[i] == UTypes::NoDigit) {
      Report(code.At, "colour code has " +
                          Described(static_cast<unsigned char>(Bytes[code.DigitAt[i]])) +
                          ", which is no hex digit; the boot screen drops the code with it and "
                          "keeps its colours");
      return;
    }
  }
}

void ScreenWalk::Clear(size_t) {
  Cursor.Home();
  Cleared = Cleared || !Drawn;
  Scrolls = 0;
  WrapPending = false;
}

void ScreenWalk::Text(size_t at, std::string_view bytes) {
  if (!Showing) return;
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (const char* effect = ControlEffect(c)) {
      Report(at + i, "control byte 0x" + Hex(c) + " " + effect);
      Draw(at + i, LoaderLayout(c));
      ++i;
    } else if (const size_t length = c >= 0x80 && Utf8 ? Utf8Text(at + i, bytes.substr(i)) : 0) {
      i += length;
    } else {
      Draw(at + i, bytes.substr(i, 1));
      ++i;
    }
  }
}

size_t ScreenWalk::Utf8Text(size_t at, std::string_view bytes) {
  const size_t length = Utf8Length(bytes);
  if (length == 0) return 0;
  if (Utf8Count++ == 0) {
    FirstUtf8 = at;
    FirstUtf8Length = length;
  }
  for (size_t i = 0; i < length; ++i) Draw(at + i, Bytes.substr(at + i, 1));
  return length;
}

std::vector<Finding> ScreenWalk::Run() {
  const size_t end = ScreenTextEnd(Bytes);
  Utf8 = IsUtf8Text(Bytes.substr(0, end));
  UTypes::ScanDisplayText(Bytes.substr(0, end), UTypes::ColourRule::LoaderStops, *this);
  Finish(end);
  std::stable_sort(Found.begin(), Found.end(), [](const Finding& a, const Finding& b) {
    return a.Line != b.Line ? a.Line < b.Line : a.Column < b.Column;
  });
  return Found;
}

void ScreenWalk::Finish(size_t end) {
  Current = end;
  EndLine(end, false);
  if (Role == ScreenRole::Help && Cursor.Column() != 0)
    Report(LineStartOf(end - 1),
           "last line has no line break: the boot loader's prompt takes its row");
  // The boot loader writes its prompt where the splash ends.
  if (Role == ScreenRole::Splash) Draw(end, "boot: ");
  if (Scrolls > 0) {
    const std::string lost = Scrolls == 1 ? "its top row scrolls"
                                          : "its top " + std::to_string(Scrolls) + " rows scroll";
    const char* prompt = Role == ScreenRole::Screen ? "" : " with the boot loader's prompt";
    Report(FirstScroll, "text needs " + std::to_string(screen::Rows + Scrolls) + " rows" + prompt +
                            "; " + lost + " off the screen");
  }
  if (Bytes.find_first_not_of(std::string_view("\x1a\r\n \t", 5), end) != Nowhere) {
    const auto stop = static_cast<unsigned char>(Bytes[end]);
    Report(end, std::string(stop == 0x1A ? "^Z" : "byte 0xFF") +
                    " ends the text here; the boot screen shows nothing after it");
  }
}

}  // namespace

std::vector<Finding> CheckScreenText(const std::string& file, std::string_view bytes,
                                     ScreenRole role) {
  return ScreenWalk(file, bytes, role).Run();
}

}  // namespace vestalo::tools
