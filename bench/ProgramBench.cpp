// The whole program against the tools a terminal user already has: drawing a screen into
// a pseudo-terminal against cat, start-up against /bin/true, peak memory, and how fast a
// help key is answered. Prints the table rows scripts/bench shows.
#include <pty.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "MenuBench.h"
#include "PtyRun.h"
#include "ScreenFiles.h"
#include "Statistics.h"
#include "TableRow.h"

namespace vestalo::bench {

namespace {

struct Options {
  int Draws = 200;         // repetitions of the 64 KiB drawing, each for the program and for cat
  int ImageStarts = 50;    // start-ups on the 4 GiB image and on the same medium's folder
  int Starts = 500;        // start-ups of each program
  int Presses = 200;       // help-key presses
  int MenuStarts = 40;     // first screens of each boot menu and terminal
  int MenuPresses = 200;   // arrow keys in each boot menu and terminal
  bool MenusOnly = false;  // only the boot menus' rows
  std::string Program = VESTALO_BINARY;
};

// A folder of generated screens and a boot configuration; removed at the end.
class Medium {
 public:
  Medium() {
    char pattern[] = "/tmp/vestalo-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot create a folder in /tmp");
    Folder = pattern;
    WriteFileBytes(Path("dense.scr"), DenseScreen(64 * 1024));
    WriteFileBytes(Path("big.scr"), DenseScreen(10 * 1024 * 1024));
    WriteFileBytes(Path("splash.scr"), SplashScreen());
    WriteFileBytes(Path("help1.scr"), SplashScreen());
    WriteFileBytes(Path("help2.scr"), DenseScreen(2000));
    WriteFileBytes(Path("isolinux.cfg"), "display splash.scr\r\nF1 help1.scr\r\nF2 help2.scr\r\n");
  }
  ~Medium() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
  std::string Path(const std::string& name) const { return Folder + "/" + name; }
  const std::string& Dir() const { return Folder; }

