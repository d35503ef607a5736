// Standard output: one buffered stream, written by the usage text, the not-found line and
// the renderer. Every write is tested at once; a failure goes to ReportIOFailure.
#pragma once

#include <string_view>

namespace vestalo {

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
