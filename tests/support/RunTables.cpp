#include "support/RunTables.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/GoldenScreens.h"
#include "support/PcGlyphs.h"
#include "support/PictureGoldens.h"
#include "support/PtyHarness.h"
#include "support/TerminalOutputCheck.h"

namespace vestalo::testing {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

#ifdef VESTALO_WINE_PROGRAM
// The Windows program under Wine, whose start takes a while; its console host draws the
// screen with sequences of its own.
constexpr int TimeoutMs = 45000;
constexpr const char* ModuleName = "vestalo.exe";
constexpr bool OwnTerminal = false;
#else
constexpr int TimeoutMs = 5000;
constexpr const char* ModuleName = "vestalo";
constexpr bool OwnTerminal = true;
#endif
constexpr uid_t Nobody = 65534;

// The program and its arguments, with MediumPath at an argument's start standing for the
// medium's folder.
std::vector<std::string> Command(const std::vector<std::string>& arguments,
                                 const std::string& medium, const std::string& program = "") {
  std::vector<std::string> command{program.empty() ? VESTALO_BINARY : program};
#ifdef VESTALO_WINE_PROGRAM
  command.push_back(VESTALO_WINE_PROGRAM);
#endif
  for (const auto& argument : arguments)
    command.push_back(argument.starts_with(MediumPath) ? medium + argument.substr(MediumPath.size())
                                                       : argument);
  return command;
}

// A fresh folder holding a row's files, removed with them.
struct MediumFolder {
  explicit MediumFolder(const Medium& files) {
    char pattern[] = "/tmp/vestalo-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    Path = pattern;
    chmod(pattern, 0755);  // an unprivileged run must be able to enter it
    for (const auto& file : files) {
      const std::string path = Path + "/" + file.Name;
      fs::create_directories(fs::path(path).parent_path());
      if (file.Type == MediumFile::Folder) fs::create_directories(path);
      if (file.Type == MediumFile::Link) fs::create_symlink(file.Bytes, path);
      if (file.Type == MediumFile::Fifo) mkfifo(path.c_str(), 0644);
      if (file.Type == MediumFile::Text || file.Type == MediumFile::Unreadable) {
        std::ofstream text(path, std::ios::binary);
        // Bytes repeated up to Size; an empty file is made all the same.
        for (uint64_t size = 0; !file.Bytes.empty() && size < std::max<uint64_t>(file.Size, 1);
             size += file.Bytes.size())
          text << file.Bytes;
      }
      if (file.Type == MediumFile::Sparse)
        std::ofstream(path).close(), fs::resize_file(path, file.Size);
      if (file.Type == MediumFile::Unreadable) chmod(path.c_str(), 0), Unprivileged = getuid() == 0;
      if (file.Type == MediumFile::Locked)
        fs::create_directories(path), chmod(path.c_str(), 0600), Unprivileged = getuid() == 0;
      if (file.Type == MediumFile::Copy) fs::copy(file.Bytes, path, fs::copy_options::recursive);
      if (file.Type == MediumFile::Image) MakeImage(Path + "/" + file.Bytes, path, file.Options);
      if (file.Type == MediumFile::Patch) Damage(path, file.At, file.Bytes);
    }
  }
  static void MakeImage(const std::string& folder, const std::string& image,
                        const std::string& options) {
    const std::string command = "xorriso -as mkisofs -quiet " + options + " -o '" + image + "' '" +
                                folder + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
      throw std::runtime_error("xorriso could not make " + image);
  }
  static void Damage(const std::string& path, int64_t at, const std::string& bytes) {
    if (bytes.empty()) return fs::resize_file(path, at >= 0 ? at : fs::file_size(path) + at);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at), file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  // The text files of the medium that differ from what the row wrote: a run must change none.
  std::vector<std::string> Changed(const Medium& files) const {
    std::vector<std::string> changed;
    for (const auto& file : files)
      if (file.Type == MediumFile::Text && file.Size == 0 &&
          ReadAll(Path + "/" + file.Name) != file.Bytes)
        changed.push_back(file.Name);
    return changed;
  }
  ~MediumFolder() {
    std::error_code ignored;
    fs::remove_all(Path, ignored);
  }
  std::string Where(const std::string& directory) const {
    return directory.empty() ? Path : directory[0] == '/' ? directory : Path + "/" + directory;
  }
  std::string Path;
  bool Unprivileged = false;  // root reads anything: a run with unreadable files is unprivileged
};

// True when `err` is exactly the failure report with `message`: "Exception EInOutError in
// module vestalo at " 8 hex digits ".", the message with a full stop and an empty line, every
// line ending in CR LF. A message ending in "*" stands for any message that begins so.
bool IsFailureReport(const std::string& err, std::string message) {
  const std::string head = "Exception EInOutError in module " + std::string(ModuleName) + " at ";
  const size_t address = head.size(), text = address + 8 + 3;
  const bool anyRest = message.ends_with("*");
  if (anyRest) message.pop_back();
  const std::string rest = err.size() > text ? err.substr(text) : "";
  return err.starts_with(head) && err.size() > text && err.substr(address + 8, 3) == ".\r\n" &&
         std::all_of(err.begin() + address, err.begin() + address + 8,
                     [](char c) { return std::isxdigit(c) && !std::islower(c); }) &&
         (anyRest ? rest.starts_with(message) && rest.ends_with(".\r\n\r\n") &&
                        rest.find('\n') == rest.size() - 3
                  : rest == message + ".\r\n\r\n");
}

// What the child does to its standard streams before the program starts.
void ArrangeStreams(const RunRow& row, int input, int out, int err) {
  if (row.In == Stdin::Closed) close(0);
  else dup2(row.In == Stdin::Null ? open("/dev/null", O_RDONLY) : input, 0);
  int ends[2];
  switch (row.Out) {
    case Stdout::Capture: dup2(out, 1); break;
    case Stdout::Full: dup2(open("/dev/full", O_WRONLY), 1); break;
    case Stdout::ClosedPipe:
      if (pipe(ends) != 0) _exit(125);
      close(ends[0]);
      dup2(ends[1], 1);
      break;
    case Stdout::Closed: close(1); break;
  }
  if (row.ErrClosed) close(2);
  else dup2(err, 2);
  signal(SIGPIPE, SIG_DFL);  // as a shell starts a program
}

}  // namespace

