// Files on this computer: a boot medium in a folder, or the computer's files by the names
// given (a screen file named on the command line). Names are joined to the folder the
// medium lies in, as the user named it; the program's current folder never changes.
#pragma once

#include <string>

#include "media/Medium.h"

namespace vestalo::media {

class FolderMedium : public Medium {
 public:
  // The computer's files: names as written, relative to the current folder.
  FolderMedium() = default;

  // The boot medium in the folder `target` (empty: the current folder): its boot folder is
  // the folder itself when it holds a configuration, else the first of the loader's places
  // below it that does. A folder that cannot be entered goes to ReportIOFailure.
  explicit FolderMedium(const std::string& target);

  std::string PathOnMedium(const std::string& name) const override;
  std::string PathForUser(const std::string& name) const override;
  std::string NameOnDisk(const std::string& name) const override;
  std::string PathOnComputer(const std::string& name) const override;
  std::string NameOfComputerPath(const std::string& path) const override;
  std::string FileStamp(const std::string& name) const override;

 protected:
  bool Lookup(const std::string& name) const override;
  bool BootsWithIsolinux(const std::string& folder) const override;
  void ReadPieces(const std::string& name, const PieceTaker& take,
                  const SizeTaker& sized) const override;

 private:
  // The name as reached from the boot folder ("../" for what lies above it), spelled as on
  // disk where only letter case differs; a name with wildcards as written.
  std::string FromBootFolder(const std::string& name) const;

  bool IsMedium = false;
  std::string Base;      // the boot folder as the user reaches it from the starting folder
  std::string UserRoot;  // the medium's root, likewise
};

}  // namespace vestalo::media
