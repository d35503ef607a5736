// A graphical screen in a terminal, end to end: the test-only program of
// GraphicalProgram_test.cpp shows it through the console in a pseudo-terminal that answers
// as kitty, as a sixel terminal, or not at all. Colours are the ones written there, brought
// down by hand: Ink 250,250,250 is 231 of 256 and bright white (15) of 16; Title 100,20,20 is
// 52 and red (1); Sea 16,32,200 is 20 and blue (4).
#include <signal.h>

#include <string>

#include "support/RunTables.h"

namespace vestalo::testing {
namespace {

// The unit-test binary of the same build, which holds the test-only program.
std::string TestProgram() {
  std::string path = VESTALO_BINARY;
  return path.substr(0, path.rfind("/src/")) + "/tests/vestalo_tests";
}

std::vector<std::string> Environment(std::vector<std::string> more = {}) {
  more.push_back("VESTALO_GRAPHICAL_PROGRAM=1");
  return more;
}

constexpr int Ink = 0xFAFAFA, Title = 0x641414, Sea = 0x1020C8;
// The kitty picture goes in strips of one row of cells, each under its own id from 4242 on.
#define KITTY_STRIP(id) ESC "_Ga=T,f=100,i=" #id ",q=2,C=1,"
#define KITTY_PICTURE KITTY_STRIP(4242)
// On the same computer the strips' raw pixels go through shared memory.
#define SHARED_STRIP(id) ESC "_Ga=T,f=24,t=s,s=640,v=16,i=" #id ",q=2,C=1,c=80,r=1;"

// clang-format off
const ScriptRow GraphicalRuns[] = {
    {.Name = "CellsIn256ColoursWhereTheTerminalAnswersNothing",
     .Steps = {Row(0, "Boot menu"), Idle(), Cell(0, 0, 231, 52), Cell(5, 5, 231, 20), Cell(28, 77, 52, 20),
               Row(28, std::string(77, ' ') + "\u2588"), Send("1"), Row(0, "Pressed 1"), Idle(),
               Drawn(KITTY_PICTURE, 0), Drawn(ESC "Pq", 0), Send("x")},
     .Rows = 30, .Silent = true, .Environment = Environment(), .Program = TestProgram()},
    {.Name = "SixteenColoursWhereTermOffersNoMore",
     .Steps = {Row(0, "Boot menu"), Idle(), Cell(0, 0, 15, 1), Cell(5, 5, 15, 4), Send("x")},
     .Rows = 30, .Silent = true, .Environment = Environment({"TERM=xterm"}), .Program = TestProgram()},
    {.Name = "TrueColourWhereColortermSaysSo",
     .Steps = {Row(0, "Boot menu"), Idle(), Rgb(0, 0, Ink, Title), Rgb(5, 5, Ink, Sea), Send("x")},
     .Rows = 30, .Silent = true, .Environment = Environment({"COLORTERM=truecolor"}),
     .Program = TestProgram()},
    // The terminal keeps a 24-bit colour it is asked back: the cells go out again in 24 bits.
    {.Name = "TrueColourWhereTheTerminalKeepsIt",
     .Steps = {Row(0, "Boot menu"), Idle(), Sent(CSI "0;38;2;250;250;250;48;2;100;20;20m"), Idle(),
               Rgb(0, 0, Ink, Title), Rgb(28, 77, Title, Sea), Drawn(ESC "_Ga=T", 0), Send("x")},
     .Rows = 30, .Environment = Environment(), .Program = TestProgram()},
    // The first screen goes out as cells; the picture takes over once kitty answered: 640x480
    // pixels over 80x30 cells, a strip a row. A key sends again only the strip it changed.
    // The question's pixel in shared memory, not read, is removed once the answers are in.
    {.Name = "KittyPictureTakesOverOnceAnswered",
     .Steps = {Row(0, "Boot menu"), Sent(KITTY_PICTURE "c=80,r=1,m=0;"), Sent(KITTY_STRIP(4271) "c=80,r=1,"),
               Idle(), SharedGone(), Drawn(KITTY_STRIP(4272), 0), Before(CSI "0;38;5;231;48;5;52m", KITTY_PICTURE),
               Rgb(0, 0, Ink, Title), Send("1"), Row(0, "Pressed 1"), Sent(KITTY_PICTURE, 2), Idle(),
               Drawn(KITTY_STRIP(4243), 1), Send("x")},
     .Rows = 30, .KittyGraphics = true, .Environment = Environment(), .Program = TestProgram()},
    {.Name = "KittyPictureThroughSharedMemoryOnTheSameComputer",
     .Steps = {Row(0, "Boot menu"), Sent(SHARED_STRIP(4242)), Sent(SHARED_STRIP(4271)), Idle(),
               Drawn(KITTY_PICTURE, 0), Send("1"), Row(0, "Pressed 1"), Sent(SHARED_STRIP(4242), 2),
               Idle(), Drawn(SHARED_STRIP(4243), 1), Send("x")},
     .Rows = 30, .KittyGraphics = true, .KittyMemory = true, .Environment = Environment(),
     .Program = TestProgram()},
    // The question's pixel in shared memory, never read, goes with the program.
    {.Name = "SharedMemoryQuestionRemovedWhenEndedBySignal",
     .Steps = {Row(0, "Boot menu"), Sent(ESC "_Gi=32,"), Idle(), Signal(SIGTERM)},
     .Signal = SIGTERM, .Rows = 30, .Silent = true, .Environment = Environment(),
     .Program = TestProgram()},
    {.Name = "KittyPictureOfWhatFitsASmallerTerminal",
     .Steps = {Row(0, "Boot menu"), Sent(KITTY_STRIP(4265) "c=80,r=1,"), Idle(), Drawn(KITTY_STRIP(4266), 0),
               Send("x"), Shows("80x24, smaller than the boot screen's 78x29: 5 rows")},
     .Rows = 24, .KittyGraphics = true, .Environment = Environment(), .Program = TestProgram()},
    {.Name = "KittyPictureDeletedWhenEndedBySignal",
     .Steps = {Row(0, "Boot menu"), Sent(KITTY_PICTURE), Idle(), Signal(SIGTERM)},
     .Signal = SIGTERM, .Rows = 30, .KittyGraphics = true, .Environment = Environment(),
     .Program = TestProgram()},
    // Sixel: the picture in 8x16 cells (the terminal tells no size), the last row kept free.
    {.Name = "SixelPictureTakesOverOnceAnswered",
     .Steps = {Row(0, "Boot menu"), Sent(ESC "Pq\"1;1;624;464#0;2;"), Idle(), Send("1"),
               Sent(ESC "Pq\"1;1;624;464#0;2;", 2), Idle(), Send("x")},
     .Rows = 30, .Sixel = true, .Environment = Environment(), .Program = TestProgram()},
    {.Name = "SixelPictureKeepsTheLastRowFree",
     .Steps = {Row(0, "Boot menu"), Sent(ESC "Pq\"1;1;624;352#"), Idle(), Send("x")},
     .Rows = 23, .Sixel = true, .Environment = Environment(), .Program = TestProgram()},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Graphical, TerminalScript, ::testing::ValuesIn(GraphicalRuns), RowName());

}  // namespace
}  // namespace vestalo::testing
