// Vestalo: previews the text-mode boot screens of a SYSLINUX boot medium.
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "base/ErrorCodes.h"
#include "base/InOutError.h"
#include "base/OemCodePage.h"
#include "base/OutputStream.h"
#include "base/Platform.h"
#include "console/Console.h"
#include "main/RunModes.h"

namespace {

using namespace vestalo;

// The one way out after a failure: what was written goes out if it can, the terminal is
// put back, and the report goes to standard error.
int EndWithReport(int argc, char** argv, const EInOutError& failure) {
  try {
    FlushOutput();
  } catch (const EInOutError&) {
    // The report below is what matters; the output that could not be written is lost.
  }
  console::RestoreConsole();
  const std::string report = platform::ToOemCodePage(
      BuildFailureReport(platform::ExecutableName(argc, argv), failure) + "\r\n");
  platform::WriteStandard(2, report.data(), report.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  console::InitialiseConsole();
  if (console::OutputIsConsole())
    SendOutputToConsole({console::WriteConsoleText, console::FlushConsole});
  int exitCode = 0;
  try {
    try {
      exitCode = RunProgram(platform::ProgramArguments(argc, argv));
    } catch (const EInputEnded&) {
      // No key will ever come again (input at its end, a terminal gone): a normal end.
      exitCode = 0;
    }
    // The last write-out is tested too: output lost to a full disk is no success.
    FlushOutput();
  } catch (const EInOutError& failure) {
    exitCode = EndWithReport(argc, argv, failure);
  } catch (const std::bad_alloc&) {
    exitCode = EndWithReport(
        argc, argv,
        EInOutError(ErrorCode::OutOfMemory, LocationCode(std::source_location::current())));
  } catch (const std::length_error&) {
    // A text too long for this machine's strings: memory the program cannot have either.
    exitCode = EndWithReport(
        argc, argv,
        EInOutError(ErrorCode::OutOfMemory, LocationCode(std::source_location::current())));
  } catch (const std::system_error& error) {
    exitCode = EndWithReport(argc, argv,
                             EInOutError(CodeForSystemError(error.code()),
                                         LocationCode(std::source_location::current())));
  } catch (const std::exception& error) {
    EInOutError failure(ErrorCode::Internal, LocationCode(std::source_location::current()));
    failure.Message = std::string("Internal error: ") + error.what();
    exitCode = EndWithReport(argc, argv, failure);
  }
  console::RestoreConsole();
  // Said once the terminal is the user's again, below what was drawn.
  if (const std::string note = console::SmallTerminalNote(); !note.empty()) {
    const std::string line = note + platform::LineBreak;
    platform::WriteStandard(2, line.data(), line.size());
  }
  return exitCode;
}
