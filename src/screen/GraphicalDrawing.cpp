#include "screen/GraphicalDrawing.h"

#include <algorithm>
#include <deque>

namespace screen {

namespace {

// One cell to lay: where, its glyph's rows (of the font's height) and its colours.
struct CellToLay {
  int X, Y;
  const uint8_t* Rows;
  CellColours Colours;
};

bool Raises(Shadow mode, bool foreground) {
  switch (mode) {
    case Shadow::Std: return foreground;
    case Shadow::All: return true;
    case Shadow::Rev: return !foreground;
    case Shadow::None: break;
  }
  return false;
}

// Lays the cells over `under` into `out` (the same size, holding `under` where no cell is):
// a raised pixel takes its colour over the picture pixel below and right of it. Marks the
// raised pixels in `raised`.
void LayCells(RgbImage& out, const RgbImage& under, const std::vector<CellToLay>& cells, int height,
              std::vector<uint8_t>& raised) {
  const int w = out.Width, h = out.Height;
  raised.assign(static_cast<std::size_t>(w * h), 0);
  // A screen has a handful of colours: each one's table is made once.
  std::deque<ColourTable> tables;  // a deque keeps them in place as more are made
  const auto tableOf = [&tables](Argb colour) -> const ColourTable& {
    for (const ColourTable& table : tables)
      if (table.Of() == colour) return table;
    return tables.emplace_back(colour);
  };
  for (const CellToLay& cell : cells) {
    const ColourTable* layers[2] = {&tableOf(cell.Colours.Background),
                                    &tableOf(cell.Colours.Foreground)};
    const bool raises[2] = {Raises(cell.Colours.Mode, false), Raises(cell.Colours.Mode, true)};
    // A cell whose pixels all stay as they are (a clear background, no ink or a clear one, and
    // nothing raised) is left out: `out` holds `under` there already.
    const bool still[2] = {layers[0]->LeavesAsIs() && !raises[0],
                           layers[1]->LeavesAsIs() && !raises[1]};
    if (still[0] && (still[1] || std::all_of(cell.Rows, cell.Rows + height,
                                             [](uint8_t bits) { return bits == 0; })))
      continue;
    for (int y = 0; y < height; ++y) {
      const int py = cell.Y + y;
      const uint8_t bits = cell.Rows[y];
      Colour* row = &out.At(cell.X, py);
      const Colour* here = &under.At(cell.X, py);
      const Colour* belowRight = &under.At(std::min(cell.X + 1, w - 1), std::min(py + 1, h - 1));
      uint8_t* lifted = &raised[static_cast<std::size_t>(py * w + cell.X)];
      for (int x = 0; x < GraphicsCellWidth; ++x) {
        const int foreground = (bits >> (7 - x)) & 1;
        const bool raise = raises[foreground];
        row[x] = layers[foreground]->Over(raise ? belowRight[x] : here[x]);
        lifted[x] = raise;
      }
    }
  }
}

// A pixel that is not raised, below and right of one that is, is darkened to a quarter. Only
// the rows below one with a raised pixel are looked at.
void Shade(RgbImage& out, const std::vector<uint8_t>& raised) {
  const int w = out.Width, h = out.Height;
  for (int y = h - 1; y >= 1; --y) {
    const uint8_t* above = &raised[static_cast<std::size_t>((y - 1) * w)];
    if (std::find(above, above + w, uint8_t{1}) == above + w) continue;
    for (int x = w - 1; x >= 1; --x) {
      const std::size_t at = static_cast<std::size_t>(y * w + x);
      if (raised[at] || !raised[at - static_cast<std::size_t>(w) - 1]) continue;
      Colour& c = out.At(x, y);
      c = {static_cast<uint8_t>(c.Red >> 2), static_cast<uint8_t>(c.Green >> 2),
           static_cast<uint8_t>(c.Blue >> 2)};
    }
  }
}

// The element a cell is drawn in; none for a cell without one.
const CellColours* ElementColours(const GraphicalStyle& style, const Cell& cell) {
  if (cell.Element < 0 || static_cast<std::size_t>(cell.Element) >= style.Elements.size())
    return nullptr;
  return &style.Elements[static_cast<std::size_t>(cell.Element)];
}

RgbImage Blank(int width, int height) {
  RgbImage image;
  image.Width = std::max(width, 0);
  image.Height = std::max(height, 0);
  image.Pixels.resize(static_cast<std::size_t>(image.Width * image.Height));
  return image;
}

}  // namespace

RgbImage DefaultBackground(int width, int height) {
  RgbImage image = Blank(width, height);
  // The smallest shift that keeps the corners' distance below the table's end: 6 at
  // 640x480, 7 at 800x600 and 1024x768, as measured.
  const long long corner = static_cast<long long>(width / 2) * (width / 2) +
                           static_cast<long long>(height / 2) * (height / 2);
  int shift = 0;
  while (shift < 40 && 500 + (corner >> shift) >= 4080) ++shift;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      const long long dx = x - width / 2, dy = y - height / 2;
      const uint8_t v = LinearToShown(static_cast<int>(500 + ((dx * dx + dy * dy) >> shift)));
      image.At(x, y) = {v, v, v};
    }
  return image;
}