 private:
  std::string Folder;
};

// True once EndMark has arrived; searches only what is new since the last look.
struct EndMarkSeen {
  size_t Searched = 0;
  bool operator()(const std::string& out) {
    const size_t from = Searched > EndMark.size() ? Searched - EndMark.size() : 0;
    Searched = out.size();
    return out.find(EndMark, from) != std::string::npos;
  }
};

std::string CaptureOnce(const Options& options, const Medium& medium) {
  // Without CR inserted before LF, the terminal's other side sees exactly what was written.
  PtyRun run({.Program = options.Program,
              .Arguments = {medium.Path("dense.scr")},
              .Directory = medium.Dir(),
              .RawOutput = true,
              .AnswerQueries = true});
  if (!run.ReadUntil(EndMarkSeen{}))
    throw std::runtime_error("the screen was not drawn; the terminal got: " + Tail(run.Output()));
  run.ReadUntilQuiet(300);
  std::string captured = run.Output();
  run.Type("\n");
  run.Finish();
  return captured;
}

// The program's own terminal output for the 64 KiB screen: the same twice running, and
// without the terminal's answer echoed in it (a program that stopped waiting for it).
std::string CaptureProgramOutput(const Options& options, const Medium& medium) {
  std::string previous;
  for (int attempt = 0; attempt < 5; ++attempt) {
    std::string captured = CaptureOnce(options, medium);
    if (captured == previous && captured.find(DeviceAttributesAnswer) == std::string::npos)
      return captured;
    previous = std::move(captured);
  }
  throw std::runtime_error("the program's output differs from run to run");
}

struct DrawResult {
  std::vector<double> Ours, Cat, OursCpu, CatCpu, OursRss, CatRss;
  std::vector<double> Silent, SilentCpu, SilentRss;  // into a terminal that never answers a query
};

// Time from start until `expected` has fully arrived. Both programs then wait for input
// ("cat FILE -" reads the terminal after the file), which the final bytes end.
double TimeDelivery(const Launch& launch, const std::string& expected, const std::string& ending,
                    std::vector<double>& rss, std::vector<double>& cpu) {
  const auto start = Clock::now();
  PtyRun run(launch);
  const size_t length = expected.size();
  if (!run.ReadUntil([length](const std::string& out) { return out.size() >= length; }))
    throw std::runtime_error(launch.Program + " delivered " + std::to_string(run.Output().size()) +
                             " of " + std::to_string(length) + " bytes");
  const auto took = Clock::now() - start;
  if (run.Output().compare(0, length, expected) != 0)
    throw std::runtime_error(launch.Program +
                             " delivered other bytes than before: " + Tail(run.Output()));
  rss.push_back(static_cast<double>(run.PeakRssKb()));
  run.Type(ending);
  cpu.push_back(run.Finish().CpuMs);
  return Milliseconds(took);
}

DrawResult MeasureDrawing(const Options& options, const Medium& medium) {
  const std::string written = CaptureProgramOutput(options, medium);
  WriteFileBytes(medium.Path("screen.out"), written);
  const std::string expected = AsDelivered(written);
  const Launch cat{.Program = "/bin/cat",
                   .Arguments = {medium.Path("screen.out"), "-"},
                   .Directory = medium.Dir()};
  const Launch ours{.Program = options.Program,
                    .Arguments = {medium.Path("dense.scr")},
                    .Directory = medium.Dir(),
                    .AnswerQueries = true};
  Launch silent = ours;
  silent.AnswerQueries = false;
  DrawResult result;
  for (int i = 0; i < options.Draws; ++i) {
    // Alternating who goes first spreads the effect of other work on the machine.
    if (i % 2 == 0)
      result.Ours.push_back(TimeDelivery(ours, expected, "\n", result.OursRss, result.OursCpu));
    result.Cat.push_back(TimeDelivery(cat, expected, "\x04", result.CatRss, result.CatCpu));
    if (i % 2 == 1)
      result.Ours.push_back(TimeDelivery(ours, expected, "\n", result.OursRss, result.OursCpu));
    result.Silent.push_back(
        TimeDelivery(silent, expected, "\n", result.SilentRss, result.SilentCpu));
  }
  return result;
}

// Peak memory of the program drawing a 10 MiB screen file, and of cat showing it.
std::pair<long, long> MeasureBigScreen(const Options& options, const Medium& medium) {
  PtyRun ours({.Program = options.Program,
               .Arguments = {medium.Path("big.scr")},
               .Directory = medium.Dir(),
               .AnswerQueries = true});
  if (!ours.ReadUntil(EndMarkSeen{}, 60000))
    throw std::runtime_error("the 10 MiB screen was not drawn");
  const long oursRss = ours.PeakRssKb();
  ours.Type("\n");
  ours.Finish();
  PtyRun cat({.Program = "/bin/cat",
              .Arguments = {medium.Path("big.scr"), "-"},
              .Directory = medium.Dir()});
  if (!cat.ReadUntil(EndMarkSeen{}, 60000))
    throw std::runtime_error("cat did not show the 10 MiB screen");
  const long catRss = cat.PeakRssKb();
  cat.Type("\x04");
  cat.Finish();
  return {oursRss, catRss};
}

struct StartUpResult {
  std::vector<double> Ours, True, OursCpu, TrueCpu;
};

StartUpResult MeasureStartUp(const Options& options) {
  // Standard input is a terminal, as when a person types the command.
  int master = -1, slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  StartUpResult result;
  for (int i = 0; i < 20; ++i)
    TimeStartUp(options.Program, {"-help"}, slave);  // warm the page cache
  for (int i = 0; i < options.Starts; ++i) {
    const StartUp ours = TimeStartUp(options.Program, {"-help"}, slave);
    const StartUp reference = TimeStartUp("/bin/true", {}, slave);
    result.Ours.push_back(Milliseconds(ours.Took));
    result.OursCpu.push_back(ours.CpuMs);
    result.True.push_back(Milliseconds(reference.Took));
    result.TrueCpu.push_back(reference.CpuMs);
  }
  close(slave);
  close(master);
  return result;
}

std::vector<double> MeasureMenu(const Options& options, const Medium& medium) {
  PtyRun run({.Program = options.Program,
              .Arguments = {},
              .Directory = medium.Dir(),
              .AnswerQueries = true});
  if (!run.ReadUntil(EndMarkSeen{}) || !run.WaitUntilBlocked())
    throw std::runtime_error("no splash screen");
  std::vector<double> times;
  size_t drawn = 0;
  for (int i = 0; i < options.Presses; ++i) {
    run.ClearOutput();
    const auto start = Clock::now();
    run.Type(i % 2 == 0 ? "1" : "2");
    if (!run.ReadUntil(EndMarkSeen{})) throw std::runtime_error("the help screen was not drawn");
    times.push_back(Milliseconds(Clock::now() - start));
    drawn += run.Output().size();
    // A key typed before the program waits again would end the menu.
    if (!run.WaitUntilBlocked())
      throw std::runtime_error("the menu does not wait for the next key");
  }
  run.Type("x");
  run.Finish();
  std::fprintf(stderr, "menu: %d presses, %zu terminal bytes per help screen\n", options.Presses,
               drawn / static_cast<size_t>(std::max(1, options.Presses)));
  return times;
}

// A boot medium as a folder and as a 4 GiB ISO image whose boot folder lies near its end: a
// sparse file, its first session's volume descriptors pointing at a session that xorriso made
// for a place 4 GiB into the image.
class BigImage {
 public:
  static constexpr std::uint64_t SectorSize = 2048, Sectors = (4ull << 30) / SectorSize;

