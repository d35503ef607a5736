// Boot media from mutated input: an ISO image (damaged in any way), or a folder of
// configuration files that include each other. Opening the medium, scanning its configuration
// and loading the screens it names must end, with a failure report at worst, and what comes
// out must keep the program's promises: no file read twice in the list of files, the winning
// lines bound, screens within their limits, a notice that fits the screen.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "base/InOutError.h"
#include "config/Configuration.h"
#include "media/MemoryMedium.h"
#include "tools/Notice.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "%s: [%.*s]\n", what,
               static_cast<int>(detail.size() > 200 ? 200 : detail.size()), detail.data());
  std::abort();
}

// The files of a folder medium, in the order the input's parts (split at NUL bytes) fill them.
constexpr const char* TreeNames[] = {"isolinux/isolinux.cfg", "isolinux/a.cfg",
                                     "isolinux/sub/b.cfg",    "isolinux/c.cfg",
                                     "isolinux/s.txt",        "boot/t.txt"};

// Configurations to start from: the loader's own, and -c names relative and from the root.
constexpr const char* ConfigOptions[] = {"", "a.cfg", "/isolinux/sub/b.cfg", "prompt.cfg"};

struct Folder {
  Folder() {
    char pattern[] = "/tmp/vestalo-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) Fail("no temporary folder");
    Path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(Path, ignored);
  }
  void Write(const std::string& name, std::string_view bytes) const {
    fs::create_directories(fs::path(Path + "/" + name).parent_path());
    std::ofstream(Path + "/" + name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string Path;
};

void CheckScreen(const vestalo::media::Medium& files, const std::string& name) {
  if (!files.FileIsPresent(name)) return;
  const std::string text = files.LoadWholeFile(name);
  if (text.size() > vestalo::media::MaxTextSize) Fail("screen beyond the size limit", name);
  if (text.find_first_of(std::string_view("\x1a\xff", 2)) != std::string::npos)
    Fail("screen past its end", name);
}

void CheckReport(const vestalo::media::Medium& files, const vestalo::ConfigurationReport& report,
                 const std::string& target) {
  std::set<std::string> read;
  for (const auto& file : report.FilesRead)
    if (!read.insert(files.PathOnMedium(file)).second) Fail("a file listed twice as read", file);
  for (const auto& include : report.Includes)
    if (include.Stopped != vestalo::IncludeStop::None && !include.Found)
      Fail("a missing include stopped", include.Name);
  const auto notice = vestalo::NoSplashNotice(files, report, target);
  if (notice.size() >= 25) Fail("the notice is longer than the screen");
  for (const auto& line : notice)
    if (line.size() >= 80) Fail("a notice line wider than the screen", line);
}

// Scans the medium and checks what comes out.
void Run(const vestalo::media::Medium& files, const std::string& target,
         const std::string& configOption) {
  try {
    const std::string config = configOption.empty() ? files.StartConfiguration() : configOption;
    if (config.empty()) return;
    const vestalo::ConfigurationReport report = vestalo::ScanConfiguration(files, config);
    CheckReport(files, report, target);
    CheckScreen(files, report.Display.Name);
    for (const auto& help : report.Help) CheckScreen(files, help.Name);
  } catch (const vestalo::EInOutError& failure) {
    if (failure.Message.empty()) Fail("a failure without a message");
  }
}

void OpenAndRun(const std::string& target, const std::string& configOption) {
  try {
    Run(*vestalo::media::OpenMedium(target), target, configOption);
  } catch (const vestalo::EInOutError& failure) {
    if (failure.Message.empty()) Fail("a failure without a message");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte: the kind of medium (bit 0) and the configuration to start from.
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string configOption = ConfigOptions[(data[0] >> 1) % std::size(ConfigOptions)];
  const Folder folder;
  if ((data[0] & 1) == 0) {
    // The input is the image from its volume descriptors on: the system area before them is
    // zeros, so that mutations land where the image is read.
    folder.Write("medium.iso", std::string(32 * 1024, '\0') + std::string(input));
    OpenAndRun(folder.Path + "/medium.iso", configOption);
    return 0;
  }
  // A tree of files, on disk and in memory (where patterns and names that end in "/" are
  // read as in an image, so the two may differ).
  std::map<std::string, std::string> tree;
  std::size_t part = 0, start = 0;
  for (std::size_t end = 0; end <= input.size() && part < std::size(TreeNames); ++end) {
    if (end < input.size() && input[end] != '\0') continue;
    folder.Write(TreeNames[part], input.substr(start, end - start));
    tree[TreeNames[part++]] = input.substr(start, end - start);
    start = end + 1;
  }
  OpenAndRun(folder.Path, configOption);
  Run(vestalo::media::MemoryMedium(tree), folder.Path, configOption);
  return 0;
}
