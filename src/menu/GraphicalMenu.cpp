// The graphical menu's own part of the session (vesamenu.c32): its screen's size, font and
// background, and the picture drawn from the grid the session keeps.
#include <algorithm>
#include <optional>
#include <utility>

#include "base/InOutError.h"
#include "menu/Session.h"
#include "screen/GraphicalDrawing.h"
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
  Font = BiosFont();
  if (!Data.Font.Name.empty() && Files.FileIsPresent(Data.Font.Name)) {
    try {
      if (auto font = screen::ReadPsfFont(Files.LoadFileBytes(Data.Font.Name))) Font = *font;
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
  screen::PictureFile picture;
  if (Files.FileIsPresent(spec)) {
    try {
      picture = screen::ReadPicture(Files.LoadFileBytes(spec), Width, Height);
    } catch (const vestalo::EInOutError&) {
      // Too large or unreadable: black, as a missing file.
    }
  }
  Backdrop = screen::LaidBackground(std::move(picture), Width, Height);
}

std::vector<screen::CellColours> Session::ElementColours() const {
  const ColorTable& colors = Set().Colors;
  std::vector<screen::CellColours> elements(colors.size());
  for (std::size_t i = 0; i < colors.size(); ++i)
    elements[i] = {colors[i].Foreground, colors[i].Background, ShadowNamed(colors[i].Shadow)};
  return elements;
}

screen::ColourGrid Session::GraphicalCells() const {
  if (!ShowsGraphics()) return {};
  // The background changes only with a help file's own: its means are worked out once.
  if (Means.size() != static_cast<std::size_t>(Grid.RowCount() * Grid.ColumnCount()))
    Means = screen::CellMeans(Backdrop, Grid.RowCount(), Grid.ColumnCount(), Font.Height);
  const std::vector<screen::CellColours> elements = ElementColours();
  return screen::GraphicalCells(Means, Grid,
                                {elements, Font, Set().Colors[ScreenColor].Background});
}

screen::RgbImage Session::GraphicalPicture() const {
  if (!ShowsGraphics()) return {};
  const std::vector<screen::CellColours> elements = ElementColours();
  return screen::DrawGraphicalPicture(Backdrop, Grid,
                                      {elements, Font, Set().Colors[ScreenColor].Background});
}

screen::GraphicalScreen Session::Graphics() const {
  if (!ShowsGraphics()) return {};
  return {GraphicalPicture(), GraphicalCells()};
}

}  // namespace menu