  explicit BigImage(const Medium& medium)
      : Tree(medium.Path("tree")), Image(medium.Path("big.iso")) {
    std::filesystem::create_directories(Tree + "/isolinux");
    WriteFileBytes(Tree + "/isolinux/isolinux.cfg",
                   "prompt 1\ninclude keys.cfg\ndisplay splash.scr\n");
    WriteFileBytes(Tree + "/isolinux/keys.cfg", "F1 splash.scr\n");
    WriteFileBytes(Tree + "/isolinux/splash.scr", SplashScreen());
    const std::uint64_t start = Sectors - 512;  // the session takes less than 1 MiB
    const std::string session = medium.Path("session.iso");
    const std::string command = "xorriso -as mkisofs -quiet -R -J -no-pad -C 0," +
                                std::to_string(start) + " -o '" + session + "' '" + Tree +
                                "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
      throw std::runtime_error("xorriso failed: is it installed?");
    std::ifstream in(session, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::ofstream out(Image, std::ios::binary);
    out.seekp(static_cast<std::streamoff>(start * SectorSize));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    // The descriptors (sectors 16 on) go to the image's own sector 16, with the volume's size
    // made the whole image's.
    for (std::uint64_t sector = 16; (sector + 1) * SectorSize <= bytes.size(); ++sector) {
      std::string descriptor = bytes.substr(sector * SectorSize, SectorSize);
      if (descriptor.compare(1, 5, "CD001") != 0) break;
      if (descriptor[0] == 1 || descriptor[0] == 2)
        PutBothEndian(descriptor, 80, static_cast<std::uint32_t>(Sectors));
      out.seekp(static_cast<std::streamoff>(sector * SectorSize));
      out.write(descriptor.data(), static_cast<std::streamsize>(descriptor.size()));
      if (descriptor[0] == '\xff') break;
    }
    out.close();
    std::filesystem::resize_file(Image, Sectors * SectorSize);
  }
  std::string BootFolder() const { return Tree + "/isolinux"; }
  const std::string& Path() const { return Image; }

 private:
  static void PutBothEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
      bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
      bytes[at + 7 - static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    }
  }
  std::string Tree, Image;
};

// Time from start until the splash screen has arrived, then "x".
double TimeSplash(const Launch& launch) {
  const auto start = Clock::now();
  PtyRun run(launch);
  if (!run.ReadUntil(EndMarkSeen{}))
    throw std::runtime_error("no splash from " + launch.Directory + ": " + Tail(run.Output()));
  const double took = Milliseconds(Clock::now() - start);
  run.Type("x");
  run.Finish();
  return took;
}

std::pair<std::vector<double>, std::vector<double>> MeasureImage(const Options& options,
                                                                 const Medium& medium) {
  const BigImage image(medium);
  const Launch fromImage{.Program = options.Program,
                         .Arguments = {image.Path()},
                         .Directory = medium.Dir(),
                         .AnswerQueries = true};
  const Launch fromFolder{.Program = options.Program,
                          .Arguments = {},
                          .Directory = image.BootFolder(),
                          .AnswerQueries = true};
  std::vector<double> ours, folder;
  for (int i = 0; i < options.ImageStarts; ++i) {
    if (i % 2 == 0) ours.push_back(TimeSplash(fromImage));
    folder.push_back(TimeSplash(fromFolder));
    if (i % 2 == 1) ours.push_back(TimeSplash(fromImage));
  }
  std::filesystem::remove(image.Path());
  return {ours, folder};
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : argument.substr(equals + 1);
    if (name == "--draws") options.Draws = std::stoi(value);
    else if (name == "--starts") options.Starts = std::stoi(value);
    else if (name == "--presses") options.Presses = std::stoi(value);
    else if (name == "--image-starts") options.ImageStarts = std::stoi(value);
    else if (name == "--menu-starts") options.MenuStarts = std::stoi(value);
    else if (name == "--menu-presses") options.MenuPresses = std::stoi(value);
    else if (name == "--menus-only") options.MenusOnly = true;
    else if (name == "--program")
      options.Program = std::filesystem::absolute(value).string();  // runs elsewhere
    else
      throw std::runtime_error(
          "unknown option " + argument +
          " (known: --draws=N --starts=N --presses=N --image-starts=N --menu-starts=N "
          "--menu-presses=N --menus-only --program=PATH)");
  }
  return options;
}

