#include "main/RunModes.h"

#include "base/InOutError.h"
#include "base/OutputStream.h"
#include "base/Platform.h"
#include "base/TextEnd.h"
#include "config/Configuration.h"
#include "console/Console.h"
#include "main/BootMenu.h"
#include "main/HelpKeyMenu.h"
#include "main/Options.h"
#include "main/ProgramState.h"
#include "main/ScreenSink.h"
#include "main/Usage.h"
#include "main/Watch.h"
#include "media/Medium.h"
#include "menu/Start.h"
#include "tools/Check.h"
#include "tools/Notice.h"
#include "tools/Snapshot.h"

namespace vestalo {

namespace {

// The medium as named on the command line, for the commands the notice lists.
std::string MediumTarget;

// Takes what a finished scan binds: the display and help files, or the notice that stands in
// for a splash screen. Only a scan read to its end gets here: one that fails keeps the last.
void BindConfiguration(const ConfigurationReport& scan) {
  DisplayFile = scan.Display.Name;
  for (std::size_t key = 1; key < HelpFiles.size(); ++key) HelpFiles[key] = scan.Help[key].Name;
  SplashNotice.clear();
  if (DisplayFile.empty()) SplashNotice = NoSplashNotice(*MediumFiles, scan, MediumTarget);
}

// -c NAME: a name of the medium; or, where the medium has no such name, a path on this
// computer into the medium (what a shell's tab completion gives), taken as that file.
std::string ConfigurationOption(const std::string& name) {
  if (!platform::IsAbsolute(name) || MediumFiles->FileIsPresent(name)) return name;
  const std::string inside = MediumFiles->NameOfComputerPath(name);
  return inside.empty() ? name : inside;
}

void WriteLines(const std::vector<std::string>& lines) {
  for (const auto& line : lines) WriteOutputLine(line);
}

void RunConfigurationMode(const ProgramOptions& options, const std::string& configName) {
  ConfigName = configName;
  if (ConfigName.empty()) {
    WriteLines(MissingConfigurationLines());
    WaitForEnter();
    return;
  }
  MediumTarget = options.Target;
  if (!options.NoMenu) {
    const menu::MenuStart start = menu::FindMenuStart(*MediumFiles, ConfigName);
    if (start.Kind != menu::Module::None) {
      RunBootMenu(start);
      return;
    }
  }
  const ConfigurationReport scan = ScanConfiguration(*MediumFiles, ConfigName);
  BindConfiguration(scan);
  if (options.Watch) WatchConfiguration(scan.FilesRead);
  ShowSplashScreen();
  RunHelpKeyMenu();
}

// The screen file of argument mode, drawn again when it changed and is there to read.
void RedrawChangedScreenFile() {
  if (WhatChanged() == WatchedChange::Screen && MediumFiles->FileIsPresent(ScreenShown()))
    DrawScreenFile(ScreenShown());
  FlushOutput();
}

void RunScreenFileMode(const ProgramOptions& options) {
  if (options.Watch) {
    WatchConfiguration({});
    NoteScreenShown(options.Target);
  }
  DrawScreenFile(options.Target);
  WaitForEnter();
}

}  // namespace

void LoadConfiguration(const std::string& configName) {
  ConfigName = configName;
  BindConfiguration(ScanConfiguration(*MediumFiles, ConfigName));
}

void ShowSplashScreen() {
  if (!DisplayFile.empty()) {
    ShowFileOrNotFound(DisplayFile);
    return;
  }
  // Nothing is missing, so no not-found line: the user learns what there is to see instead.
  NoteScreenShown("");
  console::ClearScreen();
  WriteLines(SplashNotice);
}

bool RescanConfiguration() {
  // An editor may remove or rewrite a file while it is read: the menu goes on with what it
  // had, and the file's next change is read again.
  ConfigurationReport scan;
  try {
    scan = ScanConfiguration(*MediumFiles, ConfigName);
  } catch (const EInOutError&) {
    return false;
  }
  BindConfiguration(scan);
  WatchConfiguration(scan.FilesRead);
  return true;
}

void ReportUsageProblem(const std::string& problem) {
  FlushOutput();
  const std::string text = "vestalo: " + problem + "\r\nType \"vestalo --help\" for the usage.\r\n";
  platform::WriteStandard(2, text.data(), text.size());
}

void DrawScreenFile(const std::string& name) {
  ScreenText.clear();
  ScreenText = MediumFiles->LoadWholeFile(name);
  ScreenSink sink;
  UTypes::RenderDisplayText(ScreenText, sink);
}

void ShowFileOrNotFound(const std::string& name) {
  NoteScreenShown(name);
  if (MediumFiles->FileIsPresent(name)) {
    DrawScreenFile(name);
    return;
  }
  // Cleared in whatever colours the last screen left, as the not-found line is written.
  console::ClearScreen();
  WriteOutputLine("File " + name + " not found");
}

void WaitForEnter() {
  FlushOutput();
  console::BeginLineInput();
  // Until a line comes: with --watch a changed screen file is drawn again, and after a stop
  // (Ctrl+Z) and fg the screen is drawn again at once.
  while (!platform::InputWithin(Watching() ? WatchIntervalMs : -1, console::ResumedWakeUp())) {
    if (Watching()) RedrawChangedScreenFile();
    console::RepaintIfResumed();
  }
  // Once input has come, the line is read to its end: the console holds the rest of a typed
  // line where no wait for input sees it.
  for (;;) {
    char byte = 0;
    bool atEnd = false;
    if (int error = platform::ReadStandardInput(byte, atEnd)) ReportIOFailure(error);
    if (atEnd || byte == '\n' || byte == EndOfFileChar) return;
  }
}

int RunProgram(const std::vector<std::string>& arguments) {
  const ProgramOptions options = ParseArguments(arguments);
  if (!options.Problem.empty()) {
    ReportUsageProblem(options.Problem);
    return 1;
  }
  if (options.Mode == RunMode::Help) {
    WriteLines(HelpUsageLines());
    return 0;
  }
  if (options.Mode == RunMode::Version) {
    for (const auto& line : VersionLines()) WriteReportLine(line);
    return 0;
  }
  // Every other mode works on one screen file or on a boot medium, and -c names a
  // configuration of a medium.
  const bool screenFile = !options.Target.empty() &&
                          media::KindOfTarget(options.Target) == media::TargetKind::ScreenFile;
  if (screenFile && !options.ConfigName.empty()) {
    ReportUsageProblem("-c works only with a boot medium: a folder or an ISO image");
    return 1;
  }
  MediumFiles = screenFile ? media::ComputerFiles() : media::OpenMedium(options.Target);
  const std::string configName = screenFile ? std::string()
                                 : options.ConfigName.empty()
                                     ? MediumFiles->StartConfiguration()
                                     : ConfigurationOption(options.ConfigName);
  const tools::ToolTarget target{.Files = *MediumFiles,
                                 .ScreenFile = screenFile ? options.Target : std::string(),
                                 .ConfigName = configName,
                                 .Menus = !options.NoMenu,
                                 .Keys = options.Keys,
                                 .MediumName = options.Target};
  if (options.Mode == RunMode::Check) return tools::RunCheck(target);
  if (options.Mode == RunMode::Snapshot) return tools::RunSnapshot(target, options.SnapshotFolder);
  if (screenFile) RunScreenFileMode(options);
  else RunConfigurationMode(options, configName);
  return 0;
}

}  // namespace vestalo
