// Configuration trees of our own, scanned as the boot loader reads them: include lines
// followed in place, text blocks, `config` labels, -c, the boot folder search and names from
// the medium's root. Each tree is read from its folder and, built into an ISO image with
// xorriso, from the image too (POSIX folders and tools: not in the Windows build).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "base/InOutError.h"
#include "config/Configuration.h"
#include "media/Medium.h"

namespace vestalo {
namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

struct TreeCase {
  const char* Name;
  Files Tree;
  const char* StartIn = "";       // the folder of the tree the program is started in
  const char* ConfigOption = "";  // -c
  bool AlsoImage = true;          // the same result expected from the tree as an image
  const char* Expected = "";      // as Summary() writes it
};

void PrintTo(const TreeCase& c, std::ostream* out) { *out << c.Name; }

std::string Place(const NamedFile& named) {
  return named.Name + (named.Found ? "" : "?") + "@" + named.Place.File + ":" +
         std::to_string(named.Place.Line) + ":" + std::to_string(named.Place.Column);
}

const char* const StopNames[] = {"", ":loop", ":too-deep", ":too-many"};

// What the scan found, in one line: the configuration and where it was found (its path
// from the tree), the winning lines with their places ("?": the file is missing), the files
// read, the include lines ("?": missing) and the labels that open other configurations.
std::string Summary(const media::Medium& files, const std::string& config,
                    const ConfigurationReport& report, const std::string& tree) {
  std::string where = files.PathForUser(config);
  if (where.rfind(tree, 0) == 0)
    where = where.substr(where.find_first_not_of(":/", tree.size()));  // IMAGE:/path
  std::string text = "config=" + where;
  if (report.Display.Place.Line > 0) text += " display=" + Place(report.Display);
  for (int i = 1; i <= HelpFileCount; ++i)
    if (report.Help[static_cast<std::size_t>(i)].Place.Line > 0)
      text += " F" + std::to_string(i) + "=" + Place(report.Help[static_cast<std::size_t>(i)]);
  text += " read=";
  for (const auto& file : report.FilesRead) text += (text.back() == '=' ? "" : ",") + file;
  for (const auto& include : report.Includes)
    text += " include=" + include.Name + (include.Found ? "" : "?") +
            StopNames[static_cast<int>(include.Stopped)];
  for (const auto& other : report.OtherConfigurations)
    text += " label=" + other.Label + ":" + other.Config.Name;
  return text;
}

class Tree {
 public:
  explicit Tree(const Files& files) {
    char pattern[] = "/tmp/vestalo-tree-XXXXXX";
    Root = mkdtemp(pattern);
    for (const auto& [name, bytes] : files) {
      fs::create_directories(fs::path(Root + "/" + name).parent_path());
      std::ofstream(Root + "/" + name, std::ios::binary) << bytes;
    }
  }
  ~Tree() { fs::remove_all(Root); }
  // The tree as an ISO image (Rock Ridge and Joliet names); empty without xorriso.
  std::string Image() const {
    const std::string image = Root + ".iso";
    const std::string command =
        "xorriso -as mkisofs -quiet -R -J -o '" + image + "' '" + Root + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 ? image : std::string();
  }
  std::string Root;
};

// Opens the medium and scans its configuration.
std::string Scan(const std::string& target, const std::string& option, const std::string& tree) {
  const auto files = media::OpenMedium(target);
  const std::string config = option.empty() ? files->StartConfiguration() : option;
  if (config.empty()) return "no configuration";
  return Summary(*files, config, ScanConfiguration(*files, config), tree);
}

class MediumScan : public ::testing::TestWithParam<TreeCase> {};

TEST_P(MediumScan, FindsWhatTheLoaderReads) {
  const TreeCase& c = GetParam();
  const Tree tree(c.Tree);
  const std::string start = tree.Root + (*c.StartIn != '\0' ? "/" + std::string(c.StartIn) : "");
  EXPECT_EQ(Scan(start, c.ConfigOption, start), c.Expected) << "from the folder";
  if (!c.AlsoImage) return;
  const std::string image = tree.Image();
  if (image.empty()) GTEST_SKIP() << "xorriso is not installed";
  EXPECT_EQ(Scan(image, c.ConfigOption, image), c.Expected) << "from the image";
  fs::remove(image);
}

const char* const Cfg = "isolinux/isolinux.cfg";

INSTANTIATE_TEST_SUITE_P(
    Trees, MediumScan,
    ::testing::Values(
        TreeCase{
            "IncludedLinesCountInPlaceAndInOrder",
            {{Cfg, "display a.txt\ninclude x.cfg\nF1 c.txt\n"},
             {"isolinux/x.cfg", "DISPLAY  b.txt\nF1 b.txt\nf2 b2.txt\n"}},
            "",
            "",
            true,
            "config=isolinux/isolinux.cfg display=b.txt?@x.cfg:1:10 F1=c.txt?@isolinux.cfg:3:4 "
            "F2=b2.txt?@x.cfg:3:4 read=isolinux.cfg,x.cfg include=x.cfg"},
        TreeCase{
            "NestedNamesAreReadInTheBootFolder",
            {{Cfg, "include sub/a.cfg\n"},
             {"isolinux/sub/a.cfg", "include b.cfg\n"},
             {"isolinux/b.cfg", "F1 top.txt\n"},
             {"isolinux/sub/b.cfg", "F1 sub.txt\n"},
             {"isolinux/top.txt", ""}},
            "",
            "",
            true,
            "config=isolinux/isolinux.cfg F1=top.txt@b.cfg:1:4 read=isolinux.cfg,sub/a.cfg,b.cfg "
            "include=sub/a.cfg include=b.cfg"},
        TreeCase{"AMissingIncludeIsSkipped",
                 {{Cfg, "include gone.cfg\ndisplay s.txt\n"}, {"isolinux/s.txt", ""}},
                 "",
                 "",
                 true,
                 "config=isolinux/isolinux.cfg display=s.txt@isolinux.cfg:2:9 read=isolinux.cfg "
                 "include=gone.cfg?"},
        TreeCase{
            "ALoopStopsWhereItClosesAndTheLinesAfterItCount",
            {{Cfg, "include a.cfg\nF2 after.txt\n"},
             {"isolinux/a.cfg", "F1 a.txt\ninclude ISOLINUX.CFG\nF3 a3.txt\n"}},
            "",
            "",
            true,
            "config=isolinux/isolinux.cfg F1=a.txt?@a.cfg:1:4 F2=after.txt?@isolinux.cfg:2:4 "
            "F3=a3.txt?@a.cfg:3:4 read=isolinux.cfg,a.cfg include=a.cfg include=ISOLINUX.CFG:loop"},
        TreeCase{"MenuIncludeInAnyLetterCaseWithATag",
                 {{Cfg, "MENU INCLUDE m.cfg\n  Menu Include n.cfg Submenu title\n"},
                  {"isolinux/m.cfg", "F1 m.txt\n"},
                  {"isolinux/n.cfg", "F2 n.txt\n"}},
                 "",
                 "",
                 true,
                 "config=isolinux/isolinux.cfg F1=m.txt?@m.cfg:1:4 F2=n.txt?@n.cfg:1:4 "
                 "read=isolinux.cfg,m.cfg,n.cfg include=m.cfg include=n.cfg"},
        TreeCase{
            "TextBlocksAreHelpTextEvenWhenUnterminated",
            {{Cfg,
              "label help\n  text help\n   Display help screens\n   include x.cfg\n  ENDTEXT\n"
              "  config prompt.cfg\ninclude open.cfg\nF2 out.txt\n"},
             {"isolinux/x.cfg", "F3 x.txt\n"},
             {"isolinux/open.cfg", "text\nF1 in.txt\n"}},
            "",
            "",
            true,
            "config=isolinux/isolinux.cfg F2=out.txt?@isolinux.cfg:8:4 read=isolinux.cfg,open.cfg "
            "include=open.cfg label=help:prompt.cfg"},
        TreeCase{"LabelsThatOpenOtherConfigurations",
                 {{Cfg,
                   "config early.cfg\nlabel linux\n kernel vmlinuz\nlabel help\n config prompt.cfg "
                   "/isolinux\n"
                   "LABEL rescue\n CONFIG /boot/rescue.cfg\n"},
                  {"isolinux/prompt.cfg", ""}},
                 "",
                 "",
                 true,
                 "config=isolinux/isolinux.cfg read=isolinux.cfg label=help:prompt.cfg "
                 "label=rescue:/boot/rescue.cfg"},
        TreeCase{"ConfigOptionFromTheMediumsRoot",
                 {{Cfg, "display i.txt\n"}, {"isolinux/prompt.cfg", "display p.txt\n"}},
                 "",
                 "prompt.cfg",
                 true,
                 "config=isolinux/prompt.cfg display=p.txt?@prompt.cfg:1:9 read=prompt.cfg"},
        TreeCase{"ConfigOptionInTheBootFolderWithARootName",
                 {{Cfg, ""},
                  {"isolinux/prompt.cfg", "include /isolinux/keys.cfg\n"},
                  {"isolinux/keys.cfg", "F1 k.txt\n"}},
                 "isolinux",
                 "/isolinux/prompt.cfg",
                 false,
                 "config=prompt.cfg F1=k.txt?@/isolinux/keys.cfg:1:4 "
                 "read=/isolinux/prompt.cfg,/isolinux/keys.cfg "
                 "include=/isolinux/keys.cfg"},
        TreeCase{"BootIsolinuxComesFirst",
                 {{"syslinux/syslinux.cfg", ""},
                  {"isolinux/isolinux.cfg", ""},
                  {"boot/isolinux/isolinux.cfg", ""}},
                 "",
                 "",
                 true,
                 "config=boot/isolinux/isolinux.cfg read=isolinux.cfg"},
        TreeCase{"IsolinuxBeforeBootSyslinux",
                 {{"boot/syslinux/isolinux.cfg", ""}, {"isolinux/syslinux.cfg", ""}},
                 "",
                 "",
                 true,
                 "config=isolinux/syslinux.cfg read=syslinux.cfg"},
        TreeCase{"BootSyslinuxBeforeSyslinuxInAnyLetterCase",
                 {{"SYSLINUX/SYSLINUX.CFG", ""}, {"Boot/Syslinux/Syslinux.Cfg", ""}},
                 "",
                 "",
                 true,
                 "config=Boot/Syslinux/Syslinux.Cfg read=syslinux.cfg"},
        // Both: a disk's loader reads syslinux.cfg; an image, and a folder beside
        // isolinux.bin, boot with ISOLINUX, which reads isolinux.cfg.
        TreeCase{"SyslinuxCfgWinsInItsFolder",
                 {{"isolinux/isolinux.cfg", ""}, {"isolinux/syslinux.cfg", ""}},
                 "",
                 "",
                 false,
                 "config=isolinux/syslinux.cfg read=syslinux.cfg"},
        TreeCase{"IsolinuxCfgWinsBesideIsolinuxBin",
                 {{"isolinux/isolinux.cfg", ""},
                  {"isolinux/syslinux.cfg", ""},
                  {"isolinux/isolinux.bin", ""}},
                 "",
                 "",
                 true,
                 "config=isolinux/isolinux.cfg read=isolinux.cfg"},
        // The current folder is the program's first place; in an image the root is the loader's
        // last.
        TreeCase{"TheCurrentFolderComesBeforeThePlacesBelowIt",
                 {{"isolinux.cfg", ""}, {"isolinux/isolinux.cfg", ""}},
                 "",
                 "",
                 false,
                 "config=isolinux.cfg read=isolinux.cfg"},
        TreeCase{"TheRootIsTheLastPlaceInAnImage",
                 {{"syslinux.cfg", "F1 root.txt\n"}, {"other/isolinux.cfg", ""}},
                 "",
                 "",
                 true,
                 "config=syslinux.cfg F1=root.txt?@syslinux.cfg:1:4 read=syslinux.cfg"},
        TreeCase{"NoConfigurationAnywhere",
                 {{"other/isolinux.cfg", ""}},
                 "",
                 "",
                 true,
                 "no configuration"},
        TreeCase{"RootNamesStayOnTheMedium",
                 {{"boot/isolinux/isolinux.cfg",
                   "display /boot/s.txt\nF1 /../../boot/s.txt\nF2 /etc/passwd\n"
                   "F3 ../../top.txt\nF4 ../../../../top.txt\n"},
                  {"boot/s.txt", ""},
                  {"top.txt", ""}},
                 "boot/isolinux",
                 "",
                 false,
                 "config=isolinux.cfg display=/boot/s.txt@isolinux.cfg:1:9 "
                 "F1=/../../boot/s.txt@isolinux.cfg:2:4 "
                 "F2=/etc/passwd?@isolinux.cfg:3:4 F3=../../top.txt@isolinux.cfg:4:4 "
                 "F4=../../../../top.txt@isolinux.cfg:5:4 read=isolinux.cfg"}),
    [](const ::testing::TestParamInfo<TreeCase>& info) { return std::string(info.param.Name); });

// A chain of include lines from isolinux.cfg down to a file `levels` deep that binds F1.
Files IncludeChain(int levels) {
  Files files{{"isolinux.cfg", "include c1.cfg\n"}};
  for (int level = 1; level <= levels; ++level)
    files.push_back(
        {"c" + std::to_string(level) + ".cfg",
         level < levels ? "include c" + std::to_string(level + 1) + ".cfg\n" : "F1 deep.txt\n"});
  return files;
}

TEST(IncludeDepth, TheLoadersDepthIsFollowedAndTheNextLevelIsNot) {
  const struct {
    int Levels;
    const char* Help;
    IncludeStop LastStop;
  } cases[] = {{MaxIncludeDepth, "deep.txt", IncludeStop::None},
               {MaxIncludeDepth + 1, "", IncludeStop::TooDeep}};
  for (const auto& c : cases) {
    const Tree tree(IncludeChain(c.Levels));
    const ConfigurationReport report =
        ScanConfiguration(*media::OpenMedium(tree.Root), "isolinux.cfg");
    EXPECT_EQ(report.Help[1].Name, c.Help) << c.Levels;
    ASSERT_EQ(report.Includes.size(), static_cast<std::size_t>(c.Levels)) << c.Levels;
    EXPECT_EQ(report.Includes.back().Stopped, c.LastStop) << c.Levels;
  }
}

TEST(IncludeDepth, AFileIncludedOverAndOverIsFollowedOnlySoOften) {
  std::string lines;
  for (std::size_t i = 0; i <= MaxIncludesFollowed; ++i) lines += "include again.cfg\n";
  const Tree tree({{"isolinux.cfg", lines}, {"again.cfg", "F1 again.txt\n"}});
  const ConfigurationReport report =
      ScanConfiguration(*media::OpenMedium(tree.Root), "isolinux.cfg");
  EXPECT_EQ(report.FilesRead, (std::vector<std::string>{"isolinux.cfg", "again.cfg"}));
  ASSERT_EQ(report.Includes.size(), MaxIncludesFollowed + 1);
  EXPECT_EQ(report.Includes[MaxIncludesFollowed - 1].Stopped, IncludeStop::None);
  EXPECT_EQ(report.Includes.back().Stopped, IncludeStop::TooMany);
}

}  // namespace
}  // namespace vestalo
