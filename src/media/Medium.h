// The boot medium the configuration mode works on: the current folder, a folder named on
// the command line, or an ISO image; and the boot folder on it where the boot loader finds
// its configuration. Once a medium is open, FileIsPresent and LoadWholeFile (and so the
// configuration scan and every screen shown) read its files: names relative to the boot
// folder, a name that starts with "/" from the medium's root.
#pragma once

#include <string>

namespace vestalo::media {

// What a command-line target names.
enum class TargetKind { ScreenFile, Folder, Image };

// Tells a folder and an ISO 9660 image (by its content, not its name) from a screen file.
TargetKind KindOfTarget(const std::string& target);

// Opens the medium at `target` (empty: the current folder) and finds its boot folder as
// the loader does. Returns the configuration file to start from, relative to the boot
// folder: `configOption` when given (-c), else isolinux.cfg or syslinux.cfg; empty when
// there is none. A failure to read the medium goes to ReportIOFailure.
std::string OpenMedium(const std::string& target, const std::string& configOption);

// How the user finds a file of the medium from where the program was started: a path
// for a folder (samples/bootcd/help1.txt), IMAGE:/isolinux/f1.txt for an image.
std::string PathForUser(const std::string& name);

// A text that changes whenever the file changes (size, time, identity); empty when the
// file is missing. For a file in an image, the image file's own.
std::string FileStamp(const std::string& name);

// Forgets the open medium and returns to the folder the program was started in; names are
// the computer's again, as in argument mode.
void CloseMedium();

// True while the open medium is an ISO image, whose files FileAccess reads from it.
bool MediumIsImage();

// The path from the medium's root of a name read in the boot folder ("/" names from the
// root); the name itself while no medium is open.
std::string PathOnMedium(const std::string& name);

// The name to open on the computer for a name of an open folder medium, relative to the
// boot folder (the current folder); the name as written while no medium is open.
std::string PathOnComputer(const std::string& name);

}  // namespace vestalo::media
