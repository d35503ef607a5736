#include "main/BootMenu.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "main/WouldBoot.h"

namespace vestalo {
namespace {

TEST(MenuKeys, DigitsStandInForFunctionKeysWhereTheMenuDoesNotTakeThem) {
  // clang-format off
  const struct {
    uint8_t Code, Extended;
    bool Taken;
    uint8_t Char, WantedExtended;
  } cases[] = {
      {'1', 0, false, 0, 0x3B}, {'9', 0, false, 0, 0x43}, {'0', 0, false, 0, 0x44},  // F1, F9, F10
      {'1', 0, true, '1', 0},   // a hotkey, or text being typed
      {'a', 0, false, 'a', 0}, {0, 0x48, false, 0, 0x48}, {0, 0x3C, true, 0, 0x3C},
  };
  // clang-format on
  for (const auto& c : cases) {
    const menu::Key key = MenuKeyFor(c.Code, c.Extended, c.Taken);
    EXPECT_EQ(key.Char, c.Char) << int(c.Code);
    EXPECT_EQ(key.Extended, c.WantedExtended) << int(c.Code);
  }
}

TEST(WouldBoot, TellsWhatWouldRunAndWhichFilesAreThere) {
  menu::Outcome linux;
  linux.Type = menu::Outcome::Boot;
  linux.Label = "live";
  linux.Kernel = "/live/vmlinuz";
  linux.KernelKind = "linux";
  linux.Files = {"/live/vmlinuz", "/live/initrd.gz"};
  linux.CommandLine = "boot=live quiet initrd=/live/initrd.gz";
  linux.IpAppend = 2;
  const std::set<std::string> there = {"/live/vmlinuz"};
  EXPECT_EQ(
      WouldBootLines(linux, [&](const std::string& name) { return there.count(name) > 0; }),
      (std::vector<std::string>{
          "Here the boot loader would boot; Vestalo shows what would run.", "",
          "  the entry     live", "  the kernel    /live/vmlinuz", "  on the medium: /live/vmlinuz",
          "  MISSING:       /live/initrd.gz",
          "  the command line the loader builds:", "    boot=live quiet initrd=/live/initrd.gz",
          "  IPAPPEND 2: the loader adds the network's settings to the command line", "",
          "Press any key to return to the menu."}));
  menu::Outcome config;
  config.Type = menu::Outcome::Boot;
  config.Kernel = "prompt.cfg";
  config.KernelKind = "kernel";
  config.Files = {"prompt.cfg"};
  const auto lines = WouldBootLines(config, [](const std::string&) { return true; });
  EXPECT_EQ(lines[2], "  the kernel    prompt.cfg");
  EXPECT_EQ(lines[4],
            "  ISOLINUX 6.04 takes prompt.cfg as a kernel here, not as a configuration: the");
  EXPECT_EQ(lines[5], "  menu comes back (a CONFIG line opens one).");
  // LOCALBOOT 0 runs no file: the local disk boots.
  menu::Outcome local;
  local.Type = menu::Outcome::Boot;
  local.Label = "hd";
  local.Kernel = "0";
  local.KernelKind = "localboot";
  EXPECT_EQ(WouldBootLines(local, [](const std::string&) { return false; })[3],
            "  the local disk 0");
}

}  // namespace
}  // namespace vestalo
