// Files on this computer, read and watched for the media that lie on it.
#pragma once

#include <string>

#include "media/Medium.h"

namespace vestalo::media {

// Reads the file at `path` piece by piece; a plain file's size is told first. Every failure
// goes to ReportIOFailure.
void ReadComputerFile(const std::string& path, const PieceTaker& take, const SizeTaker& sized);

// A text of the file's size and modification time; empty when they cannot be read.
std::string ComputerFileStamp(const std::string& path);

}  // namespace vestalo::media