TEST_P(RedirectedRun, EndsAsExpected) {
  const RunRow& row = GetParam();
  if (row.MemoryLimitMb > 0 && !MemoryCanBeLimited)
    GTEST_SKIP() << "the sanitizers need more address space";
  MediumFolder medium(row.Files);
  char outName[] = "/tmp/vestalo-out-XXXXXX", errName[] = "/tmp/vestalo-err-XXXXXX";
  const int out = mkstemp(outName), err = mkstemp(errName);
  int input[2];
  ASSERT_EQ(pipe(input), 0);
  // Made before the fork, after which only async-signal-safe calls are safe.
  auto command = Command(row.Arguments, medium.Path);
  // An unprivileged run may not reach the build folder (a checkout in a private folder):
  // it runs a copy of the program from a folder anyone may enter.
  const MediumFolder programCopy(medium.Unprivileged ? Medium{Folder("bin")} : Medium{});
  if (medium.Unprivileged) {
    const std::string copy = programCopy.Path + "/bin/" + ModuleName;
    fs::copy_file(command[0], copy);
    command[0] = copy;
  }
  const auto argv = Pointers(command);
  const std::string where = medium.Where(row.Directory);
  const pid_t child = fork();
  if (child == 0) {
    close(input[1]);
    ArrangeStreams(row, input[0], out, err);
    if (chdir(where.c_str()) != 0) _exit(126);
    if (medium.Unprivileged &&
        (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
      _exit(124);
    LimitMemory(row.MemoryLimitMb);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(input[0]);
  // The input goes through a pipe; Stdin::Bytes closes it at once, so the program sees its end.
  if (write(input[1], row.Input.data(), row.Input.size()) != static_cast<ssize_t>(row.Input.size()))
    ADD_FAILURE() << "writing standard input";
  const auto start = Clock::now();
  const auto elapsedMs = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  };
  bool inputOpen = row.In == Stdin::Pipe, hung = false;
  if (!inputOpen) close(input[1]);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (inputOpen && row.CloseInputAfterMs > 0 && elapsedMs() >= row.CloseInputAfterMs)
      close(input[1]), inputOpen = false;
    if ((hung = elapsedMs() > 2 * TimeoutMs)) kill(child, SIGKILL), waitpid(child, &status, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const auto elapsed = elapsedMs();
  if (inputOpen) close(input[1]);
  const std::string output = ReadAll(outName), errors = ReadAll(errName);
  close(out), close(err), unlink(outName), unlink(errName);
  ASSERT_FALSE(hung) << "still running after " << 2 * TimeoutMs << " ms";
  ASSERT_NE(WIFEXITED(status) ? WEXITSTATUS(status) : 0, 124)
      << "could not become an unprivileged user";
  EXPECT_GE(elapsed, row.CloseInputAfterMs) << "ended before its input did";
  EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, row.Signal) << "the signal that ended it";
  if (row.Signal == 0) {
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, row.Exit);
  }
  EXPECT_EQ(output, row.Output.value_or(output));
  EXPECT_NE(output.find(row.OutputHas), std::string::npos) << output;
  for (const auto& name : row.Made)
    EXPECT_TRUE(fs::exists(medium.Path + "/" + name)) << name << " was not made";
  for (const auto& name : row.NotMade)
    EXPECT_FALSE(fs::exists(medium.Path + "/" + name)) << name << " was made";
  for (const auto& snapshot : row.Snapshots)
    for (const auto& difference :
         SnapshotDifferences(medium.Path + "/" + snapshot.Stem, snapshot.Golden, snapshot.Masks))
      ADD_FAILURE() << difference;
  for (const auto& picture : row.Pictures)
    for (const auto& difference : PictureDifferences(medium.Path + "/" + picture.Png,
                                                     picture.Golden, picture.Levels, picture.Masks))
      ADD_FAILURE() << difference;
  for (const auto& line : row.FileLines)
    for (const auto& difference :
         FileLineDifferences(medium.Path + "/" + line.File, line.Number, line.Text, line.Lines))
      ADD_FAILURE() << difference;
  for (const auto& [name, bytes] : row.FileHas) {
    std::ifstream in(medium.Path + "/" + name, std::ios::binary);
    const std::string held{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(held.find(bytes), std::string::npos) << name << " lacks " << bytes;
  }
  EXPECT_EQ(medium.Changed(row.Files), std::vector<std::string>{}) << "files of the medium changed";
  if (row.ErrClosed) return;
  EXPECT_TRUE(row.Report.empty() ? errors == row.Errors.value_or("")
                                 : IsFailureReport(errors, row.Report))
      << errors;
}

namespace {

// The keys of each picture in shared memory named in `out` whose object is still there, a
// line each.
std::string SharedLeft(const std::string& out) {
  std::string left;
  for (const auto& picture : checks::SharedPictures(out)) {
    const int fd = shm_open(picture.Name.c_str(), O_RDONLY, 0);
    if (fd >= 0) close(fd), left += picture.Keys + "\n";
  }
  return left;
}

constexpr const char* StepNames[] = {
    "Send",   "Press",  "Idle",  "Row",   "Shows",  "Cell", "Drawn",  "Sent", "Before",    "Signal",
    "Resize", "HangUp", "Alive", "Modes", "Golden", "Save", "Remove", "Rgb",  "SharedGone"};

// Every cell where the terminal differs from the boot loader's screen `name`, one line each.
std::vector<std::string> GoldenDifferences(const PtyProgram& program, const std::string& name,
                                           const std::vector<int>& masks) {
  const GoldenScreen golden = ReadGolden(name);
  if (golden.Cells.empty()) return {"no golden screen " + name};
  std::vector<std::string> found;
  for (int row = 0; row < 25; ++row) {
    for (int column = 0; column < 80; ++column) {
      const char32_t glyph = PcGlyphs()[golden.Char(row, column)];
      const int fg = TerminalColour(golden.Attr(row, column) & 0x0F),
                bg = TerminalColour(golden.Attr(row, column) >> 4);
      const ScreenCell cell = program.Cell(row, column);
      if (golden.Skipped(row, column, masks) ||
          (cell.Char == glyph && cell.Foreground == fg && cell.Background == bg && !cell.Reverse))
        continue;
      std::ostringstream line;
      line << "row " << row << " column " << column << ": boot screen '" << Utf8(glyph) << "' "
           << fg << " on " << bg << ", terminal '" << Utf8(cell.Char) << "' " << cell.Foreground
           << " on " << cell.Background;
      found.push_back(line.str());
    }
  }
  return found;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Runs one step; false when it did not go as the row says.
bool RunStep(PtyProgram& program, const Step& step, const std::string& folder) {
  const auto wait = [&](const std::function<bool()>& condition) {
    return program.WaitUntil(condition, TimeoutMs);
  };
  const auto flags = [&] { return program.TerminalModes().c_lflag; };
  switch (step.Type) {
    case Step::Send: return program.Send(step.Text), true;
    case Step::Press:
      program.Send(step.Text);
      return wait([&] { return program.RowText(0) == step.Expected; }) &&
             program.WaitForIdle(TimeoutMs);
    case Step::Idle: return program.WaitForIdle(TimeoutMs);
    case Step::Row: return wait([&] { return program.RowText(step.ScreenRow) == step.Text; });
    case Step::Shows:
      return wait([&] { return program.ScreenText().find(step.Text) != std::string::npos; });
    case Step::Cell: {
      const ScreenCell cell = program.Cell(step.ScreenRow, step.ScreenColumn);
      return (step.Foreground == Any || cell.Foreground == step.Foreground) &&
             (step.Background == Any || cell.Background == step.Background);
    }
    case Step::Drawn: return Count(program.Output(), step.Text) == static_cast<size_t>(step.Times);
    case Step::Sent:
      return wait(
          [&] { return Count(program.Output(), step.Text) >= static_cast<size_t>(step.Times); });
    case Step::Before:
      return wait([&] {
               return Count(program.Output(), step.Text) > 0 &&
                      Count(program.Output(), step.Expected) > 0;
             }) &&
             program.Output().find(step.Text) < program.Output().find(step.Expected);
    case Step::Rgb: {
      const ScreenCell cell = program.Cell(step.ScreenRow, step.ScreenColumn);
      return cell.ForegroundRgb == step.Foreground && cell.BackgroundRgb == step.Background;
    }
    case Step::SharedGone: return wait([&] { return SharedLeft(program.Output()).empty(); });
    case Step::Save: {
      std::ofstream(folder + "/.saving", std::ios::binary) << step.Expected;
      return fs::rename(folder + "/.saving", folder + "/" + step.Text), true;
    }
    case Step::Remove: return fs::remove(folder + "/" + step.Text);
    case Step::Signal: return program.SendSignal(step.SignalNumber), true;
    case Step::Resize: return program.Resize(step.Rows, step.Columns), true;
    case Step::HangUp: return program.HangUp(), true;
    case Step::Alive: return !program.WaitForExit(step.Ms);
    case Step::Modes:
      return wait([&] {
        return !(flags() & ICANON) == step.KeyInput && !(flags() & ECHO) == step.KeyInput;
      });
    case Step::Golden:
      if (wait([&] { return GoldenDifferences(program, step.Text, step.Masks).empty(); }))
        return true;
      for (const auto& difference : GoldenDifferences(program, step.Text, step.Masks))
        ADD_FAILURE() << difference;
      return false;
  }
  return false;
}

void ExpectTerminalRestored(const PtyProgram& program, const ScriptRow& row) {
  const auto flags = program.TerminalModes().c_lflag;
  EXPECT_TRUE((flags & ICANON) && (flags & ECHO) && (flags & ISIG))
      << "the terminal's modes are not back";
  const std::string& out = program.Output();
  const auto undone = [&](const std::string& done, const std::string& undo) {
    const size_t at = out.rfind(done);
    return at == std::string::npos || out.find(undo, at) != std::string::npos;
  };
  EXPECT_TRUE(undone(CSI ">15u", CSI "<u")) << "the kitty keyboard protocol is left on";
  EXPECT_TRUE(undone(CSI "1;25r", ESC "7" CSI "r" ESC "8")) << "the scrolling region is left";
  // A picture is taken off: each kitty picture deleted by its id, sixel's rows cleared.
  constexpr std::string_view Placed = ESC "_Ga=T,";
  for (size_t at = out.find(Placed); at != std::string::npos; at = out.find(Placed, at + 1)) {
    const size_t from = out.find("i=", at) + 2;
    const std::string id = out.substr(from, out.find(',', from) - from);
    EXPECT_TRUE(
        undone(out.substr(at, from - at) + id + ",", ESC "_Ga=d,d=I,i=" + id + ",q=2" ESC "\\"))
        << "the kitty picture " << id << " is left";
  }
  // No shared memory is left behind: the terminal removes what it reads, the program the rest.
  EXPECT_EQ(SharedLeft(out), "");
  EXPECT_EQ(program.SharedPictureFaults(), "");
  EXPECT_TRUE(undone(ESC "Pq", ";999H" CSI "1J")) << "a sixel picture is left";
  // The colour reset comes last: nothing but text (a failure report) may follow it.
  const size_t reset = out.rfind(CSI "0m");
  EXPECT_TRUE(out.find(CSI "0;") == std::string::npos ||
              (reset != std::string::npos && out.find(ESC, reset + 1) == std::string::npos))
      << "the colours are not reset last";
  const bool utf8 = std::string(row.Locale).find("UTF-8") != std::string::npos;
  if (row.WholeOutput) {
    EXPECT_EQ(checks::TerminalOutputFault(
                  out, utf8 ? checks::Encoding::Utf8 : checks::Encoding::EightBit),
              "");
  }
}

}  // namespace

TEST_P(TerminalScript, EndsAsExpected) {
  const ScriptRow& row = GetParam();
  if (row.MemoryLimitMb > 0 && !MemoryCanBeLimited)
    GTEST_SKIP() << "the sanitizers need more address space";
  MediumFolder medium(row.Files);
  PtyOptions options;
  options.Command = Command(row.Arguments, medium.Path, row.Program);
  options.Directory = medium.Where(row.Directory);
  options.Environment = row.Environment;
  options.Environment.push_back(std::string("LC_ALL=") + row.Locale);
  options.AnswerKittyGraphics = row.KittyGraphics;
  options.AnswerKittyMemory = row.KittyMemory;
  options.AnswerSixel = row.Sixel;
  options.Rows = row.Rows;
  options.Columns = row.Columns;
  options.AnswerKittyQuery = row.Kitty;
  options.Silent = row.Silent;
  options.Controlling = row.Controlling;
  options.MemoryLimitMb = row.MemoryLimitMb;
  if (!row.Input.empty()) options.InputFile = medium.Path + "/" + row.Input;
  PtyProgram program(options);
  bool hungUp = false;
  for (size_t i = 0; i < row.Steps.size(); ++i) {
    const Step& step = row.Steps[i];
    hungUp = hungUp || step.Type == Step::HangUp;
    ASSERT_TRUE(RunStep(program, step, medium.Path))
        << "step " << i + 1 << " (" << StepNames[step.Type] << " "
        << ::testing::PrintToString(step.Text) << ") failed; the screen:\n"
        << program.ScreenText();
  }
  ASSERT_TRUE(program.WaitForExit(TimeoutMs)) << "the program did not end; the screen:\n"
                                              << program.ScreenText();
  EXPECT_EQ(program.TermSignal(), row.Signal);
  if (row.Signal == 0) {
    EXPECT_EQ(program.ExitCode(), row.Exit);
  }
  if (!hungUp && OwnTerminal) ExpectTerminalRestored(program, row);
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RedirectedRun);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TerminalScript);

}  // namespace vestalo::testing
