// Turns clears, colour changes and screen bytes into what a terminal is sent. Free of I/O:
// the POSIX console sends Pending() and empties it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "console/DisplayTable.h"
#include "console/FrameLayout.h"
#include "console/TerminalAbilities.h"
#include "screen/ColourScreen.h"
#include "screen/ScreenGrid.h"

namespace console {

class TerminalWriter {
 public:
  // For a terminal whose character set is `codeset` (as nl_langinfo(CODESET) names it).
  explicit TerminalWriter(std::string_view codeset);

  // Blanks the screen in the attribute's colours and homes the cursor. With `framed`,
  // the text that follows is laid out in an 80x25 frame at the top left as on a boot
  // screen, and only the frame is blanked; without, the terminal lays it out itself.
  void Clear(uint16_t attr, bool framed = false);

  // Shows screen bytes in the attribute's colours, each through the display table.
  void Text(std::string_view bytes, uint16_t attr);

  // Shows a whole screen of cells in the frame's place: each cell as its glyph in its
  // colours, only the cells that differ from what the terminal shows, as far as a terminal
  // of `rows` and `columns` holds them. The cursor then stands at the grid's cursor, shown
  // or hidden.
  void Cells(const screen::ScreenGrid& grid, bool cursorShown, int rows, int columns);

  // Shows a graphical screen in the frame's place, as far as a terminal of `rows` and
  // `columns` holds it: its cells where they differ from what the terminal shows, in the
  // colours it shows, and its picture where it draws pictures, sent again only when it
  // changed (kitty: the strips of rows of cells that changed, each replaced under its id;
  // sixel: drawn again over the cells, which are not sent while it shows; it keeps the last
  // row free, where the terminal would scroll). The cursor then stands at the grid's cursor,
  // shown or hidden (hidden over a kitty picture, which shows its own). With `fillRow`, the
  // cells' colours are still coming: each row is filled before it is sent, and what waits is
  // sent on (through the early flush) before a row is awaited.
  void Graphical(screen::GraphicalScreen shown, const TerminalAbilities& abilities, int rows,
                 int columns, const screen::ColourRowFill& fillRow = {});
  // The cells of the graphical screen shown last, whole.
  const screen::ColourGrid& GraphicalCells() const { return ShownGraphical->Cells; }

  // Sends the cells (and the picture) shown last again, all of them (the terminal was drawn
  // over, after a stop); false when the screen shows no cells but text.
  bool Redraw(int rows, int columns);

  // The bytes that take the picture off the screen as the program leaves (kitty: deleted by
  // its id; sixel: its rows cleared); empty while no picture shows.
  std::string PictureExit() const;

  // The terminal's colours were changed behind the writer's back (a question about them):
  // the next text or cell sends its colours again.
  void ForgetColours() { SentAttr = -1, SentColours.reset(); }

  // True once the cursor was hidden, so leaving must show it again.
  bool CursorHidden() const { return HidCursor; }

  // True while text is laid out in the frame, so leaving must release its scrolling region.
  bool Framed() const { return InFrame; }

  // True once a colour has been sent, so leaving must reset the terminal's colours.
  bool ColoursSent() const { return AnyColourSent; }

  // The bytes waiting to be sent to the terminal.
  std::string& Pending() { return Out; }

  // Called with at least EarlyFlushSize bytes waiting in the middle of a long picture, to send
  // them on (and note the picture's way out, as it is by then): a terminal reads the strips
  // sent while the next are packed. Without it everything waits for the end.
  void SetEarlyFlush(std::function<void()> flush) { FlushEarly = std::move(flush); }
  static constexpr std::size_t EarlyFlushSize = 16384;
  // The same for cells whose colours are still coming, before the next row is awaited.
  static constexpr std::size_t RowFlushSize = 4096;

  // How raw pixels are handed to a terminal that reads shared memory: `share` puts the bytes
  // where it reads them and returns their name (empty when it cannot). Without it, or when it
  // fails, kitty pictures travel in-band as PNG.
  void SetPictureSharing(std::function<std::string(std::string_view bytes)> share) {
    Share = std::move(share);
  }

 private:
  void UseAttr(uint16_t attr);
  void UseColours(const screen::ColourCell& cell, ColourDepth depth);
  void ColourCells(screen::ColourGrid& grid, ColourDepth depth, int rows, int columns,
                   const screen::ColourRowFill& fillRow);
  void SendPicture(const screen::GraphicalScreen& shown, const TerminalAbilities& abilities,
                   int rows, int columns);
  void SendKittyStrips(const screen::GraphicalScreen& shown, bool sharedMemory, int rows,
                       int columns);
  std::string KittyStrip(const screen::RgbImage& picture, bool sharedMemory, int top, int width,
                         int height, int id, int columns, int rows);
  void TakePictureOff();
  void HideCursor();

  DisplayTable Table;
  DisplayTable Glyphs;  // every byte as its glyph, for the cells of a whole screen
  std::optional<screen::ScreenGrid> ShownGrid;  // the cells the terminal shows, if it shows cells
  bool ShownGridCursor = false;                 // whether their cursor was to be shown
  bool CursorShown = true;
  bool HidCursor = false;
  FrameLayout Layout;
  bool InFrame = false;
  int SentAttr = -1;
  bool AnyColourSent = false;
  // The 24-bit colours sent last, and at which depth.
  struct SentColourPair {
    screen::Colour Foreground, Background;
    ColourDepth Depth;
  };
  std::optional<SentColourPair> SentColours;
  // The graphical screen shown last, the abilities it was shown with, and its cells as the
  // terminal shows them (none while a sixel picture covers them).
  std::optional<screen::GraphicalScreen> ShownGraphical;
  TerminalAbilities ShownAbilities;
  std::optional<screen::ColourGrid> ShownColourGrid;
  // The picture as the terminal shows it: how, in how many cells, from which pixels (sixel;
  // kitty's are those of ShownGraphical), in strips of how many rows of cells (kitty).
  struct SentPictureState {
    TerminalAbilities Abilities;
    int Rows = 0, Columns = 0;
    screen::RgbImage Picture;
    int StripRows = 1;
  };
  std::optional<SentPictureState> SentPicture;
  std::function<void()> FlushEarly;
  std::function<std::string(std::string_view)> Share;
  std::string Out;
};

}  // namespace console
