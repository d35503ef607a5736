#include "main/BootMenu.h"

#include <chrono>
#include <memory>
#include <optional>

#include "console/Console.h"
#include "main/HelpKeyMenu.h"
#include "main/ProgramState.h"
#include "main/RunModes.h"
#include "main/WouldBoot.h"
#include "menu/Session.h"

namespace vestalo {

namespace {

using Clock = std::chrono::steady_clock;

// The next key, waiting at most `timeoutMs` (below 0: for ever); a 0 and the extended code
// it announces come as one key.
std::optional<menu::Key> ReadKey(int timeoutMs, const menu::Session& session) {
  const std::optional<uint8_t> code =
      timeoutMs < 0 ? console::NextKey() : console::NextKeyWithin(timeoutMs);
  if (!code) return std::nullopt;
  const uint8_t extended = *code == 0 ? console::NextKey() : 0;
  return MenuKeyFor(*code, extended, *code != 0 && session.TakesCharacter(*code));
}

// Where the loader would boot: what would run, until any key.
void ShowWouldBoot(const menu::Outcome& boot) {
  screen::ScreenGrid grid;
  grid.ClearScreen();
  for (const auto& line : WouldBootLines(
           boot, [](const std::string& name) { return MediumFiles->FileIsPresent(name); }))
    grid.Write(line + "\n");
  console::ShowCells(grid, false);
  if (console::NextKey() == 0) console::NextKey();
}

// The session's screen: the graphics screen of vesamenu.c32 while it shows (its picture drawn
// only for a terminal that shows it), else its cells.
void ShowSession(const std::shared_ptr<const menu::Session>& session) {
  // Where a picture will most likely be sent, the background is decoded whole at once: the
  // cells' means come from it, and it is not decoded a second time for the picture.
  if (session->ShowsGraphics() && console::PicturesLikely()) session->ReadWholeBackground();
  if (session->ShowsGraphics())
    console::ShowGraphicalScreen(session->GraphicalCellsComing(),
                                 [session] { return session->GraphicalPicture(); });
  else console::ShowCells(session->Screen(), session->Screen().CursorShows());
}

}  // namespace

menu::Key MenuKeyFor(uint8_t code, uint8_t extended, bool menuTakesCharacter) {
  if (code == 0) return {0, extended};
  if (!menuTakesCharacter)
    if (const int index = HelpIndexForKey(code))
      return {0, static_cast<uint8_t>(menu::keys::F1 + index - 1)};
  return {code, 0};
}

void RunBootMenu(const menu::MenuStart& start) {
  auto session = std::make_shared<menu::Session>(*MediumFiles, start);
  menu::Outcome outcome = session->Elapse(0);
  Clock::time_point last = Clock::now();
  for (;;) {
    if (outcome.Type == menu::Outcome::Boot &&
        menu::ModuleNamed(outcome.Kernel) != menu::Module::None) {
      // An entry that runs a menu module again: the loader reads the configuration named after it.
      outcome.Type = menu::Outcome::OpenConfiguration;
      outcome.Configuration = outcome.CommandLine.empty() ? ConfigName : outcome.CommandLine;
    }
    if (outcome.Type == menu::Outcome::Boot) {
      ShowWouldBoot(outcome);
    } else if (outcome.Type == menu::Outcome::OpenConfiguration) {
      ConfigName = outcome.Configuration;
      const menu::MenuStart next = menu::FindMenuStart(*MediumFiles, ConfigName);
      if (next.Kind == menu::Module::None) {
        LoadConfiguration(ConfigName);
        ShowSplashScreen();
        RunHelpKeyMenu();
        return;
      }
      session = std::make_shared<menu::Session>(*MediumFiles, next);
      outcome = session->Elapse(0);
      continue;
    } else if (outcome.Type == menu::Outcome::BootPrompt) {
      // The loader's prompt, on what the menu left on the screen: its help keys work there.
      ShowSession(session);
      LoadConfiguration(outcome.Configuration);
      RunHelpKeyMenu();
      return;
    }
    ShowSession(session);
    const std::optional<menu::Key> key = ReadKey(session->NextChangeMs(), *session);
    const Clock::time_point now = Clock::now();
    const int elapsed =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count());
    last = now;
    outcome = session->Elapse(elapsed);
    if (key && outcome.Type == menu::Outcome::Stay) outcome = session->Press(*key);
  }
}

}  // namespace vestalo
