// A graphical screen for a terminal, without the terminal: colours brought down, what a
// terminal's answers decide, and the pictures sent, decoded again with libpng (kitty's PNG)
// and libsixel (sixel) and compared with the picture handed in.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "console/KittyPicture.h"
#include "console/PictureScaling.h"
#include "console/SixelPicture.h"
#include "console/TerminalAbilities.h"
#include "console/TerminalColours.h"
#include "console/TerminalWriter.h"
#include "support/TerminalOutputCheck.h"

namespace console {
namespace {

#define CSI "\x1b["
using screen::Colour;
using screen::RgbImage;

// Nearest colours worked out by hand from xterm's levels (0, 95, 135, 175, 215, 255; greys
// 8 + 10k) and the VGA palette.
struct NearestRow {
  Colour From;
  int Of256, Of16;
};
// clang-format off
const NearestRow NearestRows[] = {
    {{0, 0, 0}, 16, 0},          {{255, 255, 255}, 231, 15},  {{128, 128, 128}, 244, 7},
    {{255, 0, 0}, 196, 4},       {{16, 32, 200}, 20, 1},      {{100, 20, 20}, 52, 4},
    {{250, 250, 250}, 231, 15},  {{170, 85, 0}, 130, 6},      {{8, 8, 8}, 232, 0},
    {{95, 135, 175}, 67, 7},     {{85, 255, 85}, 83, 10},
};
// clang-format on

TEST(TerminalColours, NearestOf256AndOf16) {
  for (const auto& row : NearestRows) {
    const std::string name = std::to_string(row.From.Red) + "," + std::to_string(row.From.Green) +
                             "," + std::to_string(row.From.Blue);
    EXPECT_EQ(NearestOf256(row.From), row.Of256) << name;
    EXPECT_EQ(NearestOf16(row.From), row.Of16) << name;
  }
}

struct DepthRow {
  const char *Term, *ColourTerm;
  ColourDepth Depth;
};
const DepthRow DepthRows[] = {
    {"xterm-256color", "", ColourDepth::Palette256},
    {"xterm", "", ColourDepth::Sixteen},
    {"xterm", "truecolor", ColourDepth::Direct},
    {"linux", "24bit", ColourDepth::Direct},
    {"xterm-direct", "", ColourDepth::Direct},
    {"screen-256color", "", ColourDepth::Palette256},
    {"", "", ColourDepth::Sixteen},
    {"vt100", "yes", ColourDepth::Sixteen},
};

TEST(TerminalColours, DepthFromTheEnvironment) {
  for (const auto& row : DepthRows)
    EXPECT_EQ(DepthFromEnvironment(row.Term, row.ColourTerm), row.Depth)
        << row.Term << " " << row.ColourTerm;
}

TEST(TerminalColours, SequencesAtEachDepth) {
  const Colour ink{250, 250, 250}, title{100, 20, 20};
  EXPECT_EQ(SgrForColours(ink, title, ColourDepth::Direct),
            CSI "0;38;2;250;250;250;48;2;100;20;20m");
  EXPECT_EQ(SgrForColours(ink, title, ColourDepth::Palette256), CSI "0;38;5;231;48;5;52m");
  EXPECT_EQ(SgrForColours(ink, title, ColourDepth::Sixteen), CSI "0;97;41m");
}

// What a terminal's answers decide, for a terminal of 29 rows and 100 columns.
struct AbilityRow {
  const char* Name;
  TerminalAnswers Answers;
  int WindowWidth, WindowHeight;  // the system's pixels
  TerminalAbilities Expected;
};
// clang-format off
const AbilityRow AbilityRows[] = {
    {"NoAnswer", {}, 0, 0, {ColourDepth::Palette256, PictureProtocol::None, 8, 16}},
    {"Kitty", {.KittyGraphics = true}, 0, 0, {ColourDepth::Direct, PictureProtocol::Kitty, 8, 16}},
    {"Vt340", {.DeviceAttributes = {63, 1, 2, 4, 6}}, 0, 0, {ColourDepth::Palette256, PictureProtocol::Sixel, 8, 16}},
    {"Vt100WithGraphicsProcessorIsNoSixel", {.DeviceAttributes = {1, 4}}, 0, 0, {ColourDepth::Palette256, PictureProtocol::None, 8, 16}},
    {"KittyOverSixel", {.DeviceAttributes = {62, 4}, .KittyGraphics = true}, 0, 0,
     {ColourDepth::Direct, PictureProtocol::Kitty, 8, 16}},
    {"CellAsSaid", {.DeviceAttributes = {62, 4}, .CellWidth = 8, .CellHeight = 19}, 1000, 1000,
     {ColourDepth::Palette256, PictureProtocol::Sixel, 8, 19}},
    {"CellFromTheSystem", {}, 1000, 580, {ColourDepth::Palette256, PictureProtocol::None, 10, 20}},
    {"CellFromTheWindowAsSaid", {.WindowWidth = 800, .WindowHeight = 551}, 0, 0,
     {ColourDepth::Palette256, PictureProtocol::None, 8, 19}},
    {"ColoursKept", {.DirectColour = true}, 0, 0, {ColourDepth::Direct, PictureProtocol::None, 8, 16}},
    {"KittyReadsSharedMemory", {.KittyGraphics = true, .KittyMemory = true}, 0, 0,
     {ColourDepth::Direct, PictureProtocol::Kitty, 8, 16, true}},
    {"SharedMemoryOnlyForKitty", {.KittyMemory = true}, 0, 0, {ColourDepth::Palette256, PictureProtocol::None, 8, 16}},
};
// clang-format on

TEST(TerminalAbilities, DecidedFromTheAnswers) {
  for (const auto& row : AbilityRows) {
    const TerminalAbilities got = DecideAbilities("xterm-256color", "", row.Answers,
                                                  row.WindowWidth, row.WindowHeight, 29, 100);
    EXPECT_EQ(got.Depth, row.Expected.Depth) << row.Name;
    EXPECT_EQ(got.Pictures, row.Expected.Pictures) << row.Name;
    EXPECT_EQ(got.CellWidth, row.Expected.CellWidth) << row.Name;
    EXPECT_EQ(got.CellHeight, row.Expected.CellHeight) << row.Name;
    EXPECT_EQ(got.SharedMemory, row.Expected.SharedMemory) << row.Name;
  }
}

// Which environments make a picture ready before the terminal has answered, by hand.
TEST(TerminalAbilities, PicturesLikelyWhereTheEnvironmentNamesSuchATerminal) {
  struct Row {
    const char *Term, *Program;
    bool KittyWindow, Likely;
  };
  const Row rows[] = {
      {"xterm-kitty", "", false, true},
      {"xterm-ghostty", "", false, true},
      {"foot", "", false, true},
      {"mlterm", "", false, true},
      {"xterm-256color", "WezTerm", false, true},
      {"tmux-256color", "", true, true},  // kitty's window, through a multiplexer
      {"xterm-256color", "", false, false},
      {"linux", "", false, false},
      {"screen", "iTerm.app", false, false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(PicturesLikely(r.Term, r.Program, r.KittyWindow), r.Likely)
        << r.Term << " " << r.Program << " " << r.KittyWindow;
}

TEST(TerminalAbilities, QuestionsForEachTerminal) {
  EXPECT_EQ(PictureQuestions("xterm-256color", true),
            "\x1b_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\x1b\\" CSI "16t" CSI
            "0;38;2;1;2;3;48;2;1;2;3m\x1bP$qm\x1b\\" CSI "0m" CSI "c");
  EXPECT_EQ(PictureQuestions("xterm", false),
            "\x1b_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\x1b\\" CSI "16t" CSI "c");
  // The shared memory question names its object in base64.
  EXPECT_EQ(PictureQuestions("xterm-kitty", false, "/vestalo-1"),
            "\x1b_Gi=31,s=1,v=1,a=q,t=d,f=24;AAAA\x1b\\"
            "\x1b_Gi=32,s=1,v=1,a=q,t=s,f=24;L3Zlc3RhbG8tMQ==\x1b\\" CSI "16t" CSI "c");
  // A multiplexer would make a title of the string, the Linux console text.
  EXPECT_EQ(PictureQuestions("tmux-256color", true, "/vestalo-1"), CSI "16t" CSI "c");
  EXPECT_EQ(PictureQuestions("linux", true), CSI "16t" CSI "c");
}

// A picture of `width` x `height` whose pixels all differ from their neighbours.
RgbImage Gradient(int width, int height) {
  RgbImage picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.Pixels.push_back({static_cast<uint8_t>(x * 255 / std::max(1, width - 1)),
                                static_cast<uint8_t>(y * 255 / std::max(1, height - 1)),
                                static_cast<uint8_t>((x * 7 + y * 13) % 256)});
  return picture;
}

TEST(PictureScaling, CropsAndScales) {
  const RgbImage square{2, 2, {{0, 0, 0}, {102, 0, 0}, {0, 200, 0}, {0, 0, 40}}};
  EXPECT_EQ(Cropped(square, 1, 2).Pixels, (std::vector<Colour>{{0, 0, 0}, {0, 200, 0}}));
  EXPECT_EQ(Cropped(square, 5, 1).Pixels, (std::vector<Colour>{{0, 0, 0}, {102, 0, 0}}));
  // Down: the mean, rounded; up: each pixel repeated.
  EXPECT_EQ(Scaled(square, 1, 1).Pixels, (std::vector<Colour>{{26, 50, 10}}));
  EXPECT_EQ(Scaled(RgbImage{1, 1, {{7, 8, 9}}}, 2, 1).Pixels,
            (std::vector<Colour>{{7, 8, 9}, {7, 8, 9}}));
  EXPECT_EQ(Scaled(square, 1, 2).Pixels, (std::vector<Colour>{{51, 0, 0}, {0, 100, 20}}));
}

// RFC 4648's own examples.
TEST(KittyPicture, Base64AsTheRfcWritesIt) {
  const std::pair<const char*, const char*> rows[] = {{"", ""},
                                                      {"f", "Zg=="},
                                                      {"fo", "Zm8="},
                                                      {"foo", "Zm9v"},
                                                      {"foob", "Zm9vYg=="},
                                                      {"fooba", "Zm9vYmE="},
                                                      {"foobar", "Zm9vYmFy"}};
  for (const auto& [bytes, text] : rows) EXPECT_EQ(Base64(bytes), text);
}

using vestalo::checks::FromBase64;

RgbImage FromPng(const std::string& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
  image.format = PNG_FORMAT_RGB;
  RgbImage picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
  picture.Pixels.resize(image.width * image.height);
  if (!png_image_finish_read(&image, nullptr, picture.Pixels.data(), 0, nullptr)) return {};
  return picture;
}

// Each kitty picture in the bytes: the keys of its first command, and its pixels.
std::vector<std::pair<std::string, RgbImage>> KittyPictures(const std::string& out) {
  std::vector<std::pair<std::string, RgbImage>> pictures;
  std::string keys, data;
  for (size_t at = out.find("\x1b_G"); at != std::string::npos; at = out.find("\x1b_G", at + 1)) {
    const size_t end = out.find("\x1b\\", at), semicolon = out.find(';', at);
    if (end == std::string::npos || semicolon > end) continue;
    const std::string head = out.substr(at + 3, semicolon - at - 3);
    if (head.find("a=T") != std::string::npos) keys = head, data.clear();
    const std::string piece = out.substr(semicolon + 1, end - semicolon - 1);
    EXPECT_LE(piece.size(), 4096u);
    data += piece;
    if (head.ends_with("m=0")) pictures.emplace_back(keys, FromPng(FromBase64(data)));
  }
  return pictures;
}

TEST(KittyPicture, ThePngSentIsThePicture) {
  for (const auto& [width, height] : {std::pair{640, 480}, {3, 1}, {1, 1}}) {
    const RgbImage picture = Gradient(width, height);
    const auto sent = KittyPictures(KittyPlacement(EncodePng(picture), 4242, 78, 29));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first,
              "a=T,f=100,i=4242,q=2,C=1,c=78,r=29,m=" + std::string(width == 640 ? "1" : "0"));
    EXPECT_EQ(sent[0].second.Width, width);
    EXPECT_TRUE(sent[0].second.Pixels == picture.Pixels) << width << "x" << height;
  }
  EXPECT_EQ(KittyDeletion(4242), "\x1b_Ga=d,d=I,i=4242,q=2\x1b\\");
}

// The sixel picture decoded by libsixel (loaded as the program runs: the tests link no more).
RgbImage FromSixel(const std::string& sixel) {
  using DecodeRaw =
      int (*)(unsigned char*, int, unsigned char**, int*, int*, unsigned char**, int*, void*);
  static void* library = dlopen("libsixel.so.1", RTLD_NOW);
  if (library == nullptr) ADD_FAILURE() << "libsixel1 is not installed (scripts/deps.sh)";
  if (library == nullptr) return {};
  const auto decode = reinterpret_cast<DecodeRaw>(dlsym(library, "sixel_decode_raw"));
  std::string bytes = sixel;
  unsigned char *indexes = nullptr, *palette = nullptr;
  int width = 0, height = 0, colours = 0;
  if (decode(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(bytes.size()),
             &indexes, &width, &height, &palette, &colours, nullptr) != 0)
    return {};
  RgbImage picture{width, height, {}};
  for (int i = 0; i < width * height; ++i) {
    const unsigned char* rgb = palette + 3 * indexes[i];
    picture.Pixels.push_back({rgb[0], rgb[1], rgb[2]});
  }
  std::free(indexes), std::free(palette);
  return picture;
}

// The largest difference of one colour channel between two pictures of the same size.
int LargestDifference(const RgbImage& a, const RgbImage& b) {
  if (a.Width != b.Width || a.Height != b.Height) return 256;
  int largest = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i)
    largest = std::max({largest, std::abs(a.Pixels[i].Red - b.Pixels[i].Red),
                        std::abs(a.Pixels[i].Green - b.Pixels[i].Green),
                        std::abs(a.Pixels[i].Blue - b.Pixels[i].Blue)});
  return largest;
}

TEST(SixelPicture, TheSixelSentIsThePicture) {
  // Up to 256 colours each is kept (within the percent's rounding); more come from a fixed
  // palette of 6 x 7 x 6 levels, at most half a step (26) away.
  RgbImage few = Gradient(16, 16);
  for (auto& pixel : few.Pixels) pixel.Blue = 0;
  const std::pair<RgbImage, int> rows[] = {
      {few, 2}, {Gradient(7, 13), 2}, {Gradient(640, 480), 26}};
  for (const auto& [picture, within] : rows) {
    const std::string sixel = SixelImage(picture);
    EXPECT_TRUE(sixel.starts_with("\x1bPq\"1;1;" + std::to_string(picture.Width) + ";" +
                                  std::to_string(picture.Height) + "#"));
    EXPECT_LE(LargestDifference(FromSixel(sixel), picture), within) << picture.Width;
  }
}

// A graphical screen of 2x3 cells over a 6x4 picture: 'A' in a dark red cell, the rest blue.
screen::GraphicalScreen Small(Colour corner = {100, 20, 20}) {
  screen::GraphicalScreen shown;
  shown.Picture = Gradient(6, 4);
  shown.Picture.At(0, 0) = corner;
  shown.Cells.Rows = 2, shown.Cells.Columns = 3;
  shown.Cells.Cells.assign(6, {' ', {250, 250, 250}, {16, 32, 200}});
  shown.Cells.At(0, 0) = {'A', {250, 250, 250}, {100, 20, 20}};
  return shown;
}

std::string Take(TerminalWriter& writer) { return std::exchange(writer.Pending(), ""); }

TEST(TerminalWriter, GraphicalCellsGoOutWhereTheyChanged) {
  TerminalWriter writer("UTF-8");
  const TerminalAbilities palette{ColourDepth::Palette256, PictureProtocol::None, 8, 16};
  screen::GraphicalScreen shown = Small();
  // After the first colours only the layers that change; a blank keeps the foreground.
  shown.Cells.At(0, 1).Foreground = {1, 2, 3};
  writer.Graphical(shown, palette, 25, 80);
  EXPECT_EQ(Take(writer), CSI "?25l" CSI "1;1H" CSI "0;38;5;231;48;5;52mA" CSI "48;5;20m  " CSI
                              "2;1H   " CSI "1;1H");
  shown.Cells.At(1, 2).Char = 0x01;
  shown.Cells.CursorRow = 1, shown.Cells.CursorShows = true;
  writer.Graphical(shown, palette, 25, 80);
  EXPECT_EQ(Take(writer), CSI "2;3H\u263a" CSI "2;1H" CSI "?25h");
  // 24-bit colours now: every cell again; a terminal of one row shows one.
  writer.Graphical(shown, {ColourDepth::Direct, PictureProtocol::None, 8, 16}, 1, 2);
  EXPECT_EQ(Take(writer), CSI "?25l" CSI "1;1H" CSI "0;38;2;250;250;250;48;2;100;20;20mA" CSI
                              "48;2;16;32;200m " CSI "1;1H" CSI "?25h");
  EXPECT_EQ(writer.PictureExit(), "");
}

// A grid of rows x columns cells, each in colours of its own (made from `seed`).
screen::ColourGrid Patterned(int rows, int columns, uint8_t seed) {
  screen::ColourGrid grid;
  grid.Rows = rows, grid.Columns = columns;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      grid.Cells.push_back({static_cast<unsigned char>('a' + (row + column) % 26),
                            {seed, 250, 250},
                            {static_cast<uint8_t>(row), static_cast<uint8_t>(column), seed}});
  return grid;
}

// Cells whose colours come row by row: the terminal gets the bytes of the whole grid, the
// rows ready sent on before the next is awaited; rows below a small terminal are filled too.
// Where the colours of rows already sent change on the way, those rows are sent again.
TEST(TerminalWriter, CellsStillComingGoOutRowByRow) {
  const TerminalAbilities direct{ColourDepth::Direct, PictureProtocol::None, 8, 16};
  const screen::ColourGrid whole = Patterned(30, 78, 7), changed = Patterned(30, 78, 99);
  for (const int terminalRows : {30, 10}) {
    TerminalWriter reference("UTF-8");
    reference.Graphical({{}, whole}, direct, terminalRows, 80);
    TerminalWriter writer("UTF-8");
    std::string sent;
    std::vector<int> filled, flushedAt;
    writer.SetEarlyFlush([&] {
      EXPECT_GE(writer.Pending().size(), TerminalWriter::RowFlushSize);
      flushedAt.push_back(static_cast<int>(filled.size()));
      sent += Take(writer);
    });
    screen::GraphicalScreen blank;
    blank.Cells = Patterned(30, 78, 0);
    for (auto& cell : blank.Cells.Cells) cell = {cell.Char, {}, {}};
    writer.Graphical(blank, direct, terminalRows, 80, [&](screen::ColourGrid& cells, int row) {
      filled.push_back(row);
      for (int column = 0; column < cells.Columns; ++column)
        cells.At(row, column) = whole.At(row, column);
      return true;
    });
    sent += Take(writer);
    EXPECT_EQ(sent, Take(reference)) << terminalRows;
    EXPECT_EQ(filled.size(), 30u);
    EXPECT_TRUE(std::is_sorted(filled.begin(), filled.end()));
    EXPECT_TRUE(writer.GraphicalCells().Cells == whole.Cells);
    ASSERT_FALSE(flushedAt.empty()) << terminalRows;
    EXPECT_LT(flushedAt.front(), terminalRows) << "nothing went before the last row was awaited";
  }
  // From row 12 on the colours are others, those of rows 0 to 11 as well.
  TerminalWriter writer("UTF-8");
  screen::GraphicalScreen blank;
  blank.Cells = whole;
  bool turned = false;
  writer.Graphical(blank, direct, 30, 80, [&](screen::ColourGrid& cells, int row) {
    turned = turned || row == 12;
    const screen::ColourGrid& from = turned ? changed : whole;
    for (int column = 0; column < cells.Columns; ++column)
      cells.At(row, column) = from.At(row, column);
    return !turned;
  });
  const std::string out = Take(writer);
  EXPECT_TRUE(writer.GraphicalCells().Cells == changed.Cells);
  EXPECT_NE(out.find(CSI "1;1H" CSI "48;2;0;0;99ma"), std::string::npos) << "row 0 again";
  writer.Graphical({{}, changed}, direct, 30, 80);
  EXPECT_EQ(Take(writer), CSI "1;1H") << "the terminal shows them already";
}

// A graphical screen of 20x76 pixels in cells of 8 x `height` pixels, the right column and
// the bottom row of cells filled out with black on a kitty terminal.
screen::GraphicalScreen Striped(Colour corner = {100, 20, 20}, int height = 16) {
  screen::GraphicalScreen shown = Small(corner);
  shown.Picture = Gradient(20, 76);
  shown.Picture.At(0, 20) = corner;  // in the second row of 16-pixel cells
  shown.Cells.CellHeight = height;
  shown.Cells.CursorShows = true;
  return shown;
}

// Pixel rows [top, top + rows) of a Striped() screen as the terminal must get them, 24 wide.
RgbImage StripOf(const screen::GraphicalScreen& shown, int top, int rows) {
  RgbImage strip{24, rows, {}};
  for (int y = top; y < top + rows; ++y)
    for (int x = 0; x < 24; ++x)
      strip.Pixels.push_back(x < 20 && y < 76 ? shown.Picture.At(x, y) : Colour{0, 0, 0});
  return strip;
}

std::string Deleted(std::initializer_list<int> ids) {
  std::string out;
  for (int id : ids) out += "\x1b_Ga=d,d=I,i=" + std::to_string(id) + ",q=2\x1b\\";
  return out;
}

TEST(TerminalWriter, AKittyPictureGoesInStripsSentAgainWhereTheyChange) {
  TerminalWriter writer("UTF-8");
  const TerminalAbilities kitty{ColourDepth::Direct, PictureProtocol::Kitty, 8, 16};
  writer.Graphical(Striped(), kitty, 25, 80);
  std::string out = Take(writer);
  EXPECT_EQ(out.find(CSI "?25h"), std::string::npos) << "the picture shows its own cursor";
  auto sent = KittyPictures(out);
  ASSERT_EQ(sent.size(), 5u);
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(sent[row].first,
              "a=T,f=100,i=" + std::to_string(4242 + row) + ",q=2,C=1,c=3,r=1,m=0");
    EXPECT_TRUE(sent[row].second.Pixels == StripOf(Striped(), 16 * row, 16).Pixels) << row;
  }
  EXPECT_NE(out.find(CSI "2;1H\x1b_Ga=T,f=100,i=4243,"), std::string::npos) << "placed in its row";
  writer.Graphical(Striped(), kitty, 25, 80);  // nothing changed: only the cursor
  EXPECT_EQ(Take(writer), CSI "1;1H");
  writer.Graphical(Striped({1, 2, 3}), kitty, 25, 80);
  sent = KittyPictures(Take(writer));
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].first.starts_with("a=T,f=100,i=4243,"));
  EXPECT_TRUE(sent[0].second.Pixels == StripOf(Striped({1, 2, 3}), 16, 16).Pixels);
  // A terminal of two rows: the five strips go, two come again.
  writer.Graphical(Striped({1, 2, 3}), kitty, 2, 80);
  out = Take(writer);
  EXPECT_NE(out.find(Deleted({4242, 4243, 4244, 4245, 4246})), std::string::npos);
  sent = KittyPictures(out);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_TRUE(sent[1].first.starts_with("a=T,f=100,i=4243,"));
  EXPECT_EQ(writer.PictureExit(), Deleted({4242, 4243}));
  // A text screen takes them off.
  writer.Clear(0x07);
  EXPECT_TRUE(Take(writer).starts_with(Deleted({4242, 4243}) + CSI "?25h"));
  EXPECT_EQ(writer.PictureExit(), "");
}

