// Vestalo: previews the text-mode boot screens of a SYSLINUX boot medium.
#include <cstdlib>
#include <string>

#include "console/Console.h"
#include "base/InOutError.h"
#include "base/OemCodePage.h"
#include "base/OutputStream.h"
#include "base/Platform.h"
#include "main/RunModes.h"

int main(int argc, char** argv) {
  using namespace vestalo;
  console::InitialiseConsole();
  if (console::OutputIsConsole()) SendOutputToConsole({console::WriteConsoleText, console::FlushConsole});
  int exitCode = 0;
  try {
    exitCode = RunProgram(platform::ProgramArguments(argc, argv));
    // The last write-out is tested too: output lost to a full disk is no success.
    FlushOutput();
  } catch (const EInOutError& failure) {
    try {
      FlushOutput();
    } catch (const EInOutError&) {
      // The report below is what matters; the output that could not be written is lost.
    }
    console::RestoreConsole();
    const std::string report =
        platform::ToOemCodePage(BuildFailureReport(platform::ExecutableName(argc, argv), failure) + "\r\n");
    platform::WriteStandard(2, report.data(), report.size());
    exitCode = 1;
  }
  console::RestoreConsole();
  return exitCode;
}
