#include "menu/Session.h"

#include <algorithm>
#include <climits>

#include "UTypes/UTypes.h"
#include "menu/Password.h"

namespace menu {

namespace {

// The box's glyphs in code page 437.
constexpr unsigned char TopLeft = 0xDA, TopRight = 0xBF, BottomLeft = 0xC0, BottomRight = 0xD9;
constexpr unsigned char Horizontal = 0xC4, Vertical = 0xB3, TeeLeft = 0xC3, TeeRight = 0xB4;
constexpr unsigned char Thumb = 0xB1;

// Control keys as the keyboard gives them.
constexpr uint8_t CtrlA = 1, CtrlB = 2, CtrlC = 3, CtrlE = 5, CtrlF = 6, CtrlK = 11, CtrlN = 14,
                  CtrlP = 16, CtrlU = 21, CtrlW = 23;

// The longest command line and password the editors keep.
constexpr std::size_t MaxLine = 4096;
constexpr std::size_t MaxPassword = 256;

bool IsExtended(Key key, uint8_t code) { return key.Char == 0 && key.Extended == code; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A message file's colour codes: code XX selects the element msgXX, whose attribute (when it
// has one) becomes the pen.
class MessageColours : public UTypes::DisplaySink {
 public:
  MessageColours(const ColorTable& colors, uint8_t& pen) : Colors(colors), Pen(pen) {}

  void SetTextForeground(uint16_t colour) override {
    Code = static_cast<uint8_t>((Code & 0xF0) | (colour & 0x0F));
    Apply();
  }
  void SetTextBackground(uint16_t colour) override {
    Code = static_cast<uint8_t>((Code & 0x0F) | ((colour & 0x0F) << 4));
    Apply();
  }

 protected:
  virtual void Apply() {
    // A msgXX without an attribute of its own leaves the one in force.
    if (const auto& attr = Colors[static_cast<std::size_t>(FirstMsgColor + Code)].Attr) Pen = *attr;
  }
  int16_t Element() const { return static_cast<int16_t>(FirstMsgColor + Code); }

  const ColorTable& Colors;
  uint8_t& Pen;
  uint8_t Code = 0x07;
};

// Draws a message file onto the text screen's grid in the attributes of msgXX.
class MessageSink : public MessageColours {
 public:
  MessageSink(screen::ScreenGrid& grid, const ColorTable& colors, uint8_t& pen)
      : MessageColours(colors, pen), Grid(grid) {}

  void ClearScreen() override {
    Apply();
    Grid.ClearScreen();
  }
  void Write(std::string_view bytes) override { Grid.Write(bytes); }

 private:
  void Apply() override {
    MessageColours::Apply();
    Grid.SetAttribute(Pen);
  }

  screen::ScreenGrid& Grid;
};

// Draws a message file onto the graphics screen's grid as the graphical menu lays it out:
// from the first row's first cell, on the next row after the last column, each colour code
// XX in the element msgXX; a clear blanks every cell in the colours in force.
class GraphicalMessageSink : public MessageColours {
 public:
  GraphicalMessageSink(screen::ScreenGrid& grid, const ColorTable& colors, uint8_t& pen)
      : MessageColours(colors, pen), Grid(grid) {}

  void ClearScreen() override {
    Apply();
    for (int row = 0; row < Grid.RowCount(); ++row)
      for (int column = 0; column < Grid.ColumnCount(); ++column) Grid.Put(row, column, Blank());
    Row = Column = 0;
  }
  void Write(std::string_view bytes) override {
    for (char byte : bytes) {
      const auto c = static_cast<unsigned char>(byte);
      if (c == '\n') {
        ++Row;
        Column = 0;
      } else if (c == '\r') {
        Column = 0;
      } else {
        screen::Cell cell = Blank();
        // The graphical menu shows byte 0x7F of a file as a blank.
        cell.Char = c == 0x7F ? ' ' : c;
        Grid.Put(Row, Column, cell);
        if (++Column == Grid.ColumnCount()) {
          ++Row;
          Column = 0;
        }
      }
    }
  }

 private:
  screen::Cell Blank() const { return {' ', Pen, Element()}; }

  screen::ScreenGrid& Grid;
  int Row = 0, Column = 0;
};

// The words of a command line, joined by single blanks.
std::string JoinWords(std::initializer_list<std::string> parts) {
  std::string line;
  for (const auto& part : parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += ' ';
    line += part;
  }
  return line;
}

}  // namespace

Session::Session(const media::Medium& files, const std::string& configName, Module kind)
    : Files(files), Data(ReadModel(files, {configName})), Graphical(kind == Module::Graphical) {
  Start(configName);
}

Session::Session(const media::Medium& files, const MenuStart& start)
    : Files(files),
      Data(ReadModel(files, start.Configs)),
      Graphical(start.Kind == Module::Graphical) {
  Start(start.StartConfig);
}

// ---- Where things are ----

int Session::Row(int configured, bool shifted) const {
  const int row = ScreenRow(configured, ScreenRows) + (shifted ? Geometry().VShift : 0);
  // The graphics screen draws a row past its last on its last.
  return Graphical ? std::min(row, ScreenRows - 1) : row;
}

Layout Session::Geometry() const {
  Layout g = Set().Geometry;
  if (Graphical && !g.HasWidth) g.Width = ScreenColumns;
  return g;
}

const Entry& Session::VisibleEntry(int index) const {
  return Shown().Entries[static_cast<std::size_t>(Visible[static_cast<std::size_t>(index)])];
}

// ---- Starting ----

void Session::Start(const std::string& startConfig) {
  StartConfig = startConfig;
  if (Graphical) StartGraphics();
  // DEFAULT naming an entry of a submenu starts there; else MENU START; else the top.
  int startMenu = 0, startEntry = -1;
  for (std::size_t m = 0; m < Data.Menus.size() && startEntry < 0; ++m)
    for (std::size_t e = 0; e < Data.Menus[m].Entries.size(); ++e) {
      const Entry& entry = Data.Menus[m].Entries[e];
      if (!Data.Default.Name.empty() && entry.Label == Data.Default.Name && !entry.Separator &&
          entry.Does != Action::Submenu) {
        startMenu = static_cast<int>(m);
        startEntry = static_cast<int>(e);
        break;
      }
    }
  if (startEntry < 0)
    for (std::size_t m = 1; m < Data.Menus.size(); ++m)
      if (Data.Menus[m].Start) {
        startMenu = static_cast<int>(m);
        break;
      }
  // Esc leads up through the menus above the start, each as it first shows.
  std::vector<int> chain;
  for (int m = Data.Menus[static_cast<std::size_t>(startMenu)].Parent; m >= 0;
       m = Data.Menus[static_cast<std::size_t>(m)].Parent)
    chain.insert(chain.begin(), m);
  for (std::size_t m = 0; m < Data.Menus.size(); ++m) Saved.push_back(Initial(static_cast<int>(m)));
  Stack = chain;
  Here = Saved[static_cast<std::size_t>(startMenu)];
  Enter(startMenu, false);
  if (startEntry >= 0) {
    const auto found = std::find(Visible.begin(), Visible.end(), startEntry);
    if (found != Visible.end()) MoveTo(static_cast<int>(found - Visible.begin()));
  }

  const Settings& set = Set();
  TimeoutRuns = set.Timeout > 0;
  TimeoutLeft = set.Timeout * 100;
  TotalRuns = set.TotalTimeout > 0;
  TotalLeft = set.TotalTimeout * 100;
  StartPending = Data.ShiftKey;
  Grid.ShowCursor(false);
  if (Data.Hidden) {
    Now = Mode::Hidden;
    Use(ScreenColor);
    for (int row = 0; row < ScreenRows; ++row) ClearRow(row, ScreenColor);
    DrawHiddenCountdown();
    return;
  }
  Now = Mode::Menu;
  DrawAll();
}

Session::Place Session::Initial(int menu) const {
  const Menu& m = Data.Menus[static_cast<std::size_t>(menu)];
  std::vector<int> visible;
  for (std::size_t e = 0; e < m.Entries.size(); ++e)
    if (!m.Entries[e].Hidden) visible.push_back(static_cast<int>(e));
  Place place;
  place.Menu = menu;
  int chosen = -1;
  for (std::size_t i = 0; i < visible.size(); ++i) {
    const Entry& entry = m.Entries[static_cast<std::size_t>(visible[i])];
    if (!entry.Selectable()) continue;
    if (entry.IsDefault && chosen < 0) chosen = static_cast<int>(i);
  }
  if (chosen < 0)
    for (std::size_t i = 0; i < visible.size() && chosen < 0; ++i)
      if (m.Entries[static_cast<std::size_t>(visible[i])].Selectable())
        chosen = static_cast<int>(i);
  place.Selected = std::max(chosen, 0);
  const int rows = std::max(m.Set.Geometry.Rows, 1);
  const int count = static_cast<int>(visible.size());
  if (place.Selected >= rows) place.Top = std::min(place.Selected, std::max(count - rows, 0));
  return place;
}

void Session::Enter(int menu, bool remember) {
  // A menu shows again as it was left: the loader keeps each one's selection.
  Saved[static_cast<std::size_t>(Here.Menu)] = Here;
  if (remember) Stack.push_back(Here.Menu);
  Here = Saved[static_cast<std::size_t>(menu)];
  Visible.clear();
  const Menu& m = Shown();
  for (std::size_t e = 0; e < m.Entries.size(); ++e)
    if (!m.Entries[e].Hidden) Visible.push_back(static_cast<int>(e));
  Clamp();
}

// ---- Moving the selection ----

int Session::NextSelectable(int from, int step) const {
  for (int i = from + step; i >= 0 && i < VisibleCount(); i += step)
    if (VisibleEntry(i).Selectable()) return i;
  return -1;
}

void Session::MoveTo(int selected) {
  Here.Selected = selected;
  Clamp();
}

void Session::Clamp() {
  const int rows = std::max(Geometry().Rows, 1);
  const int count = VisibleCount();
  Here.Selected = std::clamp(Here.Selected, 0, std::max(count - 1, 0));
  Here.Top = std::clamp(Here.Top, 0, std::max(count - rows, 0));
  if (Here.Selected < Here.Top) Here.Top = Here.Selected;
  if (Here.Selected >= Here.Top + rows) Here.Top = Here.Selected - rows + 1;
}

// ---- Drawing ----

void Session::Use(int element) {
  Drawing = element;
  if (const auto& attr = Set().Colors[static_cast<std::size_t>(element)].Attr) Pen = *attr;
}

void Session::Cell(int row, int column, unsigned char c) {
  Grid.Put(row, column, {c, Pen, static_cast<int16_t>(Drawing)});
}

void Session::Text(int row, int column, std::string_view text) {
  for (char c : text) {
    if (column >= ScreenColumns) break;
    Cell(row, column++, static_cast<unsigned char>(c));
  }
}

void Session::ClearRow(int row, int element) {
  Use(element);
  for (int column = 0; column < ScreenColumns; ++column) Cell(row, column, ' ');
}

void Session::DrawAll() {
  Use(ScreenColor);
  for (int row = 0; row < ScreenRows; ++row)
    for (int column = 0; column < ScreenColumns; ++column) Cell(row, column, ' ');
  DrawBox();
  DrawTabMessage();
  DrawHelp();
  if (TimeoutRuns) DrawCountdown();
  Grid.ShowCursor(false);
}

void Session::DrawBox() {
  const Layout g = Geometry();
  const int left = g.HShift + g.Margin, right = g.HShift + g.Width - g.Margin - 1;
  const int top = g.VShift;
  auto line = [&](int row, unsigned char first, unsigned char last) {
    Use(BorderColor);
    Cell(row, left, first);
    for (int column = left + 1; column < right; ++column) Cell(row, column, Horizontal);
    Cell(row, right, last);
  };
  line(top, TopLeft, TopRight);
  // The title row: blanks in the title's colours, the title centred in the menu's width.
  Use(BorderColor);
  Cell(top + 1, left, Vertical);
  Use(TitleColor);
  for (int column = left + 1; column < right; ++column) Cell(top + 1, column, ' ');
  const Menu& menu = Shown();
  std::string title = menu.Title;
  const int widest = std::max(g.Width - 2 * g.Margin - 4, 0);
  if (static_cast<int>(title.size()) > widest) title.resize(static_cast<std::size_t>(widest));
  Text(top + 1, g.HShift + (g.Width - static_cast<int>(title.size())) / 2, title);
  Use(BorderColor);
  Cell(top + 1, right, Vertical);
  line(top + 2, TeeLeft, TeeRight);
  DrawEntries();
  line(top + 3 + std::max(g.Rows, 0), BottomLeft, BottomRight);
}

void Session::DrawEntries() {
  const int rows = std::min(std::max(Geometry().Rows, 0), ScreenRows);
  for (int k = 0; k < rows; ++k) DrawEntry(k);
}

void Session::DrawEntry(int k) {
  const Layout g = Geometry();
  const int left = g.HShift + g.Margin, right = g.HShift + g.Width - g.Margin - 1;
  const int row = g.VShift + 3 + k;
  const int index = Here.Top + k;
  const int count = VisibleCount();
  const int rows = std::max(g.Rows, 1);
  Use(BorderColor);
  Cell(row, left, Vertical);
  if (index >= count) {
    Use(UnselColor);
    for (int column = left + 1; column < right; ++column) Cell(row, column, ' ');
  } else {
    const Entry& entry = VisibleEntry(index);
    const bool selected = index == Here.Selected && SelectionBar;
    const int element = !entry.Selectable() ? DisabledColor : selected ? SelColor : UnselColor;
    const bool marked = entry.Does == Action::Submenu || entry.Does == Action::Exit;
    std::string label = entry.Shown;
    if (entry.Does == Action::Submenu && entry.Submenu >= 0)
      label = Data.Menus[static_cast<std::size_t>(entry.Submenu)].Title;
    const int widest = std::max(g.Width - 2 * g.Margin - (marked ? 6 : 4), 0);
    if (static_cast<int>(label.size()) > widest) label.resize(static_cast<std::size_t>(widest));
    Use(element);
    int column = left + 1;
    Cell(row, column++, ' ');
    for (int i = 0; i < entry.Indent && column < right; ++i) Cell(row, column++, ' ');
    for (std::size_t i = 0; i < label.size() && column < right; ++i) {
      if (static_cast<int>(i) == entry.HotkeyAt && entry.Selectable()) {
        Use(selected ? HotselColor : HotkeyColor);
        Cell(row, column++, static_cast<unsigned char>(label[i]));
        Use(element);
      } else {
        Cell(row, column++, static_cast<unsigned char>(label[i]));
      }
    }
    for (; column < right; ++column) Cell(row, column, ' ');
    if (entry.Does == Action::Submenu) Cell(row, right - 2, '>');
    if (entry.Does == Action::Exit) Cell(row, right - 2, '<');
  }
  // The right side: the scroll bar's thumb where the view stands in the entries.
  bool thumb = false;
  if (count > rows) {
    const int height = std::max(1, rows * rows / count);
    const int start = std::min(Here.Top * (rows - height + 1) / (count - rows + 1), rows - height);
    thumb = k >= start && k < start + height;
  }
  if (thumb) {
    Use(ScrollbarColor);
    Cell(row, right, Thumb);
  } else {
    Use(BorderColor);
    Cell(row, right, Vertical);
  }
}

void Session::DrawTabMessage() {
  const Layout g = Geometry();
  const int row = Row(g.TabMsgRow, true);
  ClearRow(row, ScreenColor);
  if (Set().HasMasterPassword) return;
  const std::string& message = Data.AllowOptions ? Set().TabMsg : Set().NoTabMsg;
  Use(TabmsgColor);
  const int column = g.HShift + (g.Width - static_cast<int>(message.size())) / 2;
  for (std::size_t i = 0; i < message.size(); ++i)
    Cell(row, column + static_cast<int>(i), static_cast<unsigned char>(message[i]));
}

void Session::DrawHelp() {
  const Layout g = Geometry();
  const int first = Row(g.HelpMsgRow, true), last = ScreenRow(g.HelpMsgEndRow, ScreenRows);
  const std::vector<std::string>* help = nullptr;
  if (Here.Selected < VisibleCount() && !VisibleEntry(Here.Selected).HelpText.empty())
    help = &VisibleEntry(Here.Selected).HelpText;
  for (int row = std::max(first, 0); row <= std::min(last, ScreenRows - 1); ++row) {
    ClearRow(row, help != nullptr ? HelpColor : ScreenColor);
    const std::size_t line = static_cast<std::size_t>(row - first);
    if (help != nullptr && line < help->size()) Text(row, 0, (*help)[line]);
  }
  Grid.MoveCursor(last + 1, 0);
}

void Session::DrawCountdown() { DrawCountdownAt(Row(Geometry().TimeoutRow, true)); }

void Session::DrawHiddenCountdown() {
  DrawCountdownAt(ScreenRow(Geometry().HiddenRow, ScreenRows));
}

void Session::DrawCountdownAt(int row) {
  int left = TimeoutRuns ? TimeoutLeft : 0;
  if (TimeoutRuns && TotalRuns) left = std::min(left, TotalLeft);
  const int seconds = std::max((left + 999) / 1000, 0);
  // "#" is the number; {one,many} or {one,two,many} agree with it.
  const std::string number = std::to_string(seconds);
  const std::string& form = Set().AutoBoot;
  std::string text;
  std::vector<bool> isNumber;
  for (std::size_t i = 0; i < form.size(); ++i) {
    if (form[i] == '#') {
      text += number;
      isNumber.insert(isNumber.end(), number.size(), true);
      continue;
    }
    const std::size_t close = form[i] == '{' ? form.find('}', i) : std::string::npos;
    if (close == std::string::npos) {
      text += form[i];
      isNumber.push_back(false);
      continue;
    }
    std::vector<std::string> choices{""};
    for (std::size_t j = i + 1; j < close; ++j) {
      if (form[j] == ',') choices.emplace_back();
      else choices.back() += form[j];
    }
    std::string chosen = choices.back();
    if (seconds == 1) chosen = choices.front();
    else if (seconds == 2 && choices.size() >= 3) chosen = choices[1];
    text += chosen;
    isNumber.insert(isNumber.end(), chosen.size(), false);
    i = close;
  }
  const int column = (ScreenColumns - static_cast<int>(text.size())) / 2;
  Use(TimeoutMsgColor);
  Cell(row, column - 1, ' ');
  for (std::size_t i = 0; i < text.size(); ++i) {
    Use(isNumber[i] ? TimeoutColor : TimeoutMsgColor);
    Cell(row, column + static_cast<int>(i), static_cast<unsigned char>(text[i]));
  }
  Use(TimeoutMsgColor);
  Cell(row, column + static_cast<int>(text.size()), ' ');
  Grid.MoveCursor(row, column + static_cast<int>(text.size()));
}

void Session::DrawPasswordBox() {
  const Layout g = Geometry();
  const int row = Row(g.PasswordRow, true);
  const int left = g.PasswordMargin, right = g.Width - g.PasswordMargin - 1;
  auto line = [&](int r, unsigned char first, unsigned char middle, unsigned char last) {
    Use(PwdborderColor);
    Cell(r, left, first);
    for (int column = left + 1; column < right; ++column) Cell(r, column, middle);
    Cell(r, right, last);
  };
  line(row, TopLeft, Horizontal, TopRight);
  const std::string header = " " + Set().PassPrompt + " ";
  Use(PwdheaderColor);
  const int column = (g.Width - static_cast<int>(Set().PassPrompt.size())) / 2 - 2;
  for (std::size_t i = 0; i < header.size(); ++i)
    Cell(row, column + static_cast<int>(i), static_cast<unsigned char>(header[i]));
  line(row + 1, Vertical, ' ', Vertical);
  line(row + 2, BottomLeft, Horizontal, BottomRight);
  Grid.MoveCursor(row + 1, left + 2);
  Grid.ShowCursor(false);
}

void Session::DrawCommandLine() {
  const int row = Row(Geometry().CmdLineRow, true);
  for (int r = 0; r < LineRows; ++r) ClearRow(row + r, ScreenColor);
  Use(CmdmarkColor);
  Cell(row, 0, '>');
  Cell(row, 1, ' ');
  Use(CmdlineColor);
  for (std::size_t i = 0; i < Line.size(); ++i) {
    const int cell = 2 + static_cast<int>(i);
    Cell(row + cell / ScreenColumns, cell % ScreenColumns, static_cast<unsigned char>(Line[i]));
  }
  LineRows = (2 + static_cast<int>(Line.size())) / ScreenColumns + 1;
  const int cursor = 2 + static_cast<int>(At);
  Grid.MoveCursor(row + cursor / ScreenColumns, cursor % ScreenColumns);
  Grid.ShowCursor(true);
}

void Session::DrawPrompt() {
  if (Graphical) {
    // The graphical menu leaves its graphics mode: the 80x25 text screen, cleared.
    Grid = screen::ScreenGrid();
    ScreenRows = screen::Rows;
    ScreenColumns = screen::Columns;
    Pen = 0x07;
    Drawing = -1;
    Text(0, 0, "boot: ");
    Grid.MoveCursor(0, 6);
    Grid.ShowCursor(true);
    return;
  }
  if (Data.Clear) {
    Grid.SetAttribute(0x07);
    Grid.ClearScreen();
  }
  const int row = std::clamp(ScreenRow(Geometry().EndRow, ScreenRows), 0, ScreenRows - 1);
  Pen = 0x07;
  Text(row, 0, "boot: ");
  Grid.MoveCursor(row, 6);
  Grid.ShowCursor(true);
}

void Session::ShowMessageFile(const std::string& name) {
  if (Graphical) {
    // The graphical menu draws byte 0xFF as a glyph and reads on: its files end at ^Z.
    std::string text = Files.LoadFileBytes(name);
    text.resize(std::min(text.find('\x1a'), text.size()));
    GraphicalMessageSink sink(Grid, Set().Colors, Pen);
    UTypes::RenderDisplayText(text, sink);
  } else {
    MessageSink sink(Grid, Set().Colors, Pen);
    UTypes::RenderDisplayText(Files.LoadWholeFile(name), sink);
  }
  Grid.ShowCursor(false);
}

// ---- Keys ----

Outcome Session::Press(Key key) {
  switch (Now) {
    case Mode::Hidden:
      // Any key shows the menu, and goes no further.
      StopCountdown();
      Now = Mode::Menu;
      DrawAll();
      return {};
    case Mode::Menu: return MenuKey(key);
    case Mode::Editing: return EditKey(key);
    case Mode::Password: return PasswordKey(key);
    case Mode::ShowingFile: return FileKey(key);
    case Mode::Prompt: break;
  }
  return {};
}

void Session::StopCountdown() {
  if (!TimeoutRuns) return;
  TimeoutRuns = false;
  if (Now == Mode::Menu) ClearRow(Row(Geometry().TimeoutRow, true), ScreenColor);
}

bool Session::TakesCharacter(uint8_t c) const {
  if (Now == Mode::Editing || Now == Mode::Password || Now == Mode::Prompt) return true;
  if (Now != Mode::Menu) return false;
  const char wanted = Lower(static_cast<char>(c));
  for (int i = 0; i < VisibleCount(); ++i)
    if (VisibleEntry(i).Hotkey == wanted && VisibleEntry(i).Selectable()) return true;
  return false;
}

int Session::FKeyNumber(Key key) const {
  if (key.Char == 0 && key.Extended >= keys::F1 && key.Extended <= keys::F10)
    return key.Extended - keys::F1 + 1;
  if (IsExtended(key, keys::F11)) return 11;
  if (IsExtended(key, keys::F12)) return 12;
  return 0;
}

Outcome Session::ShowFKeyFile(Key key, const std::string& name) {
  // On the graphics screen, the F line's picture replaces the background, and stays.
  const std::string& picture = Data.FKeyPictures[static_cast<std::size_t>(FKeyNumber(key))].Name;
  if (Graphical && !picture.empty()) SetBackground(picture);
  ShowMessageFile(name);
  Outcome shown;
  shown.Type = Outcome::ShowFile;
  shown.File = name;
  return shown;
}

bool Session::FKeyFile(Key key, std::string& name) const {
  const int n = FKeyNumber(key);
  if (n == 0) return false;
  name = Data.FKeys[static_cast<std::size_t>(n)].Name;
  return !name.empty() && Files.FileIsPresent(name);
}

Outcome Session::MenuKey(Key key) {
  StopCountdown();
  const int rows = std::max(Geometry().Rows, 1);
  const int count = VisibleCount();
  const int before = Here.Selected, beforeTop = Here.Top;
  const uint8_t c = key.Char;
  std::string file;
  if (IsExtended(key, keys::Down) || c == CtrlN) {
    const int next = NextSelectable(Here.Selected, 1);
    if (next >= 0) {
      Here.Selected = next;
      if (next >= Here.Top + rows) Here.Top = std::min(next, std::max(count - rows, 0));
    }
  } else if (IsExtended(key, keys::Up) || c == CtrlP) {
    const int previous = NextSelectable(Here.Selected, -1);
    if (previous >= 0) {
      Here.Selected = previous;
      if (previous < Here.Top) Here.Top = std::max(previous - rows + 1, 0);
    }
  } else if (IsExtended(key, keys::PgDn) || IsExtended(key, keys::Right) || c == CtrlF ||
             c == ' ') {
    Here.Selected = std::min(Here.Selected + rows, std::max(count - 1, 0));
    Here.Top = std::min(Here.Top + rows, std::max(count - rows, 0));
  } else if (IsExtended(key, keys::PgUp) || IsExtended(key, keys::Left) || c == CtrlB) {
    Here.Selected = std::max(Here.Selected - rows, 0);
    Here.Top = std::max(Here.Top - rows, 0);
  } else if (IsExtended(key, keys::Home) || c == CtrlA) {
    Here.Selected = 0;
    Here.Top = 0;
  } else if (IsExtended(key, keys::End) || c == CtrlE) {
    Here.Selected = std::max(count - 1, 0);
    Here.Top = std::max(count - rows, 0);
  } else if (c == keys::Enter || c == '\n') {
    return RunEntry();
  } else if (c == keys::Tab) {
    if (!Data.AllowOptions || count == 0) return {};
    const Entry& entry = VisibleEntry(Here.Selected);
    if (entry.Does != Action::Boot && entry.Does != Action::Config) return {};
    SelectionBar = false;
    DrawEntries();
    if (Set().HasMasterPassword) {
      Now = Mode::Password;
      Asking = PasswordFor::Tab;
      Typed.clear();
      DrawPasswordBox();
      return {};
    }
    StartEditing();
    return {};
  } else if (c == keys::Esc || c == CtrlC) {
    return Escape();
  } else if (FKeyFile(key, file)) {
    Now = Mode::ShowingFile;
    return ShowFKeyFile(key, file);
  } else if (c > ' ' && c != 0x7f) {
    const char wanted = Lower(static_cast<char>(c));
    for (int i = 0; i < count; ++i) {
      const Entry& entry = VisibleEntry(i);
      if (entry.Hotkey != wanted || !entry.Selectable()) continue;
      MoveTo(i);
      if (Data.Immediate) return RunEntry();
      break;
    }
  }
  // Keys that land on an entry that cannot be chosen go on to the nearest one that can.
  if (count > 0 && !VisibleEntry(Here.Selected).Selectable()) {
    int next = NextSelectable(Here.Selected, Here.Selected >= before ? 1 : -1);
    if (next < 0) next = NextSelectable(Here.Selected, Here.Selected >= before ? -1 : 1);
    if (next >= 0) Here.Selected = next;
  }
  Clamp();
  if (Here.Selected != before || Here.Top != beforeTop) {
    DrawEntries();
    DrawHelp();
  } else {
    Grid.MoveCursor(ScreenRow(Geometry().HelpMsgEndRow, ScreenRows) + 1, 0);
  }
  return {};
}

void Session::Back() {
  const int parent = Stack.back();
  Stack.pop_back();
  Enter(parent, false);
}

void Session::StartEditing() {
  const Entry& entry = VisibleEntry(Here.Selected);
  Now = Mode::Editing;
  SelectionBar = false;
  Line = JoinWords({entry.Kernel.Name, entry.KernelArguments, entry.Append});
  At = Line.size();
  LineRows = 1;
  const Layout g = Geometry();
  ClearRow(Row(g.TabMsgRow, true), ScreenColor);
  for (int row = std::max(Row(g.HelpMsgRow, true), 0);
       row <= std::min(ScreenRow(g.HelpMsgEndRow, ScreenRows), ScreenRows - 1); ++row)
    ClearRow(row, ScreenColor);
  DrawCommandLine();
}

Outcome Session::RunEntry() {
  if (VisibleCount() == 0) return {};
  const Entry& entry = VisibleEntry(Here.Selected);
  if (!entry.Selectable()) return {};
  if (entry.HasPassword && (!entry.Password.empty() || Set().HasMasterPassword)) {
    Now = Mode::Password;
    Asking = PasswordFor::Entry;
    Typed.clear();
    DrawPasswordBox();
    return {};
  }
  return Run(entry, true);
}

Outcome Session::Run(const Entry& entry, bool checked) {
  (void)checked;
  Outcome outcome;
  switch (entry.Does) {
    case Action::Boot:
    case Action::Nothing: outcome = BootEntry(entry); break;
    case Action::Config:
      outcome.Type = Outcome::OpenConfiguration;
      outcome.Configuration = entry.Target.Name;
      break;
    case Action::Submenu:
      if (entry.Submenu >= 0) Enter(entry.Submenu, true);
      break;
    case Action::Goto:
      if (entry.Submenu >= 0) Enter(entry.Submenu, true);
      break;
    case Action::Exit:
      if (entry.Submenu >= 0) {
        // MENU EXIT tag: back up to that menu, or there directly when it is not above.
        const auto above = std::find(Stack.begin(), Stack.end(), entry.Submenu);
        if (above != Stack.end()) {
          Stack.erase(above + 1, Stack.end());
          Back();
        } else {
          Enter(entry.Submenu, false);
        }
      } else if (!Stack.empty()) {
        Back();
      }
      break;
    case Action::Quit: return ToPrompt();
    case Action::Help:
      if (Files.FileIsPresent(entry.Target.Name)) {
        Now = Mode::ShowingFile;
        ShowMessageFile(entry.Target.Name);
        outcome.Type = Outcome::ShowFile;
        outcome.File = entry.Target.Name;
        return outcome;
      }
      break;
  }
  Now = Mode::Menu;
  SelectionBar = true;
  DrawAll();
  return outcome;
}

Outcome Session::BootEntry(const Entry& entry) {
  Outcome outcome;
  outcome.Type = Outcome::Boot;
  outcome.Label = entry.Label;
  outcome.Kernel = entry.Does == Action::Nothing ? entry.Label : entry.Kernel.Name;
  outcome.KernelKind = entry.KernelKind;
  std::string initrds;
  for (const Named& initrd : entry.Initrds) {
    initrds += (initrds.empty() ? "" : ",") + initrd.Name;
    outcome.Files.push_back(initrd.Name);
  }
  if (!outcome.Kernel.empty()) outcome.Files.insert(outcome.Files.begin(), outcome.Kernel);
  outcome.CommandLine =
      JoinWords({entry.KernelArguments, entry.Append, initrds.empty() ? "" : "initrd=" + initrds});
  outcome.IpAppend = entry.IpAppend;
  return outcome;
}

Outcome Session::BootLine(const std::string& line, bool edited) {
  Outcome outcome;
  outcome.Type = Outcome::Boot;
  const std::size_t blank = line.find(' ');
  outcome.Kernel = line.substr(0, blank);
  outcome.CommandLine = blank == std::string::npos ? "" : line.substr(blank + 1);
  if (!outcome.Kernel.empty()) outcome.Files.push_back(outcome.Kernel);
  outcome.Edited = edited;
  return outcome;
}

Outcome Session::ToPrompt() {
  if (Now == Mode::Menu) {
    SelectionBar = false;
    DrawEntries();
  }
  Now = Mode::Prompt;
  DrawPrompt();
  Outcome outcome;
  outcome.Type = Outcome::BootPrompt;
  outcome.Configuration = StartConfig;
  return outcome;
}

Outcome Session::Escape() {
  if (!Stack.empty()) {
    Back();
    DrawAll();
    return {};
  }
  if (!Data.AllowOptions) return {};
  if (Set().HasMasterPassword) {
    SelectionBar = false;
    DrawEntries();
    Now = Mode::Password;
    Asking = PasswordFor::Escape;
    Typed.clear();
    DrawPasswordBox();
    return {};
  }
  return ToPrompt();
}

Outcome Session::EditKey(Key key) {
  const uint8_t c = key.Char;
  auto back = [&]() {
    Now = Mode::Menu;
    SelectionBar = true;
    const int row = Row(Geometry().CmdLineRow, true);
    for (int r = 0; r < LineRows; ++r) ClearRow(row + r, ScreenColor);
    DrawEntries();
    DrawTabMessage();
    DrawHelp();
    Grid.ShowCursor(false);
  };
  if (c == keys::Esc || c == CtrlC) {
    back();
    return {};
  }
  if (c == keys::Enter || c == '\n') {
    const std::string line = Line;
    back();
    return BootLine(line, true);
  }
  if (IsExtended(key, keys::Left) || c == CtrlB) {
    if (At > 0) --At;
  } else if (IsExtended(key, keys::Right) || c == CtrlF) {
    if (At < Line.size()) ++At;
  } else if (IsExtended(key, keys::Home) || c == CtrlA) {
    At = 0;
  } else if (IsExtended(key, keys::End) || c == CtrlE) {
    At = Line.size();
  } else if (IsExtended(key, keys::Delete)) {
    if (At < Line.size()) Line.erase(At, 1);
  } else if (c == keys::Backspace || c == 0x7f) {
    if (At > 0) Line.erase(--At, 1);
  } else if (c == CtrlW) {
    std::size_t from = At;
    while (from > 0 && Line[from - 1] == ' ') --from;
    while (from > 0 && Line[from - 1] != ' ') --from;
    Line.erase(from, At - from);
    At = from;
  } else if (c == CtrlU) {
    Line.clear();
    At = 0;
  } else if (c == CtrlK) {
    Line.erase(At);
  } else if (c >= ' ' && Line.size() < MaxLine) {
    Line.insert(At++, 1, static_cast<char>(c));
  }
  DrawCommandLine();
  return {};
}

bool Session::PasswordMatches(const std::string& typed, const std::string& expected,
                              bool& unchecked) const {
  const PasswordCheck check = CheckPassword(typed, expected);
  if (check == PasswordCheck::Unchecked) unchecked = true;
  return check != PasswordCheck::Wrong;
}

Outcome Session::PasswordKey(Key key) {
  const uint8_t c = key.Char;
  const Layout g = Geometry();
  const int row = Row(g.PasswordRow, true) + 1;
  if (c == keys::Enter || c == '\n') {
    bool unchecked = false;
    bool right = false;
    if (Asking == PasswordFor::Entry) {
      const Entry& entry = VisibleEntry(Here.Selected);
      right = !entry.Password.empty() && PasswordMatches(Typed, entry.Password, unchecked);
    }
    if (!right && Set().HasMasterPassword)
      right = PasswordMatches(Typed, Set().MasterPassword, unchecked);
    Typed.clear();
    Outcome outcome;
    if (!right) {
      Now = Mode::Menu;
      SelectionBar = true;
      DrawAll();
    } else if (Asking == PasswordFor::Entry) {
      Now = Mode::Menu;
      outcome = Run(VisibleEntry(Here.Selected), true);
    } else if (Asking == PasswordFor::Tab) {
      // The box goes; the menu stays without its selection bar under the editor.
      DrawAll();
      StartEditing();
    } else {
      Now = Mode::Password;
      outcome = ToPrompt();
    }
    outcome.PasswordUnchecked = outcome.PasswordUnchecked || unchecked;
    return outcome;
  }
  if (c == keys::Esc) {
    Typed.clear();
    Now = Mode::Menu;
    SelectionBar = true;
    DrawAll();
    return {};
  }
  if (c == keys::Backspace) {
    if (!Typed.empty()) {
      Typed.pop_back();
      Use(PwdentryColor);
      Cell(row, g.PasswordMargin + 2 + static_cast<int>(Typed.size()), ' ');
    }
  } else if (c >= ' ' && Typed.size() < MaxPassword) {
    Use(PwdentryColor);
    Cell(row, g.PasswordMargin + 2 + static_cast<int>(Typed.size()), '*');
    Typed += static_cast<char>(c);
  }
  Grid.MoveCursor(row, g.PasswordMargin + 2 + static_cast<int>(Typed.size()));
  return {};
}

Outcome Session::FileKey(Key key) {
  std::string file;
  if (FKeyFile(key, file)) return ShowFKeyFile(key, file);
  Now = Mode::Menu;
  DrawAll();
  return {};
}

// ---- Time ----

Outcome Session::Elapse(int milliseconds) {
  if (StartPending) {
    StartPending = false;
    return TimeUp();
  }
  if (milliseconds <= 0 || Now == Mode::Prompt) return {};
  if (TimeoutRuns) TimeoutLeft -= std::min(milliseconds, TimeoutLeft);
  if (TotalRuns) TotalLeft -= std::min(milliseconds, TotalLeft);
  if ((TimeoutRuns && TimeoutLeft <= 0) || (TotalRuns && TotalLeft <= 0)) return TimeUp();
  if (TimeoutRuns) {
    if (Now == Mode::Hidden) DrawHiddenCountdown();
    else if (Now == Mode::Menu) DrawCountdown();
  }
  return {};
}

int Session::NextChangeMs() const {
  if (StartPending) return 0;
  if (Now == Mode::Prompt) return -1;
  int next = -1;
  if (TimeoutRuns) {
    const int left = TotalRuns ? std::min(TimeoutLeft, TotalLeft) : TimeoutLeft;
    const int shown = (left + 999) / 1000;
    next = std::max(left - (shown - 1) * 1000, 1);
  }
  if (TotalRuns) next = next < 0 ? TotalLeft : std::min(next, TotalLeft);
  return next;
}

Outcome Session::TimeUp() {
  const bool wasCounting = TimeoutRuns;
  TimeoutRuns = false;
  TotalRuns = false;
  if (wasCounting && Now == Mode::Menu) ClearRow(Row(Geometry().TimeoutRow, true), ScreenColor);
  // ONTIMEOUT names a label or a command line; else DEFAULT; else the menu's own default.
  const std::string& command = !Set().OnTimeout.empty() ? Set().OnTimeout : Data.Default.Name;
  const Entry* chosen = nullptr;
  if (!command.empty()) {
    for (const Menu& menu : Data.Menus)
      for (const Entry& entry : menu.Entries)
        if (chosen == nullptr && entry.Label == command && !entry.Separator) chosen = &entry;
  } else if (VisibleCount() > 0) {
    chosen = &Data.Menus[static_cast<std::size_t>(Here.Menu)].Entries[static_cast<std::size_t>(
        Visible[static_cast<std::size_t>(Initial(Here.Menu).Selected)])];
  }
  Outcome outcome;
  if (chosen != nullptr) {
    if (chosen->Does == Action::Config) {
      outcome.Type = Outcome::OpenConfiguration;
      outcome.Configuration = chosen->Target.Name;
    } else {
      outcome = BootEntry(*chosen);
    }
  } else if (!command.empty()) {
    outcome = BootLine(command, false);
  }
  outcome.ByTimeout = true;
  return outcome;
}

// ---- Snapshots ----

std::vector<std::string> Session::MenuNames() const {
  std::vector<std::string> names;
  for (std::size_t m = 0; m < Data.Menus.size(); ++m)
    names.push_back(m == 0                       ? ""
                    : !Data.Menus[m].Tag.empty() ? Data.Menus[m].Tag
                                                 : std::to_string(m));
  return names;
}

void Session::Open(const std::string& name) {
  const std::vector<std::string> names = MenuNames();
  const auto found = std::find(names.begin(), names.end(), name);
  if (found == names.end()) return;
  const int menu = static_cast<int>(found - names.begin());
  std::vector<int> chain;
  for (int m = Data.Menus[static_cast<std::size_t>(menu)].Parent; m >= 0;
       m = Data.Menus[static_cast<std::size_t>(m)].Parent)
    chain.insert(chain.begin(), m);
  Stack = chain;
  // The menu and those above it show as they first show; the others are not on the way.
  chain.push_back(menu);
  for (int m : chain) Saved[static_cast<std::size_t>(m)] = Initial(m);
  Here = Saved[static_cast<std::size_t>(menu)];
  Enter(menu, false);
  TimeoutRuns = TotalRuns = StartPending = false;
  // From the boot: prompt's text screen, the graphical menu's screen comes back.
  if (Graphical && Now == Mode::Prompt) LayGraphicsGrid();
  Now = Mode::Menu;
  SelectionBar = true;
  DrawAll();
}

}  // namespace menu