// The strips go as raw pixels where the terminal reads shared memory: those that fill whole
// cells straight from the picture, the others filled out with black; a strip that finds no
// room there goes in-band as PNG.
TEST(TerminalWriter, KittyStripsGoThroughSharedMemoryWhereTheTerminalReadsIt) {
  TerminalWriter writer("UTF-8");
  std::vector<std::string> shared;
  bool full = false;
  writer.SetPictureSharing([&](std::string_view bytes) {
    if (full) return std::string();
    shared.emplace_back(bytes);
    return "/vestalo-" + std::to_string(shared.size());
  });
  const TerminalAbilities local{ColourDepth::Direct, PictureProtocol::Kitty, 8, 16, true};
  const auto bytesOf = [](const RgbImage& picture) {
    return std::string(reinterpret_cast<const char*>(picture.Pixels.data()),
                       picture.Pixels.size() * 3);
  };
  screen::GraphicalScreen whole = Striped();
  whole.Picture = Gradient(24, 32);  // two strips of three whole cells
  writer.Graphical(whole, local, 25, 80);
  std::string out = Take(writer);
  ASSERT_EQ(shared.size(), 2u);
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(
        shared[row],
        bytesOf(whole.Picture).substr(static_cast<std::size_t>(row) * 24 * 16 * 3, 24 * 16 * 3))
        << row;
    EXPECT_NE(out.find(CSI + std::to_string(row + 1) + ";1H\x1b_Ga=T,f=24,t=s,s=24,v=16,i=" +
                       std::to_string(4242 + row) + ",q=2,C=1,c=3,r=1;" +
                       Base64("/vestalo-" + std::to_string(row + 1)) + "\x1b\\"),
              std::string::npos)
        << row;
  }
  EXPECT_EQ(out.find("f=100"), std::string::npos) << "no PNG besides";
  shared.clear();
  writer.Graphical(Striped(), local, 25, 80);  // 20x76 pixels: every strip filled out
  Take(writer);
  ASSERT_EQ(shared.size(), 5u);
  for (int row = 0; row < 5; ++row)
    EXPECT_EQ(shared[row], bytesOf(StripOf(Striped(), 16 * row, 16))) << row;
  full = true;
  writer.Graphical(Striped({1, 2, 3}), local, 25, 80);
  const auto sent = KittyPictures(Take(writer));
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].first.starts_with("a=T,f=100,i=4243,"));
  EXPECT_TRUE(sent[0].second.Pixels == StripOf(Striped({1, 2, 3}), 16, 16).Pixels);
}

