// The graphical menu's screen as the loader draws it: a background picture, and over it a
// grid of 8-pixel-wide cells from (8, 8), each cell's glyph and blank laid in its element's
// colours in linear light, with the element's shadow (docs/graphical-menu.md).
#pragma once

#include <vector>

#include "screen/Blend.h"
#include "screen/CellFont.h"
#include "screen/ColourScreen.h"
#include "screen/PictureFile.h"
#include "screen/ScreenGrid.h"

namespace screen {

// Which pixels of a cell stand out with a shadow below and right of them.
enum class Shadow : uint8_t {
  None,
  Std,  // the glyph's pixels
  All,  // the whole cell
  Rev,  // the blank around the glyph
};

// A MENU COLOR element's colours on the graphics screen.
struct CellColours {
  Argb Foreground = 0, Background = 0;
  Shadow Mode = Shadow::None;
};

// The border around the cells, in pixels, on each side.
constexpr int GraphicsBorder = 8;
constexpr int GraphicsCellWidth = 8;

// The text cells a screen of this size has room for, with cells of this height.
constexpr int GraphicsColumns(int width) {
  return (width - 2 * GraphicsBorder) / GraphicsCellWidth;
}
constexpr int GraphicsRows(int height, int cellHeight) {
  return (height - 2 * GraphicsBorder) / cellHeight;
}

// The loader's own background when none is named: grey, lighter towards the corners.
RgbImage DefaultBackground(int width, int height);
// One colour over the whole screen.
RgbImage SolidBackground(Colour colour, int width, int height);
// A picture file as the background of a screen of this size: at the top-left corner and
// repeated right and down when it is smaller; black when it could not be read or is larger.
RgbImage LaidBackground(PictureFile picture, int width, int height);

// How the grid is drawn: each cell's Element indexes Elements (cells without one are not
// drawn); Strips is the colour the `screen` element lays over the pixels right of and below
// the cells.
struct GraphicalStyle {
  const std::vector<CellColours>& Elements;
  const CellFont& Font;
  Argb Strips = 0;
};

// The mean colour of the background under a cell; Fits is false for a cell that does not
// fit on the screen, which a terminal shows in its default colours.
struct CellMean {
  Colour Mean;
  bool Fits = false;
};
// The means under each cell of a grid of rows x columns cells `height` pixels high, row by row.
std::vector<CellMean> CellMeans(const RgbImage& background, int rows, int columns, int height);

// The same worked out from the background's pixel rows as they come, top to bottom, for a
// background of `width` x `pictureHeight` pixels that is never held whole.
class CellMeanSums {
 public:
  CellMeanSums(int width, int pictureHeight, int rows, int columns, int height);
  // Row `y` of the background, `width` pixels.
  void Take(int y, const Colour* row);
  // The means once every row was taken; those of cells whose rows did not all come are
  // left as the cells that do not fit.
  std::vector<CellMean> Means() && { return std::move(Result); }
  // The same while rows are still taken: the means of the cells whose rows all came.
  const std::vector<CellMean>& MeansSoFar() const { return Result; }

 private:
  int PictureHeight, Rows, Columns, Height, Fitting;
  // Each byte's sum down the current row of cells so far: at most 255 rows of 255 fit.
  std::vector<uint16_t> Sums;
  std::vector<CellMean> Result;
};

// The cells in 24-bit colours, as a terminal shows them: each element's colours blended over
// the mean of the background under its cell (`means` as CellMeans gives them).
ColourGrid GraphicalCells(const std::vector<CellMean>& means, const ScreenGrid& grid,
                          const GraphicalStyle& style);
// One row of them, into `cells` (as GraphicalCells made them for this grid).
void GraphicalCellsRow(const std::vector<CellMean>& means, const ScreenGrid& grid,
                       const GraphicalStyle& style, int row, ColourGrid& cells);

// The picture alone, pixel for pixel.
RgbImage DrawGraphicalPicture(const RgbImage& background, const ScreenGrid& grid,
                              const GraphicalStyle& style);

// Draws the grid (its row 0 at y = 8) and, when it shows, its cursor over the background:
// the picture pixel for pixel, and the cells in 24-bit colours, each laid over the mean
// colour of the background under it.
GraphicalScreen DrawGraphicalScreen(const RgbImage& background, const ScreenGrid& grid,
                                    const GraphicalStyle& style);

}  // namespace screen
