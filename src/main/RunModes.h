// The three run modes and the steps they share.
#pragma once

#include <string>
#include <vector>

namespace vestalo {

// Chooses the run mode from the arguments and runs it once, top to bottom. Returns the
// exit code of a normal end: 0, or 1 for a command line that cannot be followed.
int RunProgram(const std::vector<std::string>& arguments);

// Shows a screen file, or the not-found line on a cleared screen when it is missing.
void ShowFileOrNotFound(const std::string& name);

// Shows the splash screen of the configuration read or, when it names none, a notice of
// what was read and which keys show help screens.
void ShowSplashScreen();

// Reads a configuration and binds its display and help files, or the notice that stands in
// for a splash screen when it names none.
void LoadConfiguration(const std::string& configName);

// Reads the configuration again from the start, after it changed on disk; false, with the
// last configuration kept, when a file of it cannot be read now.
bool RescanConfiguration();

// Reads and discards standard input up to the next line feed or its end.
void WaitForEnter();

// Tells the user on standard error what is wrong with the command line.
void ReportUsageProblem(const std::string& problem);

// Loads and draws a screen file on the console.
void DrawScreenFile(const std::string& name);

}  // namespace vestalo
