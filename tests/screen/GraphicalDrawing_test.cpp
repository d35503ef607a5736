// The graphics screen's pieces from hand-written values: the blend in linear light (values
// worked out from the formulas in docs/graphical-menu.md), the shadows on a picture whose
// pixels name their place, LSS16 rows encoded by hand, what becomes of unreadable pictures.
#include "screen/GraphicalDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <tuple>
#include <utility>

#include "screen/JpegCellMeans.h"
#include "screen/PictureFile.h"

namespace screen {
namespace {

TEST(GraphicalBlend, LaysAColourInLinearLight) {
  struct Row {
    uint8_t Alpha, Colour, Under, Shown;
  };
  // clang-format off
  const Row rows[] = {
      {0x00, 200, 17, 17},   {0xff, 200, 17, 200},  // transparent and opaque: exact
      {0x80, 255, 0, 188},   {0x40, 0, 255, 224},   // a plain mix would give 128 and 191
      {0xc0, 144, 48, 128},  {0x01, 255, 0, 12},    {0xfe, 0, 255, 12},
      {0x7f, 128, 64, 102},  {0x20, 255, 128, 152},
  };
  // clang-format on
  for (const Row& r : rows)
    EXPECT_EQ(BlendChannel(r.Alpha, r.Colour, r.Under), r.Shown)
        << int{r.Alpha} << " " << int{r.Colour} << " over " << int{r.Under};
  EXPECT_EQ(Blend(0x80ff0000, {0, 0, 255}), (Colour{188, 0, 187}));
}

// Every step of linear light comes back as sRGB's encoding of the step's middle, rounded:
// the formula of the sRGB standard, written out here.
TEST(GraphicalBlend, EachStepOfLightShowsAsItsSrgbValue) {
  int wrong = 0;
  for (int level = 0; level < 4096; ++level) {
    const double light = std::min((16.0 * level + 8) / 65279, 1.0);
    const double srgb =
        light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
    wrong += LinearToShown(level) != std::lround(255 * srgb);
  }
  EXPECT_EQ(wrong, 0);
}

TEST(GraphicalBlend, TheLoadersOwnBackgroundIsGreyFromTheCentre) {
  const RgbImage grey = DefaultBackground(640, 480);
  struct Row {
    int X, Y;
    uint8_t Shown;
  };
  // v = E[500 + (distance^2 >> 6)] at 640x480: E[500] = 98, E[812] = 123, E[3000] = 223.
  for (const Row& r : {Row{320, 240, 98}, Row{420, 340, 123}, Row{0, 0, 223}})
    EXPECT_EQ(grey.At(r.X, r.Y), (Colour{r.Shown, r.Shown, r.Shown})) << r.X << "," << r.Y;
}

// A 32x32 picture whose pixel (x, y) is (4x, 4y, 0), and one cell at (8, 8) whose glyph has
// its top-left pixel alone, in a transparent element: each pixel shows which picture pixel
// it was laid over, and a shadow shows as a quarter of it.
TEST(GraphicalShadows, RaiseAndDarkenTheRightPixels) {
  RgbImage picture;
  picture.Width = picture.Height = 32;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      picture.Pixels.push_back({static_cast<uint8_t>(4 * x), static_cast<uint8_t>(4 * y), 0});
  CellFont font;
  font.Rows[static_cast<std::size_t>('A' * 16)] = 0x80;
  struct Row {
    Shadow Mode;
    int X, Y;
    Colour Shown;
  };
  // clang-format off
  const Row rows[] = {
      {Shadow::None, 8, 8, {32, 32, 0}},  {Shadow::None, 9, 9, {36, 36, 0}},
      {Shadow::Std, 8, 8, {36, 36, 0}},   {Shadow::Std, 9, 9, {9, 9, 0}},     {Shadow::Std, 10, 9, {40, 36, 0}},
      {Shadow::All, 8, 8, {36, 36, 0}},   {Shadow::All, 9, 9, {40, 40, 0}},   {Shadow::All, 16, 9, {16, 9, 0}},
      {Shadow::All, 8, 24, {32, 96, 0}},  {Shadow::All, 9, 24, {9, 24, 0}},   {Shadow::All, 16, 8, {64, 32, 0}},
      {Shadow::Rev, 8, 8, {32, 32, 0}},   {Shadow::Rev, 9, 8, {40, 36, 0}},   {Shadow::Rev, 9, 9, {40, 40, 0}},
  };
  // clang-format on
  for (const Row& r : rows) {
    ScreenGrid grid(1, 2);
    grid.Put(0, 0, {'A', 0x07, 0});
    grid.ShowCursor(false);
    const std::vector<CellColours> elements{{0x00ffffff, 0x00000000, r.Mode}};
    const GraphicalScreen shown = DrawGraphicalScreen(picture, grid, {elements, font, 0});
    EXPECT_EQ(shown.Picture.At(r.X, r.Y), r.Shown)
        << static_cast<int>(r.Mode) << " at " << r.X << "," << r.Y;
  }
}

TEST(GraphicalCells, TakeTheirElementsColoursOverTheMeanOfThePicture) {
  const RgbImage picture = SolidBackground({0, 0, 255}, 640, 480);
  ScreenGrid grid(GraphicsRows(480, 16), GraphicsColumns(640));
  ASSERT_EQ(grid.RowCount(), 29);
  ASSERT_EQ(grid.ColumnCount(), 78);
  grid.Put(3, 4, {'x', 0x07, 0});
  const std::vector<CellColours> elements{{0x80ff0000, 0xff00ff00, Shadow::None}};
  const GraphicalScreen shown = DrawGraphicalScreen(picture, grid, {elements, CellFont{}, 0});
  EXPECT_EQ(shown.Cells.At(3, 4).Char, 'x');
  EXPECT_EQ(shown.Cells.At(3, 4).Foreground, (Colour{188, 0, 187}));
  EXPECT_EQ(shown.Cells.At(3, 4).Background, (Colour{0, 255, 0}));
  // A cell without an element shows the picture under it.
  EXPECT_EQ(shown.Cells.At(0, 0).Background, (Colour{0, 0, 255}));
}

// Means worked out by hand: cell (0,0) is x 8-15, y 8-23 (128 pixels); its red is 1 in half
// of them (64/128 rounds to 1), its green 255 in three (765/128 = 5.98: 6), its blue each
// pixel's x (11.5: 12). Cell (28,77), the last, is x 624-631, y 456-471.
TEST(GraphicalCells, WithoutAnElementShowTheRoundedMeanOfThePictureUnderThem) {
  RgbImage picture = SolidBackground({0, 0, 0}, 640, 480);
  for (int y = 8; y < 24; ++y)
    for (int x = 8; x < 16; ++x)
      picture.At(x, y) = {static_cast<uint8_t>(y < 16), 0, static_cast<uint8_t>(x)};
  for (int x : {8, 12, 15}) picture.At(x, 20).Green = 255;
  for (int y = 456; y < 472; ++y)
    for (int x = 624; x < 632; ++x) picture.At(x, y) = {10, 20, 30};
  const ScreenGrid grid(29, 78);
  const std::vector<CellColours> none;
  const GraphicalScreen shown = DrawGraphicalScreen(picture, grid, {none, CellFont{}, 0});
  const std::tuple<int, int, Colour> rows[] = {{0, 0, {1, 6, 12}},
                                               {0, 1, {0, 0, 0}},
                                               {1, 0, {0, 0, 0}},
                                               {28, 77, {10, 20, 30}},
                                               {28, 76, {0, 0, 0}}};
  for (const auto& [row, column, mean] : rows)
    EXPECT_EQ(shown.Cells.At(row, column).Background, mean) << row << "," << column;
}

std::string Lss16(int width, int height, std::initializer_list<uint8_t> rows) {
  std::string bytes = "\x3D\xF3\x13\x14";
  for (int v : {width, height}) bytes += {static_cast<char>(v & 255), static_cast<char>(v >> 8)};
  // Colour 0 black, 1 red, 2 (0, 63, 32): 32 * 255 / 63 = 129.5, rounded down.
  std::string palette(48, '\0');
  palette[3] = 63;
  palette[7] = 63;
  palette[8] = 32;
  bytes += palette;
  for (uint8_t b : rows) bytes += static_cast<char>(b);
  return bytes;
}

TEST(Lss16, ReadsRowsOfNybbleRuns) {
  const Colour black{0, 0, 0}, red{255, 0, 0}, green{0, 255, 129};
  // Row 0: 1, then 1 with 0 and 2,0: 16 + 2 more; then 2. Row 1: 0 is the previous colour,
  // so a run of 16 + 4. Row 2: 2, 0, then 18 more of 0. Row 3: odd nybbles, padded.
  // clang-format off
  const std::string bytes = Lss16(20, 4, {0x11, 0x20, 0x20,   0x00, 0x04,   0x02, 0x00, 0x02,
                                          0x11, 0x30, 0x00});
  // clang-format on
  const PictureFile file = ReadPicture(bytes, 640, 480);
  ASSERT_EQ(file.Status, PictureStatus::Read);
  ASSERT_EQ(file.Image.Width, 20);
  ASSERT_EQ(file.Image.Height, 4);
  // Each row's pixels: K black, R red, G green.
  const char* const rows[] = {"RRRRRRRRRRRRRRRRRRRG", "KKKKKKKKKKKKKKKKKKKK",
                              "GKKKKKKKKKKKKKKKKKKK", "RRRRRRRRRRRRRRRRRRRR"};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 20; ++x) {
      const char c = rows[y][x];
      EXPECT_EQ(file.Image.At(x, y), c == 'R' ? red : c == 'G' ? green : black) << x << "," << y;
    }
}

std::string CaseFile(const std::string& name) {
  std::ifstream in(std::string(VESTALO_SOURCE_DIR) + "/tests/vesamenu/cases/" + name,
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PictureFiles, UnreadableOnesAreToldApart) {
  const std::string png = CaseFile("04-png-rgb/coord.png"),
                    jpeg = CaseFile("09-jpeg-444/photo.jpg");
  struct Row {
    const char* Name;
    std::string Bytes;
    PictureStatus Status;
  };
  const Row rows[] = {
      {"nothing", "", PictureStatus::Unknown},
      {"a GIF", "GIF89a\x01\x00\x01\x00", PictureStatus::Unknown},
      {"a PNG", png, PictureStatus::Read},
      {"a PNG cut short", png.substr(0, png.size() / 2), PictureStatus::Damaged},
      {"a PNG's signature alone", png.substr(0, 8), PictureStatus::Damaged},
      {"a PNG larger than the screen", CaseFile("15-large/wider.png"), PictureStatus::TooLarge},
      {"a JPEG", jpeg, PictureStatus::Read},
      {"a JPEG's start alone", "\xFF\xD8", PictureStatus::Damaged},
      {"an LSS16 without its palette", Lss16(1, 1, {}).substr(0, 20), PictureStatus::Damaged},
      {"an LSS16 cut short", Lss16(20, 4, {0x11}), PictureStatus::Damaged},
      {"an LSS16 too wide", Lss16(641, 1, {}), PictureStatus::TooLarge},
  };
  for (const Row& r : rows) {
    const PictureFile file = ReadPicture(r.Bytes, 640, 480);
    const bool needsLibrary = r.Bytes.rfind("\x89PNG", 0) == 0    ? !PngReadable
                              : r.Bytes.rfind("\xFF\xD8", 0) == 0 ? !JpegReadable
                                                                  : false;
    EXPECT_EQ(file.Status, needsLibrary ? PictureStatus::Unsupported : r.Status) << r.Name;
    // Whatever could not be read hands on no pixels and lies black under the menu.
    if (file.Status == PictureStatus::Read) continue;
    EXPECT_TRUE(file.Image.Pixels.empty()) << r.Name;
    EXPECT_EQ(LaidBackground(file, 16, 16).At(5, 5), (Colour{0, 0, 0})) << r.Name;
  }
}

// A JPEG of the screen's size read a band of rows at a time gives the rows of the whole
// picture, baseline, progressive, without chroma subsampling and cut short (its rest grey, as
// libjpeg fills it) alike, all of them or a range starting anywhere (the rows above skipped,
// which the chroma shared by two rows must survive); any other file does not pass for one.
TEST(PictureFiles, AJpegsRowsComeAsTheWholePicturesRows) {
  if (!JpegReadable) GTEST_SKIP() << "built without libjpeg";
  const std::string jpeg = CaseFile("09-jpeg-444/photo.jpg");
  const std::pair<const char*, std::string> files[] = {
      {"baseline", CaseFile("08-jpeg-420/photo.jpg")},
      {"progressive", CaseFile("08-jpeg-420/progressive.jpg")},
      {"4:4:4", jpeg},
      {"cut short", jpeg.substr(0, jpeg.size() / 3)}};
  const std::pair<int, int> ranges[] = {{0, 480}, {296, 480}, {137, 301}, {0, 190}, {8, 9}};
  for (const auto& [name, bytes] : files) {
    const RgbImage whole = ReadJpeg(bytes, 640, 480).Image;
    ASSERT_EQ(whole.Pixels.size(), 640u * 480u) << name;
    for (const auto& [from, to] : ranges) {
      int next = from, wrong = 0;
      EXPECT_TRUE(ReadJpegRows(
          bytes, 640, 480,
          [&](int y, const Colour* row) {
            wrong += y != next++ || !std::equal(row, row + 640, &whole.At(0, y));
          },
          from, to))
          << name << " from " << from;
      EXPECT_EQ(next, to) << name << " from " << from;
      EXPECT_EQ(wrong, 0) << name << " from " << from;
    }
  }
  const auto none = [](int, const Colour*) {};
  EXPECT_FALSE(ReadJpegRows(jpeg, 800, 600, none)) << "another size";
  EXPECT_FALSE(ReadJpegRows("\xFF\xD8", 640, 480, none)) << "a JPEG's start alone";
  EXPECT_FALSE(ReadJpegRows(CaseFile("04-png-rgb/coord.png"), 640, 480, none)) << "a PNG";
}

// The means worked out on two threads, one of them skipping the rows above its own, come row
// by row as those of the whole picture, whatever the cells' height (rows that start on odd
// pixel rows too); a file that is no JPEG of the screen's size is told at the first row.
TEST(JpegCellMeans, RowByRowAsTheWholePicturesMeans) {
  if (!JpegReadable) GTEST_SKIP() << "built without libjpeg";
  const std::pair<const char*, std::string> files[] = {
      {"baseline", CaseFile("08-jpeg-420/photo.jpg")},
      {"progressive", CaseFile("08-jpeg-420/progressive.jpg")},
      {"4:4:4", CaseFile("09-jpeg-444/photo.jpg")}};
  for (const auto& [name, bytes] : files)
    for (const int height : {16, 13, 8}) {
      const int rows = GraphicsRows(480, height), columns = GraphicsColumns(640);
      const std::vector<CellMean> whole =
          CellMeans(ReadJpeg(bytes, 640, 480).Image, rows, columns, height);
      JpegCellMeans means(bytes, 640, 480, rows, columns, height);
      int wrong = 0;
      for (int row = 0; row < rows; ++row) {
        ASSERT_TRUE(means.Await(row + 1)) << name << " " << height << " row " << row;
        for (int column = 0; column < columns; ++column) {
          const std::size_t at = static_cast<std::size_t>(row * columns + column);
          wrong += means.Means()[at].Mean != whole[at].Mean || !means.Means()[at].Fits;
        }
      }
      EXPECT_EQ(wrong, 0) << name << " " << height;
    }
  const std::string jpeg = CaseFile("08-jpeg-420/photo.jpg");
  EXPECT_FALSE(JpegCellMeans(jpeg, 800, 600, 36, 98, 16).Await(1)) << "another size";
  EXPECT_FALSE(JpegCellMeans(CaseFile("04-png-rgb/coord.png"), 640, 480, 29, 78, 16).Await(1))
      << "a PNG";
}

}  // namespace
}  // namespace screen
