// The running boot menu: the model, the state of the menu on screen, and the screen drawn
// the way the loader draws it, after every key and as time passes: menu.c32's 80x25 text
// screen, or vesamenu.c32's graphics screen (a grid of cells as many as the resolution and
// font leave room for, over a background picture). Free of I/O but the medium's files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "menu/Model.h"
#include "menu/Start.h"
#include "screen/CellFont.h"
#include "screen/ColourScreen.h"
#include "screen/GraphicalDrawing.h"
#include "screen/ScreenGrid.h"

namespace menu {

// A key as the PC's keyboard interface gives it: a character, or 0 and the extended code.
struct Key {
  uint8_t Char = 0;
  uint8_t Extended = 0;
};

// The PC's extended codes of the keys the menu knows.
namespace keys {
constexpr uint8_t Up = 0x48, Down = 0x50, Left = 0x4B, Right = 0x4D, Home = 0x47, End = 0x4F;
constexpr uint8_t PgUp = 0x49, PgDn = 0x51, Delete = 0x53, F1 = 0x3B, F10 = 0x44, F11 = 0x57,
                  F12 = 0x58;
constexpr uint8_t Enter = 13, Esc = 27, Tab = 9, Backspace = 8;
}  // namespace keys

// What the menu asks of the program that runs it.
struct Outcome {
  enum Kind { Stay, Boot, OpenConfiguration, BootPrompt, ShowFile } Type = Stay;
  std::string Label;               // Boot: the entry's label ("" for a typed or edited line)
  std::string Kernel;              // Boot: the kernel or module as named
  std::string KernelKind;          // Boot: kernel, linux, com32, localboot, ... as the line says
  std::string CommandLine;         // Boot: what the loader hands the kernel (APPEND, initrd=)
  std::vector<std::string> Files;  // Boot: the files it reads (kernel, initrds)
  int IpAppend = 0;                // Boot: IPAPPEND's value, which the loader adds to
  bool Edited = false;             // Boot: the line came from the command-line editor
  bool ByTimeout = false;          // Boot or OpenConfiguration: the countdown ran out
  // The configuration: OpenConfiguration's, or BootPrompt's (whose help keys then work).
  std::string Configuration;
  std::string File;  // ShowFile: the file on the screen now
  // A password in a form libcrypt cannot check was taken as right.
  bool PasswordUnchecked = false;
};

class Session {
 public:
  // Reads the menu from one configuration, or as the start found it: the graphical menu
  // for vesamenu.c32, else the text menu. The medium is read again later (F-key files,
  // pictures), so it must outlive the session.
  Session(const media::Medium& files, const std::string& configName, Module kind = Module::Text);
  Session(const media::Medium& files, const MenuStart& start);

  const Model& Menus() const { return Data; }
  // The screen's cells, with the cursor and whether it shows: the text screen's 80x25, or
  // the graphics screen's grid (its row 0 is the first row on the screen, the menu's row 1).
  const screen::ScreenGrid& Screen() const { return Grid; }

  // True while the graphical menu shows its graphics screen; false for the text menu, and
  // after Esc has left the graphical menu for the loader's 80x25 text screen and its prompt.
  bool ShowsGraphics() const { return Graphical && Now != Mode::Prompt; }
  // The graphics screen as the loader draws it (empty while ShowsGraphics() is false): the
  // picture pixel for pixel, and the cells in 24-bit colours.
  screen::GraphicalScreen Graphics() const;
  // Its parts alone: the cells (quick: for terminals that draw no pictures), the picture.
  screen::ColourGrid GraphicalCells() const;
  // The same cells as they come, for a terminal: where their means wait for a JPEG to be
  // decoded, it is decoded on two threads of their own, and each row of cells gets its
  // colours as soon as the picture under it is known; else they are whole at once.
  screen::ColourGridComing GraphicalCellsComing() const;
  screen::RgbImage GraphicalPicture() const;
  // Decodes the background whole now, where it waits as a file, as for a picture: the cells'
  // means are then taken from it rather than from a decoding of their own.
  void ReadWholeBackground() const {
    if (Graphical) Background();
  }
  // What the graphics screen stands on: its pixels and its cells' height.
  int PixelWidth() const { return Width; }
  int PixelHeight() const { return Height; }
  int CellHeight() const { return Font.Height; }

  Outcome Press(Key key);
  // Time passing: the countdown runs. Elapse(0) right after the start tells whether the
  // menu runs its default at once (MENU SHIFTKEY).
  Outcome Elapse(int milliseconds);
  // Milliseconds until the screen changes or something runs on its own; -1: never.
  int NextChangeMs() const;

  // True when the session takes the character as it is: a hotkey of the menu on screen, or
  // text typed into the command-line editor, the password box or the boot: prompt. A
  // program that lets digit keys stand in for function keys does so only for the others.
  bool TakesCharacter(uint8_t c) const;