void Run(const Options& options) {
  if (options.MenusOnly) {
    RunMenuRows({options.MenuStarts, options.MenuPresses, options.Program});
    return;
  }
  const Medium medium;
  const std::string kib = "%.0f KiB";
  const DrawResult draw = MeasureDrawing(options, medium);
  PrintRow("draw 64 KiB screen into a terminal, median", Format("%.2f ms", Median(draw.Ours)),
           Format("%.2f ms (cat, same bytes)", Median(draw.Cat)),
           Ratio(Median(draw.Ours) / Median(draw.Cat)));
  std::fprintf(stderr, "draw: %d runs each; p90 ours %.2f ms, cat %.2f ms\n", options.Draws,
               Percentile(draw.Ours, 0.9), Percentile(draw.Cat, 0.9));

  PrintRow("draw 64 KiB, terminal never answers, median", Format("%.2f ms", Median(draw.Silent)),
           Format("%.2f ms (cat, same bytes)", Median(draw.Cat)),
           Ratio(Median(draw.Silent) / Median(draw.Cat)));
  PrintRow("draw 64 KiB screen, processor time, median", Format("%.2f ms", Median(draw.OursCpu)),
           Format("%.2f ms (cat)", Median(draw.CatCpu)),
           Ratio(Median(draw.OursCpu) / Median(draw.CatCpu)));

  const StartUpResult start = MeasureStartUp(options);
  PrintRow("start-up, -help to /dev/null, median", Format("%.2f ms", Median(start.Ours)),
           Format("%.2f ms (/bin/true)", Median(start.True)),
           Ratio(Median(start.Ours) / Median(start.True)));
  PrintRow("start-up, processor time, median", Format("%.2f ms", Median(start.OursCpu)),
           Format("%.2f ms (/bin/true)", Median(start.TrueCpu)),
           Ratio(Median(start.OursCpu) / Median(start.TrueCpu)));

  PrintRow("peak RSS, 64 KiB screen", Format(kib.c_str(), Median(draw.OursRss)),
           Format("%.0f KiB (cat)", Median(draw.CatRss)),
           Ratio(Median(draw.OursRss) / Median(draw.CatRss)));
  const auto [bigOurs, bigCat] = MeasureBigScreen(options, medium);
  PrintRow("peak RSS, 10 MiB screen file", Format(kib.c_str(), static_cast<double>(bigOurs)),
           Format("%.0f KiB (cat)", static_cast<double>(bigCat)),
           Ratio(static_cast<double>(bigOurs) / static_cast<double>(bigCat)));

  const auto [fromImage, fromFolder] = MeasureImage(options, medium);
  PrintRow("splash from a 4 GiB ISO image, median", Format("%.2f ms", Median(fromImage)),
           Format("%.2f ms (same medium, folder)", Median(fromFolder)),
           Ratio(Median(fromImage) / Median(fromFolder)));

  const std::vector<double> menu = MeasureMenu(options, medium);
  const double frame = 1000.0 / 60;
  PrintRow("help key to help screen drawn, median", Format("%.2f ms", Median(menu)),
           Format("%.1f ms (one 60 Hz frame)", frame), Ratio(Median(menu) / frame));
  PrintRow("help key to help screen drawn, p99", Format("%.2f ms", Percentile(menu, 0.99)),
           Format("%.1f ms (one 60 Hz frame)", frame), Ratio(Percentile(menu, 0.99) / frame));

  RunMenuRows({options.MenuStarts, options.MenuPresses, options.Program});
}

}  // namespace

}  // namespace vestalo::bench

int main(int argc, char** argv) {
  try {
    vestalo::bench::Run(vestalo::bench::ParseOptions(argc, argv));
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "vestalo_program_bench: %s\n", failure.what());
    return 1;
  }
  return 0;
}
