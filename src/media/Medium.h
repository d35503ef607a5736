// A boot medium: the files the boot loader reads, by the names it reads them. A name is
// taken in the medium's boot folder (where the loader found its configuration), or from the
// medium's root when it starts with "/"; ".." never leads off the medium. The kinds: a
// folder on this computer, an ISO image, files held in memory (tests and fuzzing), and the
// computer's own files by the names given, for a screen file named on the command line.
// Every kind obeys the same limits: names of at most MaxNameLength characters, files of at
// most MaxTextSize bytes; every failure goes to ReportIOFailure.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vestalo::media {

// The largest text the program reads; a larger (or endless) file is a failure.
constexpr std::size_t MaxTextSize = 64u * 1024 * 1024;

// The longest name the program looks for; a longer one is never present.
constexpr std::size_t MaxNameLength = 259;

// Takes the next piece of a file; returns false to stop reading.
using PieceTaker = std::function<bool(std::string_view piece)>;
// Told a plain file's size before its first piece, so that its reader can make room at once.
using SizeTaker = std::function<void(std::size_t size)>;

class Medium {
 public:
  virtual ~Medium() = default;

  // True when the name denotes a file (not a folder) that is there to read.
  bool FileIsPresent(const std::string& name) const;

  // Reads a file piece by piece until `take` returns false or the file ends.
  void ReadFilePieces(const std::string& name, const PieceTaker& take,
                      const SizeTaker& sized = nullptr) const;

  // The whole text of a screen file up to its end (its physical end, ^Z or 0xFF).
  std::string LoadWholeFile(const std::string& name) const;

  // Every byte of a file up to its physical end, for the checks that look past a text's end.
  std::string LoadFileBytes(const std::string& name) const;

  // The path from the medium's root (no leading "/") of a name read in the boot folder.
  virtual std::string PathOnMedium(const std::string& name) const;

  // How the user finds the file from where the program was started: a path for a folder
  // (samples/bootcd/help1.txt), IMAGE:/isolinux/f1.txt for an image.
  virtual std::string PathForUser(const std::string& name) const = 0;

  // The file as the medium spells it (letter case); for files on this computer, the path
  // to open, and a name with wildcards as written.
  virtual std::string NameOnDisk(const std::string& name) const = 0;

  // The path of the file on this computer; empty for a file that is not one of its own (in
  // an image or in memory).
  virtual std::string PathOnComputer(const std::string& name) const;

  // The medium's name ("/" and the path from its root) of a path on this computer that lies
  // inside the medium; empty for one outside it, or for a medium that is no folder here.
  virtual std::string NameOfComputerPath(const std::string& path) const;

  // A text that changes whenever the file changes (size, time); empty when it is missing.
  virtual std::string FileStamp(const std::string& name) const = 0;

  // The configuration the loader starts from in the boot folder: isolinux.cfg or
  // syslinux.cfg; empty when there is none. When both are there, ISOLINUX reads
  // isolinux.cfg: on an ISO image, and in a boot folder that holds isolinux.bin; elsewhere
  // syslinux.cfg is taken (the loader of a disk or USB stick reads it).
  const std::string& StartConfiguration() const { return Start; }

  // The other of the two when both are in the boot folder; empty otherwise.
  const std::string& OtherConfiguration() const { return Other; }

 protected:
  // The kind's own lookup and reading; names are within the limits.
  virtual bool Lookup(const std::string& name) const = 0;
  virtual void ReadPieces(const std::string& name, const PieceTaker& take,
                          const SizeTaker& sized) const = 0;

  // The configuration the loader would start from in `folder` (a name in the boot folder,
  // "" for the boot folder itself); empty when it holds none. Notes the other one when both
  // are there.
  std::string ConfigurationIn(const std::string& folder);

  // True when a medium boots with ISOLINUX from `folder`: an image, or a folder that holds
  // isolinux.bin.
  virtual bool BootsWithIsolinux(const std::string& folder) const;

  // Looks for the boot folder where the loader looks, in its order, the root last; sets
  // BootFolder and Start. Returns false when no place holds a configuration.
  bool FindBootFolder(const std::function<std::string(const std::string& place)>& spelled);

  std::string BootFolder;  // from the medium's root, spelled as on the medium; "" = the root
  std::string Start;
  std::string Other;
};

// What a command-line target names.
enum class TargetKind { ScreenFile, Folder, Image };

// Tells a folder and an ISO 9660 image (by its content, not its name) from a screen file.
TargetKind KindOfTarget(const std::string& target);

// Opens the boot medium at `target`, a folder or an ISO image (empty: the current folder),
// and finds its boot folder as the loader does.
std::unique_ptr<Medium> OpenMedium(const std::string& target);

// The computer's files by the names given, relative to the current folder, as for a screen
// file named on the command line: no boot medium.
std::unique_ptr<Medium> ComputerFiles();

}  // namespace vestalo::media
