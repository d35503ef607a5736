// The three run modes and the steps they share.
#pragma once

#include <string>
#include <vector>

namespace vestalo {

// Chooses the run mode from the arguments and runs it once, top to bottom.
void RunProgram(const std::vector<std::string>& arguments);

// Shows a screen file, or the not-found line on a cleared screen when it is missing.
void ShowFileOrNotFound(const std::string& name);

// Reads and discards standard input up to the next line feed or its end.
void WaitForEnter();

// Loads and draws a screen file on the console.
void DrawScreenFile(const std::string& name);

}  // namespace vestalo
