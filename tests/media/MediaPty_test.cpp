// Boot media end to end: a medium whose help keys lie behind include lines and a `config`
// label, read from its folder (checked against the boot loader's own screens), from the
// medium's root and from ISO images built here with xorriso (checked cell for cell against
// the folder); the notice of a configuration without a display line; damaged images.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "console/Cp437.h"
#include "console/Sgr.h"
#include "hardening/Redirect.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

namespace fs = std::filesystem;

const std::string Suite = VESTALO_SOURCE_DIR "/tests/fidelity";
const std::string MediumFolder = Suite + "/include-medium";
constexpr int Rows = 25, Columns = 80;

// The medium as it lies on a disc: its files in isolinux/ below the root.
class Disc {
 public:
  Disc() { fs::copy(MediumFolder, Tree.Path() + "/isolinux"); }
  std::string Root() const { return Tree.Path(); }
  // An image of the disc made by xorriso with `options`; empty when xorriso is missing.
  std::string Image(const std::string& options, const std::string& name) const {
    const std::string image = Images.Path() + "/" + name;
    const std::string command =
        "xorriso -as mkisofs -quiet " + options + " -o '" + image + "' '" + Root() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 ? image : std::string();
  }

 private:
  TempFolder Tree, Images;
};

std::vector<ScreenCell> Cells(const PtyProgram& program) {
  std::vector<ScreenCell> cells;
  for (int row = 0; row < Rows; ++row)
    for (int column = 0; column < Columns; ++column) cells.push_back(program.Cell(row, column));
  return cells;
}

bool SameCell(const ScreenCell& a, const ScreenCell& b) {
  return a.Char == b.Char && a.Foreground == b.Foreground && a.Background == b.Background && a.Reverse == b.Reverse;
}

// What is wrong with the terminal's screen number `screen` (nothing once it is as wanted).
using ScreenCheck = std::function<std::vector<std::string>(std::size_t screen, const PtyProgram&)>;