RgbImage SolidBackground(Colour colour, int width, int height) {
  RgbImage image = Blank(width, height);
  std::fill(image.Pixels.begin(), image.Pixels.end(), colour);
  return image;
}

RgbImage LaidBackground(PictureFile picture, int width, int height) {
  RgbImage& p = picture.Image;
  if (picture.Status != PictureStatus::Read || p.Width <= 0 || p.Height <= 0 || p.Width > width ||
      p.Height > height)
    return Blank(width, height);
  if (p.Width == width && p.Height == height) return std::move(p);
  RgbImage image = Blank(width, height);
  for (int y = 0; y < image.Height; ++y) {
    const Colour* from = &p.At(0, y % p.Height);
    Colour* to = &image.At(0, y);
    for (int x = 0; x < image.Width; x += p.Width)
      std::copy_n(from, std::min(p.Width, width - x), to + x);
  }
  return image;
}

// The cells that fit, a row of them at a time: first each byte's sum down the cells' pixel
// rows (one pass along whole rows, which the compiler turns into vector additions), then each
// cell's eight pixels of sums once its last row came.
CellMeanSums::CellMeanSums(int width, int pictureHeight, int rows, int columns, int height)
    : PictureHeight(pictureHeight),
      Rows(std::max(rows, 0)),
      Columns(std::max(columns, 0)),
      Height(std::clamp(height, 1, 255)),  // a font's glyphs are at most 255 rows high
      Fitting(std::clamp((width - 2 * GraphicsBorder) / GraphicsCellWidth, 0, Columns)),
      Sums(static_cast<std::size_t>(Fitting * GraphicsCellWidth * 3)),
      Result(static_cast<std::size_t>(Rows * Columns)) {}

void CellMeanSums::Take(int y, const Colour* row) {
  const int from = y - GraphicsBorder, cellRow = from / Height;
  if (from < 0 || cellRow >= Rows || Fitting == 0) return;
  const int y0 = GraphicsBorder + Height * cellRow;
  if (y0 + Height > PictureHeight - GraphicsBorder) return;
  if (y == y0) std::fill(Sums.begin(), Sums.end(), uint16_t{0});
  static_assert(sizeof(Colour) == 3);
  // Through plain pointers: the compiler then adds whole vectors at a time.
  const auto* bytes = reinterpret_cast<const uint8_t*>(row + GraphicsBorder);
  uint16_t* sums = Sums.data();
  const std::size_t count = Sums.size();
  for (std::size_t i = 0; i < count; ++i) sums[i] = static_cast<uint16_t>(sums[i] + bytes[i]);
  if (y != y0 + Height - 1) return;
  const unsigned n = static_cast<unsigned>(GraphicsCellWidth * Height);
  for (int column = 0; column < Fitting; ++column) {
    const uint16_t* cell = sums + column * GraphicsCellWidth * 3;
    unsigned red = 0, green = 0, blue = 0;
    for (int x = 0; x < GraphicsCellWidth; ++x, cell += 3)
      red += cell[0], green += cell[1], blue += cell[2];
    Result[static_cast<std::size_t>(cellRow * Columns + column)] = {
        {static_cast<uint8_t>((red + n / 2) / n), static_cast<uint8_t>((green + n / 2) / n),
         static_cast<uint8_t>((blue + n / 2) / n)},
        true};
  }
}

std::vector<CellMean> CellMeans(const RgbImage& background, int rows, int columns, int height) {
  CellMeanSums sums(background.Width, background.Height, rows, columns, height);
  for (int y = 0; y < background.Height; ++y) sums.Take(y, &background.At(0, y));
  return std::move(sums).Means();
}

