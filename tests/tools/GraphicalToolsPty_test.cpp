// --snapshot and --check of the graphical menu (vesamenu.c32), run as a user runs them: every
// case of tests/vesamenu walked with its tour, each PNG written against the loader's own
// screendump (QEMU's, read back with libpng), a line or two of the text files as written by
// hand; --check's findings of pictures, fonts, resolutions and colours on small media.
#include <png.h>

#include <fstream>

#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

// The cases whose background is a JPEG: the loader's decoder is not libjpeg's, within 3 levels.
constexpr const char* JpegCases[] = {"08-jpeg-420", "09-jpeg-444"};
// The countdown's second digit changes while the oracle takes its dump: cells 41-42 of the
// menu's row 20 and their shadow, in pixels (x, y, width, height).
const std::vector<int> CountdownMask = {336, 312, 17, 17};

std::string Files(const std::string& stem) {
  return "out/" + stem + ".txt, out/" + stem + ".ans, out/" + stem + ".html, out/" + stem +
         ".png\n";
}

// A case walked with the keys of its tour (one oracle step a line, "," joining keys that the
// program joins with "+"), at the resolution the row names. Each step's picture must be the
// loader's; a step the loader showed in text mode (a .bin beside its dump) must be its cells.
RunRow Walk(const char* suiteCase, const std::string& resolution,
            std::vector<RunRow::FileLine> lines = {},
            std::vector<std::pair<std::string, std::string>> has = {}) {
  const std::string folder = std::string(VESTALO_SOURCE_DIR "/tests/vesamenu/");
  RunRow row{.Name = suiteCase,
             .Files = {Copy("m", std::string("tests/vesamenu/cases/") + suiteCase)}};
  std::ifstream tour(folder + "cases/" + suiteCase + "/tour");
  std::string keys;
  std::vector<std::string> stems{"00-boot"};
  for (std::string step; std::getline(tour, step);) {
    if (step.empty()) continue;
    std::string joined = step, stem = step;
    for (char& c : joined) c = c == ',' ? '+' : c;
    for (char& c : stem)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
    keys += (keys.empty() ? "" : ",") + joined;
    std::string numbered = stems.size() < 10 ? "0" : "";  // built in place: GCC 12's -Wrestrict
    numbered.append(std::to_string(stems.size())).append("-").append(stem);
    stems.push_back(numbered);
  }
  row.Arguments = {"--snapshot", "out", "--keys", keys, "m"};
  if (keys.empty()) row.Arguments = {"--snapshot", "out", "--keys", "wait:0", "m"};
  const bool jpeg = std::find(std::begin(JpegCases), std::end(JpegCases), std::string(suiteCase)) !=
                    std::end(JpegCases);
  for (const auto& stem : stems) {
    const std::string golden = "tests/vesamenu/golden/" + std::string(suiteCase) + "/" + stem;
    if (std::ifstream(VESTALO_SOURCE_DIR "/" + golden + ".bin")) {
      row.Snapshots.push_back({"out/" + stem, golden});
      continue;
    }
    const bool countdown = std::string(suiteCase) == "22-countdown" && stem == "00-boot";
    row.Pictures.push_back({"out/" + stem + ".png", golden + ".png", jpeg ? 3 : 0,
                            countdown ? CountdownMask : std::vector<int>{}});
  }
  row.OutputHas = "00-boot (vesamenu.c32, " + resolution + "): " + Files("00-boot");
  row.FileLines = std::move(lines);
  row.FileHas = std::move(has);
  return row;
}

const std::string Blanks10(10, ' ');
std::string Repeated(const std::string& glyph, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += glyph;
  return text;
}

