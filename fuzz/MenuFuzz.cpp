// A boot menu from a mutated configuration, driven by mutated keys and time: the session
// must end every key, never write outside its grid (80x25, or the graphics screen's; the
// AddressSanitizer watches), keep its cursor on the screen, draw the graphics screen's cells
// and picture, and say when the screen next changes without going backwards.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/InOutError.h"
#include "media/MemoryMedium.h"
#include "menu/Session.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// The files of the medium, in the order the input's parts (split at NUL bytes) fill them.
constexpr const char* Names[] = {"isolinux.cfg", "a.cfg", "f1.txt", "help.txt"};

// Keys: a byte is a character; 0xE0 makes the next byte an extended code; 0xFE waits the
// next byte's tenths of a second.
void Drive(menu::Session& session, std::string_view keys) {
  for (std::size_t i = 0; i < keys.size() && i < 4096; ++i) {
    const auto byte = static_cast<uint8_t>(keys[i]);
    const auto next = i + 1 < keys.size() ? static_cast<uint8_t>(keys[i + 1]) : uint8_t{0};
    menu::Outcome outcome;
    if (byte == 0xE0 || byte == 0xFE) ++i;
    if (byte == 0xE0) outcome = session.Press({0, next});
    else if (byte == 0xFE) outcome = session.Elapse(next * 100);
    else outcome = session.Press({byte, 0});
    const screen::ScreenGrid& grid = session.Screen();
    if (grid.CursorRow() < 0 || grid.CursorRow() >= grid.RowCount() || grid.CursorColumn() < 0 ||
        grid.CursorColumn() >= grid.ColumnCount())
      Fail("cursor off the screen");
    if (session.ShowsGraphics() &&
        session.GraphicalCells().Cells.size() !=
            static_cast<std::size_t>(grid.RowCount() * grid.ColumnCount()))
      Fail("the graphics screen's cells are not its grid's");
    if (session.NextChangeMs() < -1) Fail("a change in the past");
    if (outcome.Type == menu::Outcome::BootPrompt) return;  // the program takes over
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The keys come first, up to two NUL bytes; then the files, one per NUL-separated part.
  const std::size_t split = input.find(std::string_view("\0\0", 2));
  const std::string_view keys = input.substr(0, split);
  std::string_view rest = split == std::string_view::npos ? "" : input.substr(split + 2);
  std::map<std::string, std::string> files;
  for (const char* name : Names) {
    const std::size_t end = rest.find('\0');
    files[name] = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
  }
  if (files["isolinux.cfg"].empty()) files["isolinux.cfg"] = std::string(keys);
  try {
    const vestalo::media::MemoryMedium medium(files);
    const menu::MenuStart start = menu::FindMenuStart(medium, "isolinux.cfg");
    menu::Session session(medium, "isolinux.cfg");
    Drive(session, keys);
    const std::vector<std::string> names = session.MenuNames();
    for (std::size_t i = 0; i < names.size() && i < 64; ++i) {
      session.Open(names[i]);
      Drive(session, keys.substr(0, 64));
    }
    if (start.Kind != menu::Module::None) {
      menu::Session started(medium, start);
      Drive(started, keys);
      const screen::RgbImage picture = started.GraphicalPicture();
      if (started.ShowsGraphics() &&
          (picture.Width != started.PixelWidth() || picture.Height != started.PixelHeight()))
        Fail("the graphics screen's picture is not the screen's size");
    }
  } catch (const vestalo::EInOutError&) {
    // A file too large for the program: its failure report, as for any medium.
  }
  return 0;
}
