#include "tools/GraphicalCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "base/InOutError.h"
#include "menu/Session.h"
#include "screen/CellFont.h"
#include "screen/PictureFile.h"
#include "tools/MediumScreens.h"
#include "tools/PngPicture.h"

namespace vestalo::tools {

namespace {

// Text needs this contrast with its background to be read (the guidelines' ratio for large
// text; the menu's 16-pixel glyphs are no larger than that).
constexpr double ReadableContrast = 3.0;

// The elements an entry's row draws its text in, and their MENU COLOR names.
struct EntryElement {
  int Element;
  const char* Name;
};
constexpr EntryElement EntryElements[] = {
    {menu::UnselColor, "unsel"},   {menu::SelColor, "sel"},           {menu::HotkeyColor, "hotkey"},
    {menu::HotselColor, "hotsel"}, {menu::DisabledColor, "disabled"},
};

double Linear(uint8_t value) {
  const double v = value / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(screen::Colour c) {
  return 0.2126 * Linear(c.Red) + 0.7152 * Linear(c.Green) + 0.0722 * Linear(c.Blue);
}

std::string Size(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// The worst contrast an element's text had on screen, and where.
struct Worst {
  double Ratio = 99;
  int Row = 0;
  std::string Menu;
};

class GraphicalChecker {
 public:
  GraphicalChecker(const media::Medium& files, const menu::MenuStart& start,
                   const menu::Model& model)
      : Files(files), Data(model), Session(files, start) {
    Session.Elapse(0);
  }

  std::vector<Finding> Found;

  void Resolution() {
    const menu::Settings& top = Data.Menus.front().Set;
    if (top.ResolutionWhere.Line == 0) return;
    if (Session.PixelWidth() == top.ResolutionWidth &&
        Session.PixelHeight() == top.ResolutionHeight)
      return;
    Warn(top.ResolutionWhere, "MENU RESOLUTION " + std::to_string(top.ResolutionWidth) + " " +
                                  std::to_string(top.ResolutionHeight) +
                                  " is a screen size the loader cannot set: the menu shows at " +
                                  Size(Session.PixelWidth(), Session.PixelHeight()));
  }

  void Font() {
    const menu::Named& font = Data.Font;
    if (font.Name.empty()) return;
    const std::string what = "FONT file " + font.Name;
    const std::string kept = ": the menu keeps the BIOS's 8x16 font";
    if (!Files.FileIsPresent(font.Name)) {
      Found.push_back(FindingAt(Files, font.Where, true, what + " is missing" + kept));
      return;
    }
    std::string bytes;
    if (!Read(font, what, bytes)) return;
    if (!screen::ReadPsfFont(bytes))
      Warn(font.Where, what + " is no PSF font of 8-pixel-wide glyphs" + kept);
  }

  // A MENU BACKGROUND or F-line picture, against the screen it is laid on.
  void Picture(const menu::Named& picture, const std::string& directive) {
    if (picture.Name.empty() || picture.Name[0] == '#') return;
    const std::string what = directive + " picture " + picture.Name;
    if (!Files.FileIsPresent(picture.Name)) {
      Found.push_back(
          FindingAt(Files, picture.Where, true, what + " is missing: the loader shows black"));
      return;
    }
    std::string bytes;
    if (!Read(picture, what, bytes)) return;
    const int width = Session.PixelWidth(), height = Session.PixelHeight();
    const screen::PictureFile read = screen::ReadPicture(bytes, width, height);
    const std::string screenSize = "the screen's " + Size(width, height);
    switch (read.Status) {
      case screen::PictureStatus::Read:
        if (read.Image.Width != width || read.Image.Height != height)
          Warn(picture.Where, what + " is " + Size(read.Image.Width, read.Image.Height) +
                                  ", smaller than " + screenSize +
                                  ": the loader tiles it from the top-left corner");
        break;
      case screen::PictureStatus::TooLarge:
        Warn(picture.Where,
             what + " is larger than " + screenSize + ": the loader shows black instead");
        break;
      case screen::PictureStatus::Damaged:
        Warn(picture.Where, what + " is damaged or cut short: the menu shows black instead");
        break;
      case screen::PictureStatus::Unknown:
        Warn(picture.Where,
             what + " is no PNG, JPEG or LSS16 picture: the menu shows black instead");
        break;
      case screen::PictureStatus::Unsupported:
        Warn(picture.Where, what + " is not checked: this build reads " + BackgroundFormats());
        break;
    }
  }

  // Every entry's text against its background, with the selection bar on each entry in
  // turn: the picture under a row changes from row to row.
  void Contrast() {
    const std::vector<std::string> names = Session.MenuNames();
    for (std::size_t m = 0; m < names.size(); ++m) {
      Session.Open(names[m]);
      const menu::Menu& shown = Data.Menus[m];
      for (std::size_t step = 0; step <= shown.Entries.size(); ++step) {
        Look(shown, names[m]);
        Session.Press({0, menu::keys::Down});
      }
    }
    for (const auto& [key, worst] : Worsts) {
      const auto& [file, line, column, name] = key;
      char ratio[32];
      std::snprintf(ratio, sizeof ratio, "%.1f:1", worst.Ratio);
      Warn({file, line, column},
           "MENU COLOR " + name + ": its text on row " + std::to_string(worst.Row) +
               (worst.Menu.empty() ? "" : " of the menu " + worst.Menu) + " has a contrast of " +
               ratio + " with its background, below the 3:1 that text needs to be read");
    }
  }

 private:
  void Warn(const menu::Place& where, std::string message) {
    Found.push_back(FindingAt(Files, where, false, std::move(message)));
  }

  bool Read(const menu::Named& named, const std::string& what, std::string& bytes) {
    try {
      bytes = Files.LoadFileBytes(named.Name);
      return true;
    } catch (const EInOutError& failure) {
      Found.push_back(
          FindingAt(Files, named.Where, true, what + " cannot be read: " + failure.Message));
      return false;
    }
  }

  void Look(const menu::Menu& shown, const std::string& name) {
    if (!Session.ShowsGraphics()) return;
    const screen::ScreenGrid& grid = Session.Screen();
    const screen::ColourGrid cells = Session.Graphics().Cells;
    for (int row = 0; row < cells.Rows; ++row)
      for (int column = 0; column < cells.Columns; ++column) {
        const screen::Cell& cell = grid.At(row, column);
        if (cell.Char == ' ' || cell.Char == 0) continue;
        for (const auto& element : EntryElements) {
          const menu::Place& where =
              shown.Set.ColorWhere[static_cast<std::size_t>(element.Element)];
          if (cell.Element != element.Element || where.Line == 0) continue;
          const screen::ColourCell& seen = cells.At(row, column);
          const double ratio = ContrastRatio(seen.Foreground, seen.Background);
          if (ratio >= ReadableContrast) continue;
          // Told once a MENU COLOR line, where its text is hardest to read; rows as the
          // menu's directives count them (the first row seen is 1).
          Worst& worst = Worsts[{where.File, where.Line, where.Column, element.Name}];
          if (ratio < worst.Ratio) worst = {ratio, row + 1, name};
        }
      }
  }

  const media::Medium& Files;
  const menu::Model& Data;
  menu::Session Session;
  std::map<std::tuple<std::string, int, int, std::string>, Worst> Worsts;
};

}  // namespace

double ContrastRatio(screen::Colour a, screen::Colour b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<Finding> CheckGraphicalMenu(const media::Medium& files, const menu::MenuStart& start,
                                        const menu::Model& model) {
  GraphicalChecker check(files, start, model);
  check.Resolution();
  check.Font();
  for (const auto& menu : model.Menus) check.Picture(menu.Set.Background, "MENU BACKGROUND");
  for (std::size_t key = 1; key < model.FKeyPictures.size(); ++key)
    check.Picture(model.FKeyPictures[key], std::string("F").append(std::to_string(key)));
  check.Contrast();
  return check.Found;
}

}  // namespace vestalo::tools
