#include "tools/SnapshotFormats.h"

#include <cstdio>

#include "base/Utf8.h"
#include "console/Sgr.h"
#include "screen/Cp437.h"
#include "screen/Picture.h"

namespace vestalo::tools {

namespace {

std::string Glyph(const screen::Cell& cell) {
  return EncodeUtf8(screen::Cp437CodePoint(cell.Char));
}

std::string HtmlEscaped(std::string text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string SpanStart(const std::string& foreground, const std::string& background) {
  return "<span style=\"color:" + foreground + ";background-color:" + background + "\">";
}

std::string SpanStart(int attr) {
  return SpanStart(screen::HtmlColour(attr & 0x0F), screen::HtmlColour(attr >> 4));
}

std::string HexColour(screen::Colour colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.Red, colour.Green, colour.Blue);
  return text;
}

// The ECMA-48 sequence of a cell's 24-bit foreground and background.
std::string TrueColourSgr(const screen::ColourCell& cell) {
  const auto part = [](const char* which, screen::Colour c) {
    return std::string(which) + std::to_string(c.Red) + ";" + std::to_string(c.Green) + ";" +
           std::to_string(c.Blue);
  };
  return "\x1b[" + part("38;2;", cell.Foreground) + ";" + part("48;2;", cell.Background) + "m";
}

bool SameColours(const screen::ColourCell& a, const screen::ColourCell& b) {
  return a.Foreground == b.Foreground && a.Background == b.Background;
}

// The page around the rows, as for the text screen.
std::string PageStart(const std::string& title) {
  // Each row as high as the font's whole glyphs, descenders included, and each run of
  // colours a box of the row's height: no row's colours paint over the row above.
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscaped(title) +
         "</title>\n<style>body{background:#000;margin:0}"
         "pre{font:16px/20px monospace;margin:8px;display:inline-block}"
         "span{display:inline-block;vertical-align:top}</style></head>\n<body><pre>";
}

const std::string PageEnd = "</pre></body></html>\n";

}  // namespace

std::string SnapshotText(const screen::ScreenGrid& grid) {
  std::string text;
  for (int row = 0; row < screen::Rows; ++row) {
    std::string line;
    for (int column = 0; column < screen::Columns; ++column) line += Glyph(grid.At(row, column));
    line.erase(line.find_last_not_of(' ') + 1);
    text += line + "\n";
  }
  return text;
}

std::string SnapshotAnsi(const screen::ScreenGrid& grid) {
  std::string text;
  for (int row = 0; row < screen::Rows; ++row) {
    int attr = -1;
    for (int column = 0; column < screen::Columns; ++column) {
      const screen::Cell& cell = grid.At(row, column);
      if (cell.Attr != attr) text += console::SgrFor(cell.Attr);
      attr = cell.Attr;
      text += Glyph(cell);
    }
    text += "\x1b[0m\n";
  }
  return text;
}

std::string SnapshotHtml(const screen::ScreenGrid& grid, const std::string& title) {
  std::string page = PageStart(title);
  for (int row = 0; row < screen::Rows; ++row) {
    // One span for each run of cells in the same colours; no span goes past its row.
    for (int column = 0; column < screen::Columns;) {
      const int attr = grid.At(row, column).Attr;
      std::string run;
      for (; column < screen::Columns && grid.At(row, column).Attr == attr; ++column)
        run += Glyph(grid.At(row, column));
      page += SpanStart(attr) + HtmlEscaped(run) + "</span>";
    }
    page += row + 1 < screen::Rows ? "\n" : "";
  }
  return page + PageEnd;
}

std::string SnapshotText(const screen::ColourGrid& cells) {
  std::string text;
  for (int row = 0; row < cells.Rows; ++row) {
    std::string line;
    for (int column = 0; column < cells.Columns; ++column)
      line += EncodeUtf8(screen::Cp437CodePoint(cells.At(row, column).Char));
    line.resize(line.find_last_not_of(' ') + 1);
    text += line + "\n";
  }
  return text;
}

std::string SnapshotAnsi(const screen::ColourGrid& cells) {
  std::string text;
  for (int row = 0; row < cells.Rows; ++row) {
    for (int column = 0; column < cells.Columns; ++column) {
      const screen::ColourCell& cell = cells.At(row, column);
      if (column == 0 || !SameColours(cell, cells.At(row, column - 1))) text += TrueColourSgr(cell);
      text += EncodeUtf8(screen::Cp437CodePoint(cell.Char));
    }
    text += "\x1b[0m\n";
  }
  return text;
}

std::string SnapshotHtml(const screen::ColourGrid& cells, const std::string& title) {
  std::string page = PageStart(title);
  for (int row = 0; row < cells.Rows; ++row) {
    for (int column = 0; column < cells.Columns;) {
      const screen::ColourCell& first = cells.At(row, column);
      std::string run;
      for (; column < cells.Columns && SameColours(cells.At(row, column), first); ++column)
        run += EncodeUtf8(screen::Cp437CodePoint(cells.At(row, column).Char));
      page += SpanStart(HexColour(first.Foreground), HexColour(first.Background)) +
              HtmlEscaped(run) + "</span>";
    }
    page += row + 1 < cells.Rows ? "\n" : "";
  }
  return page + PageEnd;
}

}  // namespace vestalo::tools