// clang-format off
const RunRow Tours[] = {
    Walk("01-alpha", "640x480"),
    Walk("02-shadows", "640x480"),
    // 640x480: 29 rows of 78 cells; the box from column 10 to 67, the title centred in its 56
    // cells, the scroll bar's thumb on the entries' first two rows (6 entries in 4 rows).
    Walk("03-defaults", "640x480",
         {{"out/00-boot.txt", 1, Blanks10 + "┌" + Repeated("─", 56) + "┐", 29},
          {"out/00-boot.txt", 2, Blanks10 + "│" + std::string(20, ' ') + "Default colours" + std::string(21, ' ') + "│"},
          {"out/00-boot.txt", 4, Blanks10 + "│ One, selected first" + std::string(36, ' ') + "▒"}}),
    Walk("04-png-rgb", "640x480"),
    Walk("05-png-palette", "640x480"),
    Walk("06-png-alpha", "640x480"),
    Walk("07-png-grey", "640x480"),
    Walk("08-jpeg-420", "640x480"),
    Walk("09-jpeg-444", "640x480"),
    Walk("10-lss16", "640x480"),
    // Every element transparent over #336699: each cell shows the background alone.
    Walk("11-colour", "640x480", {},
         {{"out/00-boot.ans", "\x1b[38;2;51;102;153;48;2;51;102;153m"},
          {"out/00-boot.html", "<span style=\"color:#336699;background-color:#336699\">"}}),
    Walk("12-missing", "640x480"),
    Walk("13-default-background", "640x480"),
    Walk("14-tile", "640x480"),
    Walk("15-large", "640x480"),
    // 800x600: 36 rows of 98 cells, the box from column 10 to 87; CMDLINEROW -1 is row 35.
    Walk("16-res-800x600", "800x600",
         {{"out/00-boot.txt", 2, Blanks10 + "│" + std::string(33, ' ') + "At 800x600" + std::string(33, ' ') + "│", 36},
          {"out/01-tab.txt", 35, "> one", 36}}),
    // An 8x14 font: 33 rows; an 8x8 font: 58.
    Walk("17-font-8x14", "640x480", {{"out/01-tab.txt", 32, "> one", 33}}),
    Walk("18-font-8x8", "640x480", {{"out/01-tab.txt", 57, "> one", 58}}),
    Walk("19-fkeys", "640x480"),
    Walk("20-cmdline", "640x480"),
    Walk("21-password", "640x480"),
    Walk("22-countdown", "640x480"),
    Walk("23-helptext", "640x480"),
    // Esc leaves the graphics screen: the 80x25 text screen and its prompt, as a text snapshot.
    Walk("24-escape", "640x480", {{"out/01-esc.txt", 1, "boot:", 25}}),
    Walk("25-layout", "640x480"),
    Walk("26-res-1024x768", "1024x768", {{"out/01-tab.txt", 46, "> one", 47}}),
    Walk("27-msgcolor-screen", "640x480"),
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(GraphicalTours, RedirectedRun, ::testing::ValuesIn(Tours), RowName());

// A grey PNG picture of this size, made with libpng.
std::string GreyPng(int width, int height) {
  std::vector<png_byte> pixels(static_cast<std::size_t>(width * height), 0x80);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_GRAY;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string png(size, '\0');
  png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr);
  png.resize(size);
  return png;
}

// A PSF1 font of 256 blank 8x16 glyphs: its magic, mode 0, 16 bytes a glyph.
const std::string BlankPsf = std::string("\x36\x04\x00\x10", 4) + std::string(256 * 16, '\0');

const Medium Parts = {File("vesamenu.c32", ""), File("k", ""), File("help.txt", "\fHelp\r\n")};

// clang-format off
const Medium FaultyGraphics = Parts + Medium{
    File("isolinux.cfg", "UI vesamenu.c32\n"
                         "MENU RESOLUTION 2000 1500\n"       // 2: no such screen: 640x480
                         "MENU BACKGROUND small.png\n"       // 3: 320x240: tiled
                         "FONT notafont.psf\n"               // 4
                         "F1 help.txt gone.png\n"            // 5
                         "F2 help.txt text.png\n"            // 6: no picture
                         "F3 help.txt big.png\n"             // 7: 800x600 on 640x480
                         "F4 help.txt short.png\n"           // 8: as wide, not as high: tiled
                         "LABEL a\n  KERNEL k\n"),
    File("small.png", GreyPng(320, 240)), File("notafont.psf", "not a font\n"),
    File("text.png", "not a picture\n"), File("big.png", GreyPng(800, 600)),
    File("short.png", GreyPng(640, 100))};
const Medium MissingGraphics = Parts + Medium{
    File("isolinux.cfg", "UI vesamenu.c32\nMENU BACKGROUND gone.png\nFONT gone.psf\nLABEL a\n  KERNEL k\n")};
// At 800x600 the same pictures fit, a PSF font is read, and the colours can be read.
const Medium SoundGraphics = Parts + Medium{
    File("isolinux.cfg", "UI vesamenu.c32\nMENU RESOLUTION 800 600\nMENU BACKGROUND full.png\nFONT blank.psf\n"
                         "F1 help.txt full.png\nMENU COLOR sel 0 #ff000000 #ffffffff none\n"
                         "LABEL a\n  KERNEL k\nLABEL b\n  KERNEL k\n"),
    File("full.png", GreyPng(800, 600)), File("blank.psf", BlankPsf)};
