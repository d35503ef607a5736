// The boot menu as the loader's menu module reads it from its configuration: menus and
// submenus, their entries, layout, colours and messages, the countdown and the keys' files.
// Every directive that names a file or a tag keeps the place it stands on, for --check.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "media/Medium.h"
#include "menu/Colors.h"

namespace menu {

namespace media = vestalo::media;
using Place = vestalo::ConfigurationPlace;

// A name given on a line, with where it stands.
struct Named {
  std::string Name;
  Place Where;
};

// What an entry does when it runs.
enum class Action {
  Boot,     // KERNEL, LINUX, COM32, BOOT, ..., LOCALBOOT: the loader leaves the menu
  Config,   // CONFIG name: another configuration
  Submenu,  // MENU BEGIN or a tagged MENU INCLUDE: opens the submenu
  Goto,     // MENU GOTO tag
  Exit,     // MENU EXIT [tag]: the parent menu, or the one named
  Quit,     // MENU QUIT: the boot: prompt
  Help,     // MENU HELP file: shows the file as an F-key does
  Nothing,  // a label without anything to run; a separator
};

struct Entry {
  Place Where;        // the LABEL (or MENU BEGIN, MENU SEPARATOR) line
  std::string Label;  // the LABEL's name, what the command line and DEFAULT use
  std::string Text;   // MENU LABEL as written, carets and all (empty: the label is shown)
  Place TextWhere;    // the MENU LABEL line's text
  std::string Shown;  // what the menu row shows: the text without its carets
  int HotkeyAt = -1;  // the hotkey's byte in Shown, -1: none
  char Hotkey = 0;    // the hotkey in lower case, 0: none (or taken by an earlier entry)
  Action Does = Action::Nothing;
  // Boot: the kernel (or module) and its kind as written: "kernel", "linux", "com32", ...
  Named Kernel;
  std::string KernelKind;
  std::string KernelArguments;  // words after the kernel's name on its own line
  std::string Append;           // the APPEND text
  bool HasAppend = false;
  std::vector<Named> Initrds;  // INITRD names (comma-separated on the line)
  int IpAppend = 0;
  int LocalBootType = 0;  // LOCALBOOT's value
  Named Target;           // CONFIG, MENU GOTO, MENU EXIT's tag, MENU HELP's file
  int Submenu = -1;       // the menu this entry opens (Submenu, Goto and Exit once resolved)
  std::vector<std::string> HelpText;  // TEXT HELP lines
  bool HasPassword = false;
  std::string Password;  // MENU PASSWD ("": the master password only)
  Place PasswordWhere;
  bool Hidden = false, Disabled = false, Separator = false, IsDefault = false;
  int Indent = 0;
  bool Selectable() const { return !Disabled && !Separator; }
};

// The menu's layout: MENU WIDTH ... VSHIFT, as written (rows 1-based or negative).
struct Layout {
  int Width = 80, Margin = 10, PasswordMargin = 3, Rows = 12;
  int TabMsgRow = 18, CmdLineRow = 18, EndRow = -1, PasswordRow = 11, TimeoutRow = 20;
  int HelpMsgRow = 22, HelpMsgEndRow = -1, HiddenRow = -2, HShift = 0, VShift = 0;
  bool HasWidth = false;  // MENU WIDTH was given (the graphical menu's default is its columns)
};

// What a submenu takes from its parent where it begins.
struct Settings {
  Layout Geometry;
  ColorTable Colors = DefaultColors();
  std::string TabMsg = "Press [Tab] to edit options";
  std::string NoTabMsg;
  std::string AutoBoot = "Automatic boot in # second{,s}...";
  std::string PassPrompt = "Password required";
  bool HasMasterPassword = false;
  std::string MasterPassword;
  Place MasterPasswordWhere;
  // The countdown, in tenths of a second (TIMEOUT, TOTALTIMEOUT), and what it runs.
  int Timeout = 0, TotalTimeout = 0;
  std::string OnTimeout;
  Place OnTimeoutWhere;
  // For the graphical menu, read and kept: MENU RESOLUTION, MENU BACKGROUND, MENU MSGCOLOR.
  int ResolutionWidth = 640, ResolutionHeight = 480;
  Place ResolutionWhere;  // for --check: the MENU RESOLUTION line's width
  Named Background;
  // For --check: where the MENU COLOR line that last set each element names it (nowhere:
  // the loader's default).
  std::array<Place, ElementCount> ColorWhere{};
  std::string MsgColor;
};

struct Menu {
  std::string Tag;       // "" for the top menu and an untagged MENU BEGIN
  Place Where;           // the MENU BEGIN or MENU INCLUDE line; nowhere for the top
  int Parent = -1;       // the menu it was begun in
  int ParentEntry = -1;  // the parent's entry that opens it
  std::string Title;
  bool HasTitle = false;
  Place TitleWhere;    // the MENU TITLE line's text
  bool Start = false;  // MENU START
  Settings Set;
  std::vector<Entry> Entries;  // in reading order, hidden ones included
};

// Everything the menu module reads.
struct Model {
  std::vector<Menu> Menus;  // [0] is the top menu
  std::vector<std::string> FilesRead;
  Named Default;  // DEFAULT label
  bool AllowOptions = true, NoEscape = false, Hidden = false, Immediate = false;
  bool ShiftKey = false, Clear = false;
  Place HiddenWhere;
  std::array<Named, 13> FKeys;  // F1..F12 at 1..12 (F0 is F10)
  // The background each F line names after its file, for the graphical menu ("": none).
  std::array<Named, 13> FKeyPictures;
  Named Font;
  // Entries named where they stand, for --check: every include and every file the
  // configuration names that the loader would look for.
  std::vector<Named> Includes;
  std::vector<Named> MissingIncludes;
};

// Reads the menu from the configuration files in order (one for the usual start), with
// their include lines followed as the loader follows them.
Model ReadModel(const media::Medium& files, const std::vector<std::string>& configs);

// Where a row of the configuration falls on a screen of `rows` rows (the 25-row text
// screen's by default), 0-based: a negative row counts from the bottom.
int ScreenRow(int configured, int rows = 25);

}  // namespace menu
