#include "console/TerminalWriter.h"

#include <algorithm>
#include <array>
#include <utility>

#include "console/KittyPicture.h"
#include "console/PictureScaling.h"
#include "console/Sgr.h"
#include "console/SixelPicture.h"
#include "screen/GraphicalDrawing.h"

namespace console {

TerminalWriter::TerminalWriter(std::string_view codeset)
    : Table(BuildDisplayTable(codeset)), Glyphs(BuildDisplayTable(codeset, true)) {}

namespace {

// The cursor to a row and column of the screen, counted from 0.
std::string CursorTo(int row, int column) {
  return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

}  // namespace

void TerminalWriter::HideCursor() {
  if (CursorShown) Out += "\x1b[?25l";  // no cursor runs across the screen as it is drawn
  CursorShown = false;
  HidCursor = true;
  if (InFrame) Out += "\x1b[r";  // the cells are placed one by one: nothing scrolls
  InFrame = false;
}

void TerminalWriter::Cells(const screen::ScreenGrid& grid, bool cursorShown, int rows,
                           int columns) {
  TakePictureOff();
  HideCursor();
  const int shownRows = std::min(rows, screen::Rows),
            shownColumns = std::min(columns, screen::Columns);
  for (int row = 0; row < shownRows; ++row) {
    int at = -1;  // where the terminal's cursor stands in this row, when it is known
    for (int column = 0; column < shownColumns; ++column) {
      const screen::Cell& cell = grid.At(row, column);
      if (ShownGrid && ShownGrid->At(row, column).Char == cell.Char &&
          ShownGrid->At(row, column).Attr == cell.Attr)
        continue;
      if (at != column) Out += CursorTo(row, column);
      UseAttr(cell.Attr);
      Out += Glyphs[cell.Char];
      at = column + 1;
    }
  }
  ShownGrid = grid;
  ShownGridCursor = cursorShown;
  Out += CursorTo(std::min(grid.CursorRow(), shownRows - 1),
                  std::min(grid.CursorColumn(), shownColumns - 1));
  if (cursorShown) Out += "\x1b[?25h";
  CursorShown = cursorShown;
}

void TerminalWriter::Graphical(screen::GraphicalScreen shown, const TerminalAbilities& abilities,
                               int rows, int columns, const screen::ColourRowFill& fillRow) {
  ShownGrid.reset();
  HideCursor();
  screen::ColourGrid& grid = shown.Cells;
  const int shownRows = std::min(rows, grid.Rows), shownColumns = std::min(columns, grid.Columns);
  if (!ShownGraphical || ShownAbilities.Depth != abilities.Depth) ShownColourGrid.reset();
  // A sixel picture lies in the cells: text sent there would cut holes into it.
  if (abilities.Pictures != PictureProtocol::Sixel || !SentPicture)
    ColourCells(grid, abilities.Depth, shownRows, shownColumns, fillRow);
  else screen::FillAllRows(grid, fillRow);
  if (abilities.Pictures != PictureProtocol::None) SendPicture(shown, abilities, rows, columns);
  if (shownRows > 0 && shownColumns > 0)
    Out += CursorTo(std::clamp(grid.CursorRow, 0, shownRows - 1),
                    std::clamp(grid.CursorColumn, 0, shownColumns - 1));
  // Over a kitty picture the terminal's cursor would stand off the picture's cells (its
  // blocks start at the screen's corner, the cells 8 pixels in): the picture shows its own.
  const bool cursor = grid.CursorShows &&
                      !(SentPicture && SentPicture->Abilities.Pictures == PictureProtocol::Kitty);
  if (cursor) Out += "\x1b[?25h";
  CursorShown = cursor;
  // Kept whole, once: a screen's picture is most of a megabyte.
  ShownGraphical = std::move(shown);
  ShownAbilities = abilities;
}

void TerminalWriter::ColourCells(screen::ColourGrid& grid, ColourDepth depth, int rows, int columns,
                                 const screen::ColourRowFill& fillRow) {
  const bool known = ShownColourGrid && ShownColourGrid->Rows == grid.Rows &&
                     ShownColourGrid->Columns == grid.Columns;
  bool changed = false;  // colours of rows filled before changed while later ones were filled
  for (int row = 0; row < grid.Rows; ++row) {
    if (fillRow) {
      // The rows that are ready go to the terminal while the next one is awaited.
      if (Out.size() >= RowFlushSize && FlushEarly) FlushEarly();
      if (!fillRow(grid, row)) changed = true;
    }
    if (row >= rows) continue;  // below the terminal: filled for the grid kept, not sent
    int at = -1;                // where the terminal's cursor stands in this row, when it is known
    for (int column = 0; column < columns; ++column) {
      const screen::ColourCell& cell = grid.At(row, column);
      if (known && ShownColourGrid->At(row, column) == cell) continue;
      if (at != column) Out += CursorTo(row, column);
      UseColours(cell, depth);
      Out += Glyphs[cell.Char];
      at = column + 1;
    }
  }
  ShownColourGrid = grid;
  if (!changed) return;
  // Every row again as it is now, and the cells whose colours changed sent again.
  for (int row = 0; row < grid.Rows; ++row) fillRow(grid, row);
  ColourCells(grid, depth, rows, columns, {});
}

void TerminalWriter::SendPicture(const screen::GraphicalScreen& shown,
                                 const TerminalAbilities& abilities, int rows, int columns) {
  if (abilities.Pictures == PictureProtocol::Kitty)
    return SendKittyStrips(shown, abilities.SharedMemory, rows, columns);
  const screen::ColourGrid& grid = shown.Cells;
  const int pictureRows = std::min(rows - 1, grid.Rows),
            pictureColumns = std::min(columns, grid.Columns);
  if (pictureRows <= 0 || pictureColumns <= 0 || grid.Rows <= 0 || grid.Columns <= 0) return;
  // The part of the picture under the cells that fit, the last row kept free: a sixel
  // reaching the bottom row would scroll the screen.
  const screen::RgbImage part =
      Cropped(shown.Picture, shown.Picture.Width * pictureColumns / grid.Columns,
              shown.Picture.Height * pictureRows / grid.Rows);
  if (SentPicture && SentPicture->Abilities.Pictures == abilities.Pictures &&
      SentPicture->Abilities.CellWidth == abilities.CellWidth &&
      SentPicture->Abilities.CellHeight == abilities.CellHeight &&
      SentPicture->Rows == pictureRows && SentPicture->Columns == pictureColumns &&
      SentPicture->Picture.Width == part.Width && SentPicture->Picture.Pixels == part.Pixels)
    return;
  Out += CursorTo(0, 0);
  Out += SixelImage(
      Scaled(part, pictureColumns * abilities.CellWidth, pictureRows * abilities.CellHeight));
  SentPicture = {abilities, pictureRows, pictureColumns, part};
}

// The kitty picture lies over the terminal's cells as the screen's blocks of 8 x CellHeight
// pixels, one a cell, the right and bottom edges filled with black up to a whole cell. It goes
// in strips of whole rows of cells, each a picture of its own (id KittyPictureId + strip), so
// that a key sends again only the strips it changed: a whole 640x480 screen takes longer to
// pack and to pass than a key may. Being whole blocks, the strips are scaled alike and meet
// without a seam. A strip is at least 16 pixels high, so that even a screen of 1200 pixel rows
// in the smallest font has few enough to be deleted on the way out. The strips are told
// changed by the picture of the screen shown before. A terminal on this computer reads them
// as raw pixels from shared memory: nothing to pack, and little to pass.
void TerminalWriter::SendKittyStrips(const screen::GraphicalScreen& shown, bool sharedMemory,
                                     int rows, int columns) {
  const screen::RgbImage& picture = shown.Picture;
  const int height = std::max(1, shown.Cells.CellHeight), width = screen::GraphicsCellWidth;
  const int pictureRows = std::min(rows, (picture.Height + height - 1) / height),
            pictureColumns = std::min(columns, (picture.Width + width - 1) / width);
  if (pictureRows <= 0 || pictureColumns <= 0) return;
  const int stripRows = (KittyStripHeight + height - 1) / height;
  const screen::RgbImage* before =
      SentPicture && SentPicture->Abilities.Pictures == PictureProtocol::Kitty &&
              SentPicture->Rows == pictureRows && SentPicture->Columns == pictureColumns &&
              SentPicture->StripRows == stripRows && ShownGraphical &&
              ShownGraphical->Picture.Width == picture.Width &&
              ShownGraphical->Picture.Height == picture.Height
          ? &ShownGraphical->Picture
          : nullptr;
  if (SentPicture && before == nullptr) Out += PictureExit();
  // Noted before the first strip goes: a strip sent early must be taken off on any way out.
  SentPicture = {
      {ColourDepth::Direct, PictureProtocol::Kitty}, pictureRows, pictureColumns, {}, stripRows};
  const int stripWidth = pictureColumns * width, taken = std::min(stripWidth, picture.Width);
  for (int row = 0; row < pictureRows; row += stripRows) {
    const int cells = std::min(stripRows, pictureRows - row), pixelRows = cells * height;
    const int top = row * height, bottom = std::min(picture.Height, top + pixelRows);
    bool same = before != nullptr;
    for (int y = top; y < bottom && same; ++y)
      same = std::equal(&picture.At(0, y), &picture.At(0, y) + taken, &before->At(0, y));
    if (same) continue;
    const std::string strip = KittyStrip(picture, sharedMemory, top, stripWidth, pixelRows,
                                         KittyPictureId + row / stripRows, pictureColumns, cells);
    if (strip.empty()) {  // a build without libdeflate: the cells stay
      SentPicture.reset();
      return;
    }
    Out += CursorTo(row, 0);
    Out += strip;
    // The terminal reads one strip while the next are packed.
    if (FlushEarly && Out.size() >= EarlyFlushSize) FlushEarly();
  }
}

// The commands of one strip: `height` pixel rows from `top` on, `width` wide, filled with black
// where the picture ends; empty when it cannot be made.
std::string TerminalWriter::KittyStrip(const screen::RgbImage& picture, bool sharedMemory, int top,
                                       int width, int height, int id, int columns, int rows) {
  // Most screens fill whole cells and fit: their strips go as they are.
  const bool whole = width == picture.Width && top + height <= picture.Height;
  const screen::RgbImage filled = whole ? screen::RgbImage{} : Filled(picture, top, width, height);
  const screen::Colour* pixels = whole ? &picture.At(0, top) : filled.Pixels.data();
  if (sharedMemory && Share) {
    static_assert(sizeof(screen::Colour) == 3);
    const std::string name = Share(std::string_view(reinterpret_cast<const char*>(pixels),
                                                    static_cast<std::size_t>(width) * height * 3));
    if (!name.empty()) return KittySharedPlacement(name, id, width, height, columns, rows);
  }
  const std::string png = EncodePng(pixels, width, height);
  return png.empty() ? std::string() : KittyPlacement(png, id, columns, rows);
}

std::string TerminalWriter::PictureExit() const {
  if (!SentPicture) return {};
  if (SentPicture->Abilities.Pictures == PictureProtocol::Kitty) {
    std::string deletions;
    for (int strip = 0; strip * SentPicture->StripRows < SentPicture->Rows; ++strip)
      deletions += KittyDeletion(KittyPictureId + strip);
    return deletions;
  }
  // Sixel pixels go with the cells they lie in: the rows down to the picture's last cleared,
  // in the terminal's own colours rather than the last cell's.
  return "\x1b[0m\x1b[" + std::to_string(SentPicture->Rows) + ";999H\x1b[1J\x1b[H";
}

void TerminalWriter::TakePictureOff() {
  if (SentPicture) Out += PictureExit(), ForgetColours();
  SentPicture.reset();
  ShownGraphical.reset();
  ShownColourGrid.reset();
}

void TerminalWriter::UseColours(const screen::ColourCell& cell, ColourDepth depth) {
  const bool known = SentColours && SentColours->Depth == depth;
  // A blank cell shows no foreground: the one the terminal has will do.
  const bool blank = cell.Char == ' ' || cell.Char == 0 || cell.Char == 0xFF;
  const screen::Colour ink = known && blank ? SentColours->Foreground : cell.Foreground;
  if (known && SentColours->Foreground == ink && SentColours->Background == cell.Background) return;
  if (!known || depth == ColourDepth::Sixteen) {
    Out += SgrForColours(ink, cell.Background, depth);
  } else {
    AppendColourChange(Out, SentColours->Foreground == ink ? nullptr : &ink,
                       SentColours->Background == cell.Background ? nullptr : &cell.Background,
                       depth);
  }
  SentColours = {ink, cell.Background, depth};
  SentAttr = -1;
  AnyColourSent = true;
}

void TerminalWriter::UseAttr(uint16_t attr) {
  // Only the colour bits reach the terminal; a sequence goes out only when they change.
  const int colours = attr & 0xFF;
  if (colours == SentAttr) return;
  // Made once: a dense screen changes colours every few characters.
  static const std::array<std::string, 256> Sequences = [] {
    std::array<std::string, 256> made;
    for (int c = 0; c < 256; ++c)
      made[static_cast<std::size_t>(c)] = SgrFor(static_cast<uint16_t>(c));
    return made;
  }();
  const std::string& sequence = Sequences[static_cast<std::size_t>(colours)];
  Out += sequence;
  Layout.SetColours(sequence);
  SentAttr = colours;
  SentColours.reset();
  AnyColourSent = true;
}

bool TerminalWriter::Redraw(int rows, int columns) {
  if (ShownGraphical) {
    screen::GraphicalScreen shown = *ShownGraphical;
    ShownColourGrid.reset();
    // Kitty's strips stay where they were put: those of another size must go.
    if (SentPicture && SentPicture->Abilities.Pictures == PictureProtocol::Kitty)
      Out += PictureExit();
    SentPicture.reset();
    Graphical(std::move(shown), ShownAbilities, rows, columns);
    return true;
  }
  if (!ShownGrid) return false;
  const screen::ScreenGrid grid = *ShownGrid;
  ShownGrid.reset();
  Cells(grid, ShownGridCursor, rows, columns);
  return true;
}

void TerminalWriter::Clear(uint16_t attr, bool framed) {
  ShownGrid.reset();
  TakePictureOff();
  if (!CursorShown) Out += "\x1b[?25h";
  CursorShown = true;
  UseAttr(attr);
  // The region is set again at every clear: a stop and resume of the program drops it.
  if (framed) Out += FrameLayout::ScrollRegion;
  else if (InFrame) Out += "\x1b[r";
  InFrame = framed;
  Layout.Home();
  if (framed) FrameLayout::Clear(Out);
  else Out += "\x1b[H\x1b[2J";
}

void TerminalWriter::Text(std::string_view bytes, uint16_t attr) {
  if (bytes.empty()) return;
  ShownGrid.reset();
  TakePictureOff();
  UseAttr(attr);
  if (InFrame) {
    Layout.PutAll(bytes, Table.data(), Out);
    return;
  }
  for (char c : bytes) Out += Table[static_cast<unsigned char>(c)];
}

}  // namespace console
