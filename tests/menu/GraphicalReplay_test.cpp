// Every case of tests/vesamenu/cases replayed through a graphical Session: after the first
// screen and after each step of the case's tour, the picture must be the loader's own
// (tests/vesamenu/golden, QEMU's screendumps read with libpng) pixel for pixel; a JPEG
// background within 3 levels a channel. A step that ends on the text screen is compared
// cell for cell with the loader's 80x25 cells.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "media/Medium.h"
#include "menu/QemuKeys.h"
#include "menu/Session.h"

namespace menu {
namespace {

namespace fs = std::filesystem;
const fs::path Suite = fs::path(VESTALO_SOURCE_DIR) / "tests" / "vesamenu";

// The cells that depend on when the oracle took the screen (docs/graphical-menu.md,
// "Reproducibility"): a row and its columns, in the menu's row numbers.
struct Mask {
  const char *Case, *Step;
  int Row, From, To;
};
constexpr Mask Masks[] = {{"22-countdown", "00-boot", 20, 41, 42}};

// The cases whose background is a JPEG: the loader's decoder is not libjpeg's.
constexpr const char* JpegCases[] = {"08-jpeg-420", "09-jpeg-444"};
constexpr int JpegLevels = 3;

// A golden picture as libpng reads it: 8-bit RGB, row by row.
struct Golden {
  int Width = 0, Height = 0;
  std::vector<png_byte> Pixels;
};

Golden ReadGoldenPng(const fs::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Golden golden;
  if (!png_image_begin_read_from_file(&image, path.string().c_str())) return golden;
  image.format = PNG_FORMAT_RGB;
  golden.Pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, golden.Pixels.data(), 0, nullptr)) return golden;
  golden.Width = static_cast<int>(image.width);
  golden.Height = static_cast<int>(image.height);
  return golden;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// What one step's comparison found.
struct Compared {
  long Pixels = 0, Equal = 0;
  int Largest = 0;      // the largest difference of a channel
  int WrongCells = 0;   // cells with a pixel beyond the tolerance
  std::string Problem;  // "" when the step matches
};

Compared ComparePicture(const Session& session, const Golden& golden, const std::string& name,
                        const std::string& step, int tolerance) {
  Compared result;
  const screen::GraphicalScreen shown = session.Graphics();
  const screen::RgbImage& picture = shown.Picture;
  if (picture.Width != golden.Width || picture.Height != golden.Height) {
    result.Problem = "size " + std::to_string(picture.Width) + "x" +
                     std::to_string(picture.Height) + ", loader's " + std::to_string(golden.Width) +
                     "x" + std::to_string(golden.Height);
    return result;
  }
  const int h = session.CellHeight();
  auto masked = [&](int x, int y) {
    for (const Mask& mask : Masks) {
      if (name != mask.Case || step != mask.Step) continue;
      // The cells and the shadow they cast one pixel right and down.
      const int top = 8 + h * (mask.Row - 1), left = 8 + 8 * mask.From;
      if (y >= top && y <= top + h && x >= left && x <= 8 + 8 * (mask.To + 1)) return true;
    }
    return false;
  };
  std::vector<bool> wrongCell(static_cast<std::size_t>(shown.Cells.Rows * shown.Cells.Columns));
  for (int y = 0; y < picture.Height; ++y)
    for (int x = 0; x < picture.Width; ++x) {
      if (masked(x, y)) continue;
      ++result.Pixels;
      const screen::Colour& ours = picture.At(x, y);
      const png_byte* theirs = &golden.Pixels[static_cast<std::size_t>((y * golden.Width + x) * 3)];
      const int difference =
          std::max({std::abs(ours.Red - theirs[0]), std::abs(ours.Green - theirs[1]),
                    std::abs(ours.Blue - theirs[2])});
      if (difference == 0) ++result.Equal;
      result.Largest = std::max(result.Largest, difference);
      const int row = (y - 8) / h, column = (x - 8) / 8;
      if (difference > tolerance && x >= 8 && y >= 8 && row < shown.Cells.Rows &&
          column < shown.Cells.Columns)
        wrongCell[static_cast<std::size_t>(row * shown.Cells.Columns + column)] = true;
      if (difference > tolerance && result.Problem.empty()) {
        char line[120];
        std::snprintf(line, sizeof line, "first at (%d,%d): ours %d,%d,%d, loader's %d,%d,%d", x, y,
                      ours.Red, ours.Green, ours.Blue, theirs[0], theirs[1], theirs[2]);
        result.Problem = line;
      }
    }
  result.WrongCells = static_cast<int>(std::count(wrongCell.begin(), wrongCell.end(), true));
  return result;
}

std::string CompareCells(const Session& session, const std::string& golden) {
  const screen::ScreenGrid& grid = session.Screen();
  if (grid.RowCount() != screen::Rows || grid.ColumnCount() != screen::Columns)
    return "not the 80x25 text screen";
  for (int row = 0; row < screen::Rows; ++row)
    for (int column = 0; column < screen::Columns; ++column) {
      const auto at = static_cast<std::size_t>((row * screen::Columns + column) * 2);
      const screen::Cell& cell = grid.At(row, column);
      if (cell.Char != static_cast<unsigned char>(golden[at]) ||
          cell.Attr != static_cast<uint8_t>(golden[at + 1]))
        return "cell " + std::to_string(row) + "," + std::to_string(column);
    }
  if (grid.CursorRow() != 0 || grid.CursorColumn() != 6) return "the cursor is not after boot:";
  return "";
}

TEST(GraphicalReplay, EveryCaseMatchesTheLoadersPictures) {
  std::vector<fs::path> cases;
  for (const auto& entry : fs::directory_iterator(Suite / "cases")) cases.push_back(entry.path());
  std::sort(cases.begin(), cases.end());
  ASSERT_FALSE(cases.empty());
  long pixels = 0, equal = 0;
  int steps = 0, exact = 0, wrongCells = 0;
  for (const fs::path& folder : cases) {
    const std::string name = folder.filename().string();
    const bool jpeg =
        std::find(std::begin(JpegCases), std::end(JpegCases), name) != std::end(JpegCases);
    std::vector<std::string> tour{"boot"};
    std::ifstream tourFile(folder / "tour");
    for (std::string line; std::getline(tourFile, line);)
      if (!line.empty()) tour.push_back(line);
    std::vector<fs::path> pictures;
    for (const auto& entry : fs::directory_iterator(Suite / "golden" / name))
      if (entry.path().extension() == ".png") pictures.push_back(entry.path());
    std::sort(pictures.begin(), pictures.end());
    ASSERT_EQ(pictures.size(), tour.size()) << name;

    const std::unique_ptr<media::Medium> medium = media::OpenMedium(folder.string());
    const MenuStart start = FindMenuStart(*medium, medium->StartConfiguration());
    ASSERT_EQ(start.Kind, Module::Graphical) << name;
    Session session(*medium, start);
    session.Elapse(0);
    for (std::size_t i = 0; i < tour.size(); ++i) {
      if (i > 0)
        for (const Key& key : KeysOf(tour[i])) session.Press(key);
      const std::string step = pictures[i].stem().string();
      ++steps;
      if (!session.ShowsGraphics()) {
        fs::path cells = pictures[i];
        const std::string problem =
            CompareCells(session, ReadBytes(cells.replace_extension(".bin")));
        exact += problem.empty();
        EXPECT_EQ(problem, "") << name << "/" << step;
        continue;
      }
      const Compared compared =
          ComparePicture(session, ReadGoldenPng(pictures[i]), name, step, jpeg ? JpegLevels : 0);
      pixels += compared.Pixels;
      equal += compared.Equal;
      exact += compared.Pixels == compared.Equal;
      if (!jpeg) wrongCells += compared.WrongCells;
      std::printf(
          "  %-22s %-24s %7ld of %7ld pixels equal, largest difference %d, %d cells wrong\n",
          name.c_str(), step.c_str(), compared.Equal, compared.Pixels, compared.Largest,
          compared.WrongCells);
      EXPECT_EQ(compared.Problem, "") << name << "/" << step;
    }
  }
  std::printf(
      "Graphical menu goldens: %d of %d steps exact; %ld of %ld pixels equal (%.4f%%); "
      "%d cells outside the JPEG cases wrong\n",
      exact, steps, equal, pixels, pixels ? 100.0 * equal / pixels : 0.0, wrongCells);
  EXPECT_EQ(wrongCells, 0);
}

}  // namespace
}  // namespace menu
