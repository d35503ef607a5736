#include "ScreenFiles.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace vestalo::bench {

namespace {

constexpr char ColourCode = 0x0F;
// One column short of the screen, as boot screens are made: a full row would wrap on its own
// and the line break after it would leave an empty row.
constexpr int Columns = 79;

// Box drawing and shading in code page 437.
constexpr unsigned char TopLeft = 0xC9, TopRight = 0xBB, BottomLeft = 0xC8, BottomRight = 0xBC;
constexpr unsigned char Across = 0xCD, Down = 0xBA;
constexpr unsigned char FirstGraphic = 0xB0, LastGraphic = 0xDF;

std::string Colours(int background, int foreground) {
  static const char Hex[] = "0123456789abcdef";
  return {ColourCode, Hex[background & 15], Hex[foreground & 15]};
}

// A small fixed generator: the same screens everywhere, unlike std::rand.
struct Lcg {
  uint32_t State = 20240601;
  uint32_t Next() {
    State = State * 1664525u + 1013904223u;
    return State >> 8;
  }
};

std::string Centred(std::string_view text, int width) {
  const int left = (width - static_cast<int>(text.size())) / 2;
  std::string line(static_cast<size_t>(left), ' ');
  line += text;
  line.resize(static_cast<size_t>(width), ' ');
  return line;
}

std::string BoxLine(unsigned char left, unsigned char fill, unsigned char right) {
  std::string line(1, static_cast<char>(left));
  line.append(Columns - 2, static_cast<char>(fill));
  line += static_cast<char>(right);
  return line;
}

}  // namespace

std::string SplashScreen() {
  static const char* const Lines[] = {
      "",
      "Welcome to the Example Linux installer",
      "",
      "Press ENTER to start the installation,",
      "or type a boot label below and press ENTER.",
      "",
      "  install     Install in text mode",
      "  expert      Install with every question asked",
      "  rescue      Start a rescue system",
      "  memtest     Test the memory of this computer",
      "",
      "Press F1 for help, F2 for boot options, F3 for hardware notes.",
      "",
      "This medium was built for x86 computers with at least 512 MB of memory.",
      "",
      "",
      "",
      "",
      "",
      "",
      ""};
  std::string text = Colours(1, 15) + BoxLine(TopLeft, Across, TopRight) + "\r\n";
  int row = 0;
  for (const char* line : Lines) {
    const int foreground = row == 1 ? 14 : row % 4 == 3 ? 11 : 15;
    text += Colours(1, 15) + static_cast<char>(Down);
    text += Colours(1, foreground) + Centred(line, Columns - 2);
    text += Colours(1, 15) + static_cast<char>(Down) + "\r\n";
    ++row;
  }
  text += BoxLine(BottomLeft, Across, BottomRight) + "\r\n";
  text += Colours(0, 7) + std::string(EndMark);
  return text;
}

std::string DenseScreen(std::size_t size) {
  Lcg random;
  std::string text;
  text.reserve(size + Columns * 4);
  // The end mark on a row of its own, so that no wrap at the screen's edge splits it.
  const std::string end = "\r\n" + Colours(0, 7) + std::string(EndMark);
  while (text.size() + end.size() < size) {
    int column = 0;
    while (column < Columns) {
      text += Colours(static_cast<int>(random.Next() % 8), static_cast<int>(random.Next() % 16));
      const int run = 2 + static_cast<int>(random.Next() % 7);
      for (int i = 0; i < run && column < Columns; ++i, ++column) {
        const uint32_t pick = random.Next() % 4;
        if (pick == 0) text += static_cast<char>('A' + random.Next() % 26);
        else
          text +=
              static_cast<char>(FirstGraphic + random.Next() % (LastGraphic - FirstGraphic + 1));
      }
    }
    text += "\r\n";
  }
  // Cut to size, so that the end mark closes the screen at exactly `size`.
  text.resize(size - end.size());
  if (text.find(ColourCode, text.size() > 2 ? text.size() - 2 : 0) != std::string::npos)
    text.replace(text.size() - 2, 2, "  ");  // never a colour code cut in half
  return text + end;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace vestalo::bench