// Starts the program and, once each screen is as `check` wants it (or three seconds are up),
// reports what still differs and presses the next key; "x" at the end.
void CheckScreens(const std::vector<std::string>& arguments, const std::string& folder, const std::string& keys,
                  const ScreenCheck& check) {
  PtyOptions options;
  options.Arguments = arguments;
  options.Directory = folder;
  PtyProgram program(options);
  for (std::size_t i = 0; i <= keys.size(); ++i) {
    program.WaitUntil([&] { return check(i, program).empty(); }, 3000);
    const auto differences = check(i, program);
    EXPECT_TRUE(differences.empty()) << "screen " << i << ": " << differences.size() << " differences, first: "
                                     << differences.front() << "\n" << program.ScreenText();
    // Idle twice, 30 ms apart: the first look may fall on the quick check for waiting input
    // after a screen, and a key that came before that check would end the menu.
    ASSERT_TRUE(program.WaitForIdle());
    program.WaitUntil([] { return false; }, 30);
    ASSERT_TRUE(program.WaitForIdle());
    if (i < keys.size()) program.Send(keys.substr(i, 1));
  }
  program.Send("x");
  EXPECT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

// The screens of a run whose screens show these texts, in turn.
std::vector<std::vector<ScreenCell>> ScreensShowing(const std::vector<std::string>& arguments,
                                                     const std::string& folder, const std::string& keys,
                                                     const std::vector<std::string>& texts) {
  std::vector<std::vector<ScreenCell>> screens;
  CheckScreens(arguments, folder, keys, [&](std::size_t screen, const PtyProgram& program) {
    if (program.ScreenText().find(texts[screen]) == std::string::npos) return std::vector<std::string>{texts[screen]};
    screens.resize(screen + 1);
    screens[screen] = Cells(program);
    return std::vector<std::string>{};
  });
  return screens;
}

std::vector<std::string> DifferentCells(const std::vector<ScreenCell>& cells, const std::vector<ScreenCell>& wanted) {
  std::vector<std::string> differences;
  for (std::size_t at = 0; at < cells.size() && at < wanted.size(); ++at)
    if (!SameCell(cells[at], wanted[at]))
      differences.push_back("row " + std::to_string(at / Columns) + " column " + std::to_string(at % Columns));
  return differences;
}

// The boot loader's screen from the fidelity suite's goldens: character and attribute bytes,
// and the row of its `boot: ` prompt, which the preview does not draw.
int TerminalColour(int pcColour) { return console::EcmaColour(pcColour & 7) + (pcColour & 8); }

std::vector<std::string> DifferencesFromLoader(const std::vector<ScreenCell>& cells, const std::string& golden) {
  std::ifstream bin(Suite + "/golden/" + golden + ".bin", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(bin), {}};
  std::ifstream cursors(Suite + "/golden/cursors.txt");
  int promptRow = -1;
  for (std::string name; cursors >> name;) {
    int row = 0, column = 0;
    cursors >> row >> column;
    if (name == golden) promptRow = row;
  }
  if (bytes.size() != Rows * Columns * 2 || promptRow < 0) return {golden + ": no golden screen"};
  std::vector<std::string> differences;
  for (int at = 0; at < Rows * Columns; ++at) {
    if (at / Columns == promptRow) continue;
    const auto byte = static_cast<unsigned char>(bytes[static_cast<std::size_t>(at) * 2]);
    const auto attr = static_cast<unsigned char>(bytes[static_cast<std::size_t>(at) * 2 + 1]);
    const ScreenCell expected{console::Cp437CodePoint(byte), TerminalColour(attr & 15), TerminalColour(attr >> 4)};
    if (!SameCell(cells[static_cast<std::size_t>(at)], expected))
      differences.push_back(golden + " row " + std::to_string(at / Columns) + " column " + std::to_string(at % Columns));
  }
  return differences;
}

TEST(IncludeFidelity, HelpKeysBehindIncludesAndAConfigLabelShowWhatTheLoaderShows) {
  const struct {
    std::vector<std::string> Arguments;
    std::string Keys;
    std::vector<std::string> Goldens;
  } runs[] = {
      {{}, "120", {"medium-include", "medium-include-f1", "medium-include-f2", "medium-include-f10"}},
      {{"-c", "prompt.cfg"}, "1", {"medium-include-config-ret", "medium-include-config-f1"}},
  };
  for (const auto& run : runs)
    CheckScreens(run.Arguments, MediumFolder, run.Keys, [&](std::size_t screen, const PtyProgram& program) {
      return DifferencesFromLoader(Cells(program), run.Goldens[screen]);
    });
}

// The same medium from elsewhere: each screen equals the one drawn in its boot folder.
struct ElsewhereCase {
  const char* Name;
  const char* XorrisoOptions;  // the image to make; nullptr: the disc's root folder
  std::vector<std::string> Arguments;  // "IMAGE" stands for the image
};

void PrintTo(const ElsewhereCase& c, std::ostream* out) { *out << c.Name; }

class SameScreens : public ::testing::TestWithParam<ElsewhereCase> {};

TEST_P(SameScreens, AsFromTheBootFolder) {
  const ElsewhereCase& c = GetParam();
  const Disc disc;
  std::string image;
  if (c.XorrisoOptions != nullptr) {
    image = disc.Image(c.XorrisoOptions, "kestrel.iso");
    if (image.empty()) GTEST_SKIP() << "xorriso is not installed";
  }
  std::vector<std::string> arguments = c.Arguments;
  for (auto& argument : arguments)
    if (argument == "IMAGE") argument = image;
  const bool config = !arguments.empty() && (arguments[0] == "-c" || arguments[0] == "--config");
  const std::vector<std::string> inBootFolder =
      config ? std::vector<std::string>{"-c", "prompt.cfg"} : std::vector<std::string>{};
  const std::vector<std::string> texts = {config ? "Press F1, F2 or F10." : "Press F1 for help.",
                                          config ? "Nothing is written" : "done", "Nothing is written",
                                          "so the splash stays."};
  const auto expected = ScreensShowing(inBootFolder, disc.Root() + "/isolinux", "120", texts);
  ASSERT_EQ(expected.size(), texts.size());
  CheckScreens(arguments, disc.Root(), "120", [&](std::size_t screen, const PtyProgram& program) {
    return DifferentCells(Cells(program), expected[screen]);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Media, SameScreens,
    ::testing::Values(ElsewhereCase{"TheDiscsRoot", nullptr, {}},
                      ElsewhereCase{"TheDiscsRootWithConfig", nullptr, {"-c", "prompt.cfg"}},
                      ElsewhereCase{"TheBootFolderAsArgument", nullptr, {"isolinux"}},
                      ElsewhereCase{"RockRidgeAndJolietImage", "-R -J", {"IMAGE"}},
                      ElsewhereCase{"RockRidgeImageWithConfig", "-R -J", {"-c", "prompt.cfg", "IMAGE"}},
                      ElsewhereCase{"RootNameOfTheConfig", "-R", {"-c", "/isolinux/prompt.cfg", "IMAGE"}},
                      ElsewhereCase{"UpperCaseIso9660Names", "--norock", {"IMAGE"}},
                      ElsewhereCase{"UpperCaseIso9660NamesWithConfig", "--norock", {"--config", "prompt.cfg", "IMAGE"}},
                      ElsewhereCase{"HybridImage", "-R -J -isohybrid-mbr /usr/lib/ISOLINUX/isohdpfx.bin "
                                                   "-b isolinux/help1.txt -no-emul-boot",
                                    {"IMAGE"}}),
    [](const ::testing::TestParamInfo<ElsewhereCase>& info) { return std::string(info.param.Name); });

TEST(Notice, ListsWhatWasReadTheHelpKeysAndTheConfigurationsTheMenuOpens) {
  TempFolder folder;
  folder.Write("isolinux/isolinux.cfg", "default vesamenu.c32\nF1 f1.txt\ninclude menu.cfg\nF10 f10.txt\n");
  folder.Write("isolinux/menu.cfg",
               "label help\n  text help\n   Display help\n  endtext\n  config prompt.cfg\n"
               "label again\n  config prompt.cfg\nlabel expert\n  CONFIG /boot/expert.cfg\nF2 f2.txt\n");
  const Outcome outcome = RunArranged({}, folder.Path(), {});
  EXPECT_EQ(outcome.Out,
            "Vestalo read this configuration and the file it includes:\r\n"
            "  isolinux/isolinux.cfg\r\n"
            "It names no splash screen: it has no display line.\r\n"
            "\r\n"
            "Help screens: press 1, 2 or 0 (its F1, F2 and F10 lines).\r\n"
            "\r\n"
            "Its menu opens other configurations; to see their screens, run:\r\n"
            "  vestalo -c prompt.cfg                  (label help)\r\n"
            "  vestalo -c /boot/expert.cfg            (label expert)\r\n"
            "\r\n"
            "Press x to end.\r\n");
  EXPECT_EQ(outcome.ExitCode, 0);
}

TEST(LockedFolder, AsTheArgumentIsReportedAndNoAbort) {
  TempFolder folder;
  folder.Write("locked/isolinux.cfg", "display s.txt\n");
  const std::string program = folder.Path() + "/vestalo";
  fs::copy_file(VESTALO_BINARY, program);
  chmod(folder.Path().c_str(), 0755);
  chmod((folder.Path() + "/locked").c_str(), 0600);  // no one but root may enter it
  const passwd* nobody = getpwnam("nobody");
  const Outcome outcome = RunArranged({"locked"}, folder.Path(), [nobody] {
    if (getuid() == 0 && (nobody == nullptr || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
                          setuid(nobody->pw_uid) != 0))
      _exit(124);
  }, 15000, {}, program);
  ASSERT_NE(outcome.ExitCode, 124) << "could not become an unprivileged user";
  EXPECT_EQ(outcome.ExitCode, 1);
  EXPECT_TRUE(IsFailureReport(outcome.Err, "File access denied")) << outcome.Err;
}

// A real image, damaged on purpose: cut to `Keep` bytes (counted from its end when not above
// zero), or with `Bytes` written over a field of both root folder records (the plain names'
// and Joliet's volume descriptor, sectors 16 and 17): the folder's sector at 2, its size at 10.
struct DamageCase {
  const char* Name;
  std::int64_t Keep;
  std::streamoff Field;
  const char* Bytes;
};

void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.Name; }

class DamagedImage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedImage, EndsWithAReportAndExitCodeOne) {
  const DamageCase& c = GetParam();
  const Disc disc;
  const std::string image = disc.Image("-R -J -no-pad", "damaged.iso");
  if (image.empty()) GTEST_SKIP() << "xorriso is not installed";
  const auto size = static_cast<std::int64_t>(fs::file_size(image));
  fs::resize_file(image, static_cast<std::uintmax_t>(c.Keep > 0 ? c.Keep : size + c.Keep));
  std::fstream bytes(image, std::ios::in | std::ios::out | std::ios::binary);
  for (std::streamoff descriptor = 16; c.Bytes != nullptr && descriptor <= 17; ++descriptor) {
    bytes.seekp(descriptor * 2048 + 156 + c.Field);
    bytes.write(c.Bytes, 8);
  }
  bytes.close();
  const Outcome outcome = RunArranged({"-c", "prompt.cfg", image}, disc.Root(), {}, 10000);
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 1);
  const std::string head = "Exception EInOutError in module vestalo at ";
  EXPECT_EQ(outcome.Err.rfind(head, 0), 0u) << outcome.Err;
  EXPECT_EQ(outcome.Err.find("\r\nDamaged or truncated ISO image: "), head.size() + 9) << outcome.Err;
  EXPECT_TRUE(outcome.Err.ends_with(".\r\n\r\n")) << outcome.Err;
}

INSTANTIATE_TEST_SUITE_P(Images, DamagedImage,
                         ::testing::Values(DamageCase{"CutAfterItsVolumeDescriptors", 19 * 2048, 0, nullptr},
                                           DamageCase{"CutBeforeItsLastFile", -2048, 0, nullptr},
                                           DamageCase{"RootFolderBeyondItsEnd", 0, 2, "\xff\xff\xff\x0f\x0f\xff\xff\xff"},
                                           DamageCase{"RootFolderOfTwoGigabytes", 0, 10, "\xff\xff\xff\x7f\x7f\xff\xff\xff"}),
                         [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace vestalo::testing
