// The graphical menu's own part of the session (vesamenu.c32): its screen's size, font and
// background, and the picture drawn from the grid the session keeps.
#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "base/InOutError.h"
#include "menu/Session.h"
#include "screen/GraphicalDrawing.h"
#include "screen/JpegCellMeans.h"
#include "screen/PictureFile.h"
#include "screen/VgaFont.h"

namespace menu {

namespace {

// The screen sizes the program draws; another MENU RESOLUTION gets the loader's default.
constexpr int SmallestWidth = 320, SmallestHeight = 200, LargestWidth = 1920, LargestHeight = 1200;
constexpr int DefaultWidth = 640, DefaultHeight = 480;

screen::Shadow ShadowNamed(const std::string& name) {
  if (name == "std") return screen::Shadow::Std;
  if (name == "all") return screen::Shadow::All;
  if (name == "rev") return screen::Shadow::Rev;
  return screen::Shadow::None;
}

// The BIOS font, read once from the system's console fonts; blank glyphs without them.
const screen::CellFont& BiosFont() {
  static const screen::CellFont font = [] {
    const std::optional<screen::VgaFont> vga = screen::FindVgaFont();
    return vga ? screen::BiosFont(vga->Glyphs) : screen::CellFont{};
  }();
  return font;
}

}  // namespace

void Session::StartGraphics() {
  const Settings& top = Data.Menus.front().Set;
  Width = top.ResolutionWidth;
  Height = top.ResolutionHeight;
  if (Width < SmallestWidth || Width > LargestWidth || Height < SmallestHeight ||
      Height > LargestHeight) {
    Width = DefaultWidth;
    Height = DefaultHeight;
  }
  // The BIOS's font is 16 pixels high; its glyphs are read only for a picture.
  Font = {};
  BiosGlyphsWanted = true;
  if (!Data.Font.Name.empty() && Files.FileIsPresent(Data.Font.Name)) {
    try {
      if (auto font = screen::ReadPsfFont(Files.LoadFileBytes(Data.Font.Name)))
        Font = *font, BiosGlyphsWanted = false;
    } catch (const vestalo::EInOutError&) {
      // An unreadable font file leaves the BIOS's, as the loader keeps its own.
    }
  }
  LayGraphicsGrid();
  SetBackground(top.Background.Name);
}

void Session::LayGraphicsGrid() {
  ScreenRows = screen::GraphicsRows(Height, Font.Height);
  ScreenColumns = screen::GraphicsColumns(Width);
  Grid = screen::ScreenGrid(ScreenRows, ScreenColumns);
  Means.clear();
}

void Session::SetBackground(const std::string& spec) {
  Means.clear();
  BackdropJpeg.clear();
  Backdrop.reset();
  if (spec.empty()) {
    Backdrop = screen::DefaultBackground(Width, Height);
    return;
  }
  if (spec[0] == '#') {
    if (const auto colour = ArgbColor(spec)) {
      Backdrop = screen::SolidBackground(screen::RgbOf(*colour), Width, Height);
      return;
    }
  }
  std::string bytes;
  if (Files.FileIsPresent(spec)) {
    try {
      bytes = Files.LoadFileBytes(spec);
    } catch (const vestalo::EInOutError&) {
      // Too large or unreadable: black, as a missing file.
    }
  }
  // A JPEG waits: most terminals want only the means of its cells.
  if (bytes.starts_with("\xFF\xD8")) {
    BackdropJpeg = std::move(bytes);
    return;
  }
  Backdrop = screen::LaidBackground(screen::ReadPicture(bytes, Width, Height), Width, Height);
}

const screen::CellFont& Session::Glyphs() const {
  if (BiosGlyphsWanted) Font = BiosFont(), BiosGlyphsWanted = false;
  return Font;
}

const screen::RgbImage& Session::Background() const {
  if (!Backdrop) {
    Backdrop =
        screen::LaidBackground(screen::ReadPicture(BackdropJpeg, Width, Height), Width, Height);
    BackdropJpeg.clear();
    BackdropJpeg.shrink_to_fit();
  }
  return *Backdrop;
}

std::vector<screen::CellColours> Session::ElementColours() const {
  const ColorTable& colors = Set().Colors;
  std::vector<screen::CellColours> elements(colors.size());
  for (std::size_t i = 0; i < colors.size(); ++i)
    elements[i] = {colors[i].Foreground, colors[i].Background, ShadowNamed(colors[i].Shadow)};
  return elements;
}

screen::ColourGrid Session::GraphicalCells() const {
  screen::ColourGridComing coming = GraphicalCellsComing();
  screen::FillAllRows(coming.Cells, coming.FillRow);
  return std::move(coming.Cells);
}

screen::ColourGridComing Session::GraphicalCellsComing() const {
  if (!ShowsGraphics()) return {};
  // The background changes only with a help file's own: its means are worked out once.
  const int rows = Grid.RowCount(), columns = Grid.ColumnCount();
  const std::size_t count = static_cast<std::size_t>(rows * columns);
  const std::vector<screen::CellColours> elements = ElementColours();
  const screen::Argb strips = Set().Colors[ScreenColor].Background;
  if (Means.size() == count || Backdrop) {
    if (Means.size() != count) Means = screen::CellMeans(*Backdrop, rows, columns, Font.Height);
    return {screen::GraphicalCells(Means, Grid, {elements, Font, strips}), {}};
  }
  // A JPEG of the screen's size is decoded for its cells on threads of their own, never held
  // whole; each row of cells gets its colours once the rows of pixels under it are in.
  auto decoding = std::make_shared<screen::JpegCellMeans>(BackdropJpeg, Width, Height, rows,
                                                          columns, Font.Height);
  screen::ColourGrid cells = screen::GraphicalCells({}, Grid, {elements, Font, strips});
  return {std::move(cells),
          [this, decoding, elements, strips, rows, count](screen::ColourGrid& grid, int row) {
            const bool same = decoding->Await(row + 1);
            // Not a JPEG of the screen's size after all: the picture as it is read otherwise.
            if (!same && Means.size() != count)
              Means = screen::CellMeans(Background(), rows, Grid.ColumnCount(), Font.Height);
            screen::GraphicalCellsRow(same ? decoding->Means() : Means, Grid,
                                      {elements, Font, strips}, row, grid);
            // The last row: the means are kept for the screens after.
            if (same && row + 1 == rows) Means = decoding->Means();
            return same;
          }};
}

screen::RgbImage Session::GraphicalPicture() const {
  if (!ShowsGraphics()) return {};
  const std::vector<screen::CellColours> elements = ElementColours();
  return screen::DrawGraphicalPicture(Background(), Grid,
                                      {elements, Glyphs(), Set().Colors[ScreenColor].Background});
}

screen::GraphicalScreen Session::Graphics() const {
  if (!ShowsGraphics()) return {};
  return {GraphicalPicture(), GraphicalCells()};
}

}  // namespace menu
