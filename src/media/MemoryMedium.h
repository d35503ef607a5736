// A boot medium held in memory: files by their paths from the medium's root, folders
// implied by the paths. For tests and fuzzing, where a folder on disk would only be in the
// way. Names are found in any letter case, as on an ISO image.
#pragma once

#include <map>
#include <string>

#include "media/Medium.h"

namespace vestalo::media {

class MemoryMedium : public Medium {
 public:
  // `files` by their paths from the root ("isolinux/isolinux.cfg"); the boot folder is found
  // as in an image. `label` stands for the medium in PathForUser ("LABEL:/path").
  explicit MemoryMedium(std::map<std::string, std::string> files, std::string label = "memory");

  std::string PathForUser(const std::string& name) const override;
  std::string NameOnDisk(const std::string& name) const override;
  std::string FileStamp(const std::string& name) const override;

 protected:
  bool Lookup(const std::string& name) const override;
  void ReadPieces(const std::string& name, const PieceTaker& take,
                  const SizeTaker& sized) const override;

 private:
  // The stored path of a file or folder equal to `path` but for letter case ("" for none);
  // the exact spelling first.
  std::string Spelled(const std::string& path, bool& isFolder) const;

  std::map<std::string, std::string> Files;
  std::string Label;
};

}  // namespace vestalo::media
