// A test-only program that shows a graphical screen through the console as the driver will:
// it runs instead of the unit tests when VESTALO_GRAPHICAL_PROGRAM is set, as the terminal
// tables of GraphicalPty_test.cpp start this binary. Each key but "x" shows the next screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/InOutError.h"
#include "console/Console.h"

namespace {

// Colours written by hand for the terminal tables: a blue picture, a dark red title row.
constexpr screen::Colour Sea{16, 32, 200}, Title{100, 20, 20}, Ink{250, 250, 250};

// Screen `number`: 640x480 pixels, 78x29 cells; row 0 names it, and from the second on the
// picture's top left corner is dark red as well.
screen::GraphicalScreen SampleScreen(int number) {
  screen::GraphicalScreen shown;
  shown.Picture = {640, 480, std::vector<screen::Colour>(640 * 480, Sea)};
  if (number > 0)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 96; ++x) shown.Picture.At(x, y) = Title;
  shown.Cells.Rows = 29, shown.Cells.Columns = 78;
  shown.Cells.Cells.assign(29 * 78, screen::ColourCell{' ', Ink, Sea});
  const std::string name = number == 0 ? "Boot menu" : "Pressed " + std::to_string(number);
  for (std::size_t at = 0; at < name.size(); ++at)
    shown.Cells.At(0, static_cast<int>(at)) = {static_cast<unsigned char>(name[at]), Ink, Title};
  shown.Cells.At(28, 77) = {0xDB, Title, Sea};  // the last cell: a full block
  return shown;
}

int RunProgram() {
  console::InitialiseConsole();
  try {
    int number = 0;
    console::ShowGraphicalScreen(SampleScreen(number));
    for (uint8_t key = console::NextKey(); key != 'x'; key = console::NextKey())
      if (key != 0) console::ShowGraphicalScreen(SampleScreen(++number));
  } catch (const vestalo::EInputEnded&) {
  }
  console::FlushConsole();
  console::RestoreConsole();
  const std::string note = console::SmallTerminalNote();
  if (!note.empty()) std::fprintf(stderr, "\n%s\n", note.c_str());
  return 0;
}

// Runs as the test program starts, before any test or line of its report, and ends it: by
// then every static object of the program's layers is made.
class ProgramInstead : public ::testing::EmptyTestEventListener {
  void OnTestProgramStart(const ::testing::UnitTest&) override { std::exit(RunProgram()); }
};

const bool ProgramSetUp =
    std::getenv("VESTALO_GRAPHICAL_PROGRAM") != nullptr &&
    (::testing::UnitTest::GetInstance()->listeners().Append(new ProgramInstead), true);

}  // namespace
