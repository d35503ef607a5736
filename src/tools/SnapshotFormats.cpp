#include "tools/SnapshotFormats.h"

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

std::string SpanStart(int attr) {
  return "<span style=\"color:" + screen::HtmlColour(attr & 0x0F) +
         ";background-color:" + screen::HtmlColour(attr >> 4) + "\">";
}

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
  // Each row as high as the font's whole glyphs, descenders included, and each run of
  // colours a box of the row's height: no row's colours paint over the row above.
  std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                     HtmlEscaped(title) +
                     "</title>\n<style>body{background:#000;margin:0}"
                     "pre{font:16px/20px monospace;margin:8px;display:inline-block}"
                     "span{display:inline-block;vertical-align:top}</style></head>\n<body><pre>";
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
  return page + "</pre></body></html>\n";
}

}  // namespace vestalo::tools
