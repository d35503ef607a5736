// Snapshots of the fidelity suite's screens against what the boot loader drew from the same
// files (tests/fidelity/golden): the text and the colours cell by cell, and the picture pixel
// by pixel against QEMU's own.
#include <iconv.h>
#include <png.h>

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iostream>
#include <sstream>

#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

const std::string Suite = VESTALO_SOURCE_DIR "/tests/fidelity";
constexpr int Rows = 25, Columns = 80;

// What the PC shows for the control bytes, which iconv's CP437 leaves as control characters.
constexpr char32_t ControlGlyphs[32] = {
    U' ',      U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
    U'\u25D8', U'\u25CB', U'\u25D9', U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC'};

char32_t Cp437(unsigned char byte) {
  if (byte < 32) return ControlGlyphs[byte];
  if (byte == 0x7F) return U'\u2302';
  iconv_t convert = iconv_open("UTF-32LE", "CP437");
  char in = static_cast<char>(byte);
  char32_t out = 0;
  char *from = &in, *to = reinterpret_cast<char*>(&out);
  size_t inLeft = 1, outLeft = sizeof out;
  iconv(convert, &from, &inLeft, &to, &outLeft);
  iconv_close(convert);
  return out;
}

std::u32string Decoded(const std::string& utf8) {
  std::u32string text;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    text += c;
    i += length;
  }
  return text;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The cells of a snapshot: characters from NAME.txt, attributes from the colours of NAME.ans.
struct Cells {
  std::array<std::u32string, Rows> Text;
  std::array<std::array<int, Columns>, Rows> Attr{};
};

Cells ReadSnapshot(const std::string& base) {
  Cells cells;
  std::istringstream text(Slurp(base + ".txt"));
  std::string line;
  for (int row = 0; row < Rows && std::getline(text, line); ++row) {
    cells.Text[static_cast<size_t>(row)] = Decoded(line);
    cells.Text[static_cast<size_t>(row)].resize(Columns, U' ');
  }
  // ECMA-48 colour numbers to the PC's: red and blue swap places.
  constexpr int Pc[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  const std::u32string ansi = Decoded(Slurp(base + ".ans"));
  int row = 0, column = 0, fg = 7, bg = 0;
  for (size_t i = 0; i < ansi.size(); ++i) {
    if (ansi[i] == U'\x1b') {
      const size_t end = ansi.find(U'm', i);
      std::istringstream params(std::string(ansi.begin() + static_cast<long>(i) + 2, ansi.begin() + static_cast<long>(end)));
      for (std::string p; std::getline(params, p, ';');) {
        const int n = std::stoi(p);
        if (n >= 30 && n <= 37) fg = Pc[n - 30];
        if (n >= 90 && n <= 97) fg = Pc[n - 90] + 8;
        if (n >= 40 && n <= 47) bg = Pc[n - 40];
        if (n >= 100 && n <= 107) bg = Pc[n - 100] + 8;
      }
      i = end;
    } else if (ansi[i] == U'\n') {
      ++row;
      column = 0;
    } else if (row < Rows && column < Columns) {
      cells.Attr[static_cast<size_t>(row)][static_cast<size_t>(column++)] = bg << 4 | fg;
    }
  }
  return cells;
}

std::vector<png_byte> ReadRgb(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
  if (image.width != 720 || image.height != 400 || !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
    return {};
  return pixels;
}

// Cells the preview shows otherwise by design (as in FidelityPty_test): control bytes that
// the boot loader draws as nothing or as "[0m", shown here as their glyphs.
struct Masked {
  int Row, Column, Count;
};

struct SnapshotCase {
  const char* Golden;
  const char* Folder;  // in tests/fidelity
  const char* Screen;  // the screen file, whose name the snapshot takes
  std::vector<Masked> Masks;
};

void PrintTo(const SnapshotCase& c, std::ostream* out) { *out << c.Golden; }

int PromptRow(const std::string& golden) {
  std::ifstream cursors(Suite + "/golden/cursors.txt");
  std::string name;
  int row = -1, column = -1;
  while (cursors >> name >> row >> column)
    if (name == golden) return row;
  return -1;
}

// Where QEMU's VGA BIOS font differs from IBM's VGA font, which the snapshots use: its "0"
// has a bar, not a dot, its "-" is a pixel wider, its "@" a row higher, its "⌠" shorter.
bool QemuDrawsOtherwise(unsigned char byte) { return byte == '0' || byte == '-' || byte == '@' || byte == 0xF4; }

class Snapshots : public ::testing::TestWithParam<SnapshotCase> {};

TEST_P(Snapshots, ShowTheBootLoadersScreen) {
  const SnapshotCase& c = GetParam();
  TempFolder out;
  const std::string folder = Suite + "/" + c.Folder;
  const bool medium = std::string(c.Folder) == "medium";
  const auto run = RunWithPipes(medium ? std::vector<std::string>{"--snapshot", out.Path()}
                                       : std::vector<std::string>{"--snapshot", out.Path(), c.Screen},
                                folder);
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string stem = std::string(c.Screen).substr(0, std::string(c.Screen).rfind('.'));
  const Cells cells = ReadSnapshot(out.Path() + "/" + stem);
  const std::string golden = Slurp(Suite + "/golden/" + c.Golden + ".bin");
  const int promptRow = PromptRow(c.Golden);
  ASSERT_EQ(golden.size(), static_cast<size_t>(Rows * Columns * 2));
  ASSERT_GE(promptRow, 0);
  auto masked = [&](int row, int column) {
    for (const auto& m : c.Masks)
      if (m.Row == row && column >= m.Column && column < m.Column + m.Count) return true;
    return row == promptRow;  // the loader's `boot: ` prompt, which the preview does not draw
  };
  const auto ours = ReadRgb(out.Path() + "/" + stem + ".png"), theirs = ReadRgb(Suite + "/golden/" + c.Golden + ".png");
  ASSERT_FALSE(ours.empty());
  ASSERT_FALSE(theirs.empty());
  int differentCells = 0;
  long compared = 0, matching = 0;
  for (int row = 0; row < Rows; ++row) {
    for (int column = 0; column < Columns; ++column) {
      if (masked(row, column)) continue;
      const auto byte = static_cast<unsigned char>(golden[static_cast<size_t>((row * Columns + column) * 2)]);
      const int attr = static_cast<unsigned char>(golden[static_cast<size_t>((row * Columns + column) * 2 + 1)]);
      const bool same = cells.Text[static_cast<size_t>(row)][static_cast<size_t>(column)] == Cp437(byte) &&
                        cells.Attr[static_cast<size_t>(row)][static_cast<size_t>(column)] == attr;
      differentCells += !same;
      EXPECT_TRUE(same) << "row " << row << " column " << column << ": boot screen byte " << int(byte) << " attr " << attr;
      int differentPixels = 0;
      for (int y = row * 16; y < row * 16 + 16; ++y)
        for (int x = column * 9; x < column * 9 + 9; ++x) {
          const size_t at = static_cast<size_t>((y * 720 + x) * 3);
          differentPixels += !std::equal(&ours[at], &ours[at] + 3, &theirs[at]);
        }
      compared += 144;
      matching += 144 - differentPixels;
      EXPECT_TRUE(differentPixels == 0 || QemuDrawsOtherwise(byte))
          << "row " << row << " column " << column << ": " << differentPixels << " pixels differ";
    }
  }
  std::cout << c.Golden << ": " << matching << " of " << compared << " pixels match\n";
  EXPECT_EQ(differentCells, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Goldens, Snapshots,
    ::testing::Values(
        SnapshotCase{"01-colours", "cases", "01-colours.txt", {}},
        SnapshotCase{"02-bright-backgrounds", "cases", "02-bright-backgrounds.txt", {}},
        SnapshotCase{"03-clear-mid-screen", "cases", "03-clear-mid-screen.txt", {}},
        SnapshotCase{"04-mode-codes", "cases", "04-mode-codes.txt", {}},
        SnapshotCase{"05-graphic-lines", "cases", "05-graphic-lines.txt", {}},
        SnapshotCase{"06-tabs", "cases", "06-tabs.txt", {}}, SnapshotCase{"07-backspace", "cases", "07-backspace.txt", {}},
        SnapshotCase{"08-long-lines", "cases", "08-long-lines.txt", {}},
        SnapshotCase{"09-scroll", "cases", "09-scroll.txt", {}}, SnapshotCase{"10-line-ends", "cases", "10-line-ends.txt", {}},
        SnapshotCase{"11-ctrl-z", "cases", "11-ctrl-z.txt", {}}, SnapshotCase{"12-byte-ff", "cases", "12-byte-ff.txt", {}},
        SnapshotCase{"13-cp437-art", "cases", "13-cp437-art.txt", {}},
        SnapshotCase{"14-control-bytes",
                     "cases",
                     "14-control-bytes.txt",
                     {{0, 7, 1}, {1, 3, 1}, {2, 11, 4}, {3, 3, 1}, {5, 3, 3}, {6, 3, 3}, {7, 3, 3}, {9, 2, 2}}},
        SnapshotCase{"medium", "medium", "splash.txt", {}}, SnapshotCase{"medium-f1", "medium", "help1.txt", {}},
        SnapshotCase{"medium-f2", "medium", "help2.txt", {}}, SnapshotCase{"medium-f10", "medium", "help10.txt", {}}),
    [](const ::testing::TestParamInfo<SnapshotCase>& info) {
      std::string name;
      for (const char* c = info.param.Golden; *c != '\0'; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

}  // namespace
}  // namespace vestalo::testing