  // For snapshots: "" for the top menu, then each submenu by its tag, or its number.
  std::vector<std::string> MenuNames() const;
  // Shows a menu as it first shows when entered; an unknown name changes nothing.
  void Open(const std::string& name);

 private:
  enum class Mode { Hidden, Menu, Editing, Password, ShowingFile, Prompt };
  enum class PasswordFor { Entry, Tab, Escape };
  struct Place {
    int Menu = 0, Selected = 0, Top = 0;  // indexes into the visible entries
  };

  void Start(const std::string& startConfig);
  void StartGraphics();
  // The graphics screen's grid, as many cells as the resolution and font leave room for.
  void LayGraphicsGrid();
  // The background for MENU BACKGROUND or an F line: a picture file, #AARRGGBB, or "" (the
  // loader's own).
  void SetBackground(const std::string& spec);
  const screen::RgbImage& Background() const;
  const screen::CellFont& Glyphs() const;
  // The MENU COLOR elements of the menu on screen as the graphics screen draws them.
  std::vector<screen::CellColours> ElementColours() const;
  // The layout as this screen takes it: the graphical menu is as wide as its columns.
  Layout Geometry() const;
  // Geometry of the menu on screen.
  const Menu& Shown() const { return Data.Menus[static_cast<std::size_t>(Here.Menu)]; }
  const Settings& Set() const { return Shown().Set; }
  int Row(int configured, bool shifted) const;
  const Entry& VisibleEntry(int index) const;
  int VisibleCount() const { return static_cast<int>(Visible.size()); }

  // Navigation.
  void Enter(int menu, bool remember);
  void Back();
  void StartEditing();
  Place Initial(int menu) const;
  void MoveTo(int selected);
  int NextSelectable(int from, int step) const;
  void Clamp();

  // Drawing.
  void Use(int element);
  void Cell(int row, int column, unsigned char c);
  void Text(int row, int column, std::string_view text);
  void ClearRow(int row, int element);
  void DrawAll();
  void DrawBox();
  void DrawEntries();
  void DrawEntry(int k);
  void DrawTabMessage();
  void DrawHelp();
  void DrawCountdown();
  void DrawHiddenCountdown();
  void DrawCountdownAt(int row);
  void DrawPasswordBox();
  void DrawCommandLine();
  void DrawPrompt();
  void ShowMessageFile(const std::string& name);

  // Actions.
  Outcome Run(const Entry& entry, bool checked);
  Outcome RunEntry();
  Outcome BootEntry(const Entry& entry);
  Outcome BootLine(const std::string& line, bool edited);
  Outcome ToPrompt();
  Outcome Escape();
  Outcome MenuKey(Key key);
  Outcome EditKey(Key key);
  Outcome PasswordKey(Key key);
  Outcome FileKey(Key key);
  Outcome TimeUp();
  void StopCountdown();
  bool PasswordMatches(const std::string& typed, const std::string& expected,
                       bool& unchecked) const;
  bool FKeyFile(Key key, std::string& name) const;
  int FKeyNumber(Key key) const;
  Outcome ShowFKeyFile(Key key, const std::string& name);

  const media::Medium& Files;
  Model Data;
  screen::ScreenGrid Grid;
  int ScreenRows = screen::Rows, ScreenColumns = screen::Columns;
  int Drawing = -1;  // the element being drawn in
  std::string StartConfig;

  // The graphical menu's screen: its size, font and background.
  bool Graphical = false;
  int Width = 0, Height = 0;
  // The font: the FONT line's, or the BIOS's, whose glyphs are read when first drawn
  // (BiosGlyphsWanted until then): the cells want only its height.
  mutable screen::CellFont Font;
  mutable bool BiosGlyphsWanted = false;
  // The background, made when first wanted: a JPEG of the screen's size is kept as its file
  // (BackdropJpeg), whose cells' means come from its rows as they are decoded, and is decoded
  // whole only for a picture.
  mutable std::optional<screen::RgbImage> Backdrop;
  mutable std::string BackdropJpeg;
  mutable std::vector<screen::CellMean> Means;  // under each cell of the grid; empty: not yet
  Mode Now = Mode::Menu;
  Place Here;
  std::vector<int> Stack;    // the menus Esc returns to, innermost last
  std::vector<Place> Saved;  // where each menu's selection stood when it was left
  std::vector<int> Visible;  // the shown menu's entries that take a row
  uint8_t Pen = 0x07;        // the attribute being drawn with
  bool SelectionBar = true;

  // The countdown, in milliseconds; the total one runs on after a key.
  bool TimeoutRuns = false, TotalRuns = false;
  int TimeoutLeft = 0, TotalLeft = 0;
  bool StartPending = false;  // MENU SHIFTKEY: the default runs at the first chance

  std::string Typed;  // the password typed so far
  PasswordFor Asking = PasswordFor::Entry;
  std::string Line;  // the command line being edited
  std::size_t At = 0;
  int LineRows = 1;  // rows the command line took when last drawn
};

}  // namespace menu