ColourGrid GraphicalCells(const std::vector<CellMean>& means, const ScreenGrid& grid,
                          const GraphicalStyle& style) {
  ColourGrid cells;
  cells.Rows = grid.RowCount();
  cells.Columns = grid.ColumnCount();
  cells.CellHeight = style.Font.Height;
  cells.Cells.resize(static_cast<std::size_t>(cells.Rows * cells.Columns));
  cells.CursorRow = grid.CursorRow();
  cells.CursorColumn = grid.CursorColumn();
  cells.CursorShows = grid.CursorShows();
  for (int row = 0; row < cells.Rows; ++row) GraphicalCellsRow(means, grid, style, row, cells);
  return cells;
}

void GraphicalCellsRow(const std::vector<CellMean>& means, const ScreenGrid& grid,
                       const GraphicalStyle& style, int row, ColourGrid& cells) {
  for (int column = 0; column < cells.Columns; ++column) {
    const Cell& cell = grid.At(row, column);
    ColourCell& shown = cells.At(row, column);
    shown.Char = cell.Char;
    const std::size_t at = static_cast<std::size_t>(row * cells.Columns + column);
    if (at >= means.size() || !means[at].Fits) continue;
    const Colour mean = means[at].Mean;
    const CellColours* c = ElementColours(style, cell);
    shown.Foreground = c ? Blend(c->Foreground, mean) : mean;  // what a terminal shows
    shown.Background = c ? Blend(c->Background, mean) : mean;
  }
}

RgbImage DrawGraphicalPicture(const RgbImage& background, const ScreenGrid& grid,
                              const GraphicalStyle& style) {
  RgbImage out = background;
  const int w = out.Width, h = out.Height, height = style.Font.Height;
  const int rows = grid.RowCount(), columns = grid.ColumnCount();
  auto fits = [&](int x, int y) {
    return x + GraphicsCellWidth <= w - GraphicsBorder && y + height <= h - GraphicsBorder;
  };
  std::vector<CellToLay> toLay;
  toLay.reserve(static_cast<std::size_t>(rows * columns));
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      const Cell& cell = grid.At(row, column);
      const int x = GraphicsBorder + GraphicsCellWidth * column, y = GraphicsBorder + height * row;
      const CellColours* c = ElementColours(style, cell);
      if (c && fits(x, y))
        toLay.push_back({x, y, &style.Font.Rows[static_cast<std::size_t>(cell.Char * height)], *c});
    }
  std::vector<uint8_t> raised;
  LayCells(out, background, toLay, height, raised);
  // The `screen` background's strips: two pixel columns right of the cells, a row below.
  const ColourLayer strips(style.Strips);
  for (int y = GraphicsBorder; y <= h - GraphicsBorder && y < h; ++y)
    for (int x = w - GraphicsBorder; x <= w - GraphicsBorder + 1 && x >= 0 && x < w; ++x)
      out.At(x, y) = strips.Over(background.At(x, y));
  if (h - GraphicsBorder >= 0 && h - GraphicsBorder < h)
    for (int x = GraphicsBorder; x <= w - GraphicsBorder + 1 && x < w; ++x)
      out.At(x, h - GraphicsBorder) = strips.Over(background.At(x, h - GraphicsBorder));
  Shade(out, raised);
  // The cursor: two pixel rows in the foreground of the cell it stands on, laid over the
  // finished screen as the loader draws it, after the cells.
  const int cursorRow = grid.CursorRow(), cursorColumn = grid.CursorColumn();
  if (!grid.CursorShows() || cursorRow >= rows || cursorColumn >= columns) return out;
  const int x = GraphicsBorder + GraphicsCellWidth * cursorColumn;
  const int y = GraphicsBorder + height * cursorRow;
  const CellColours* c = ElementColours(style, grid.At(cursorRow, cursorColumn));
  if (c == nullptr || !fits(x, y)) return out;
  std::vector<uint8_t> glyph(static_cast<std::size_t>(height), 0);
  const int first = CursorFirstRow(height);
  for (int row = first; row < first + 2 && row < height; ++row)
    glyph[static_cast<std::size_t>(row)] = 0xFF;
  const RgbImage drawn = out;
  LayCells(out, drawn, {{x, y, glyph.data(), *c}}, height, raised);
  Shade(out, raised);
  return out;
}

GraphicalScreen DrawGraphicalScreen(const RgbImage& background, const ScreenGrid& grid,
                                    const GraphicalStyle& style) {
  return {
      DrawGraphicalPicture(background, grid, style),
      GraphicalCells(CellMeans(background, grid.RowCount(), grid.ColumnCount(), style.Font.Height),
                     grid, style)};
}

}  // namespace screen
