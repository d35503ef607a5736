// Standard output: one buffered stream, written by the usage text, the not-found line and
// the renderer. Every write is tested at once; a failure goes to ReportIOFailure.
#pragma once

#include <string_view>

namespace vestalo {

// How standard output reaches a console that draws the bytes itself: each write goes there
// at once instead of into the buffer. Both calls return 0 or one of the program's error codes.
struct ConsoleWriter {
  int (*Write)(std::string_view bytes);
  int (*Flush)();
};

// Sends standard output to the console from now on; until then it is a file or a pipe.
void SendOutputToConsole(ConsoleWriter console);

// Appends one write operation's bytes.
void WriteOutput(std::string_view bytes);

// Writes a line followed by a carriage return and a line feed.
void WriteOutputLine(std::string_view line);

// Writes a line that other programs read (--version, --check findings), ended as the
// platform ends lines: LF on POSIX, CR LF on Windows. The screens' own lines keep CR LF.
void WriteReportLine(std::string_view line);

// Sends everything written so far on its way.
void FlushOutput();

}  // namespace vestalo
