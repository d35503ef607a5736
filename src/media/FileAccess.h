// Whether a name denotes a file, and how a whole screen file is read.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vestalo {

// A text file ends at its physical end or at its first ^Z.
constexpr char EndOfFileChar = 0x1A;

// A screen file also ends at its first 0xFF, as on the boot screen.
constexpr char EndOfScreenChar = static_cast<char>(0xFF);

// The largest text the program reads; a larger (or endless) file is a failure.
constexpr std::size_t MaxTextSize = 64u * 1024 * 1024;

// Longest file name the program accepts for the presence probe.
constexpr std::size_t MaxNameLength = 259;

// True when the search pattern `name` yields a file (not a folder), looked up as written
// and then joined to the current folder. With a medium open, `name` is one of its names
// (see media/Medium.h); in an image it is looked up as written, "*" and "?" included.
bool FileIsPresent(const std::string& name);

// Reads a file piece by piece until `take` returns false or the file ends; more than
// MaxTextSize bytes, and every other failure, go to ReportIOFailure. A plain file's size is
// told to `sized` first, so that its reader can hold it without growing step by step.
void ReadFilePieces(const std::string& name, const std::function<bool(std::string_view)>& take,
                    const std::function<void(std::size_t)>& sized = nullptr);

// The whole text of a screen file up to its end (its physical end, ^Z or 0xFF); every
// failure goes to ReportIOFailure.
std::string LoadWholeFile(const std::string& name);

// Every byte of a file up to its physical end, ^Z and 0xFF included, for the checks that
// look past a screen text's end; failures go to ReportIOFailure as for LoadWholeFile.
std::string LoadFileBytes(const std::string& name);

// The name to open on the computer for a file: as written when it exists, else the existing
// name that differs only in letter case. A name with wildcards stays as written. With a
// medium open, `name` is one of its names; in an image, the result is its path there.
std::string NameOnDisk(const std::string& name);

}  // namespace vestalo