// Grey #404040 on black: (0.0513 + 0.05) / (0 + 0.05) = 2.03 by the guidelines' luminance. The
// selection bar's black on white is 21:1. Bravo's row (5) shows unsel first.
const Medium DimGraphics = Parts + Medium{
    File("isolinux.cfg", "UI vesamenu.c32\nMENU BACKGROUND #ff000000\n"
                         "MENU COLOR unsel 0 #ff404040 #00000000 none\n"
                         "MENU COLOR sel 0 #ff000000 #ffffffff none\n"
                         "LABEL a\n  MENU LABEL Alpha\n  KERNEL k\nLABEL b\n  MENU LABEL Bravo\n  KERNEL k\n")};

const RunRow Runs[] = {
    {.Name = "CheckGraphicalFaults", .Files = FaultyGraphics, .Arguments = {"--check"}, .Exit = 2,
     .Output = "isolinux.cfg:2:17: warning: MENU RESOLUTION 2000 1500 is a screen size the loader cannot set: the menu shows at 640x480\n"
               "isolinux.cfg:4:6: warning: FONT file notafont.psf is no PSF font of 8-pixel-wide glyphs: the menu keeps the BIOS's 8x16 font\n"
               "isolinux.cfg:3:17: warning: MENU BACKGROUND picture small.png is 320x240, smaller than the screen's 640x480: "
               "the loader tiles it from the top-left corner\n"
               "isolinux.cfg:5:13: error: F1 picture gone.png is missing: the loader shows black\n"
               "isolinux.cfg:6:13: warning: F2 picture text.png is no PNG, JPEG or LSS16 picture: the menu shows black instead\n"
               "isolinux.cfg:7:13: warning: F3 picture big.png is larger than the screen's 640x480: the loader shows black instead\n"
               "isolinux.cfg:8:13: warning: F4 picture short.png is 640x100, smaller than the screen's 640x480: "
               "the loader tiles it from the top-left corner\n"},
    // The cells' colours by hand: #404040 over the black background, the bar black on white.
    {.Name = "SnapshotOfCellColours", .Files = DimGraphics, .Arguments = {"--snapshot", "out"},
     .Output = "menu (isolinux.cfg, vesamenu.c32, 640x480): " + Files("menu"),
     .FileHas = {{"out/menu.ans", "\x1b[38;2;0;0;0;48;2;255;255;255m Alpha "},
                 {"out/menu.ans", "\x1b[38;2;64;64;64;48;2;0;0;0m Bravo "},
                 {"out/menu.html", "<span style=\"color:#404040;background-color:#000000\"> Bravo "}}},
    {.Name = "CheckMissingGraphics", .Files = MissingGraphics, .Arguments = {"--check"}, .Exit = 2,
     .Output = "isolinux.cfg:3:6: error: FONT file gone.psf is missing: the menu keeps the BIOS's 8x16 font\n"
               "isolinux.cfg:2:17: error: MENU BACKGROUND picture gone.png is missing: the loader shows black\n"},
    {.Name = "CheckSoundGraphics", .Files = SoundGraphics, .Arguments = {"--check"}, .Output = ""},
    {.Name = "CheckDimColours", .Files = DimGraphics, .Arguments = {"--check"}, .Exit = 2,
     .Output = "isolinux.cfg:3:12: warning: MENU COLOR unsel: its text on row 5 has a contrast of 2.0:1 with its background, "
               "below the 3:1 that text needs to be read\n"},
    // The menu and its help file as --snapshot writes them without a tour: the menu at its resolution.
    {.Name = "SnapshotOfTheGraphicalMenu", .Files = {Copy("m", "tests/vesamenu/cases/26-res-1024x768")},
     .Arguments = {"--snapshot", "out", "m"},
     .Output = "menu (m/isolinux.cfg, vesamenu.c32, 1024x768): " + Files("menu") + "m/glyphs.txt: " + Files("glyphs"),
     .Pictures = {{"out/menu.png", "tests/vesamenu/golden/26-res-1024x768/00-boot.png"}},
     .FileLines = {{"out/menu.txt", 0, "", 47}}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(GraphicalTools, RedirectedRun, ::testing::ValuesIn(Runs), RowName());

}  // namespace
}  // namespace vestalo::testing