TEST(TerminalWriter, KittyStripsOfASmallFontHoldSeveralRowsOfCells) {
  TerminalWriter writer("UTF-8");
  writer.Graphical(Striped({1, 2, 3}, 8), {ColourDepth::Direct, PictureProtocol::Kitty, 8, 16}, 25,
                   80);
  const auto sent = KittyPictures(Take(writer));
  // Each strip's top pixel row and rows of cells: two, the last one filled out with black.
  const std::pair<int, int> strips[] = {{0, 2}, {16, 2}, {32, 2}, {48, 2}, {64, 2}};
  ASSERT_EQ(sent.size(), std::size(strips));
  for (std::size_t i = 0; i < sent.size(); ++i) {
    const auto [top, rows] = strips[i];
    EXPECT_EQ(sent[i].first, "a=T,f=100,i=" + std::to_string(4242 + i) +
                                 ",q=2,C=1,c=3,r=" + std::to_string(rows) + ",m=0");
    EXPECT_TRUE(sent[i].second.Pixels == StripOf(Striped({1, 2, 3}, 8), top, 8 * rows).Pixels) << i;
  }
  EXPECT_EQ(writer.PictureExit(), Deleted({4242, 4243, 4244, 4245, 4246}));
}

TEST(TerminalWriter, ASixelPictureIsDrawnAgainOverItsCells) {
  TerminalWriter writer("UTF-8");
  const TerminalAbilities sixel{ColourDepth::Palette256, PictureProtocol::Sixel, 2, 2};
  writer.Graphical(Small(), sixel, 25, 80);
  std::string out = Take(writer);
  const size_t start = out.find("\x1bP");
  ASSERT_NE(start, std::string::npos);
  EXPECT_TRUE(out.substr(0, start).ends_with(CSI "1;1H"));  // the cells, then the picture
  EXPECT_LE(LargestDifference(FromSixel(out.substr(start, out.find("\x1b\\") + 2 - start)),
                              Small().Picture),
            2);
  // A cell changes: no cell is sent into the picture, which is drawn again.
  screen::GraphicalScreen next = Small({1, 2, 3});
  next.Cells.At(1, 1).Char = 'B';
  writer.Graphical(next, sixel, 25, 80);
  out = Take(writer);
  EXPECT_EQ(out.find('B'), std::string::npos);
  EXPECT_TRUE(out.starts_with(CSI "1;1H\x1bPq\"1;1;6;4#"));
  // Two rows of terminal: one for the picture, the last kept free.
  writer.Graphical(next, sixel, 2, 80);
  EXPECT_TRUE(Take(writer).starts_with(CSI "1;1H\x1bPq\"1;1;6;2#"));
  EXPECT_EQ(writer.PictureExit(), CSI "0m" CSI "1;999H" CSI "1J" CSI "H");
}

}  // namespace
}  // namespace console
