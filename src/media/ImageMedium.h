// A boot medium inside an ISO image file, read without mounting or unpacking it.
#pragma once

#include <string>

#include "media/Image.h"
#include "media/Medium.h"

namespace vestalo::media {

class ImageMedium : public Medium {
 public:
  // Reads the image's list of files and finds its boot folder: the loader's places in its
  // order, the root last (an image has no current folder).
  explicit ImageMedium(const std::string& path);

  std::string PathForUser(const std::string& name) const override;
  std::string NameOnDisk(const std::string& name) const override;
  std::string FileStamp(const std::string& name) const override;

 protected:
  bool Lookup(const std::string& name) const override;
  void ReadPieces(const std::string& name, const PieceTaker& take,
                  const SizeTaker& sized) const override;

 private:
  std::string Path;  // the image file as named on the command line
  IsoImage Image;
};

}  // namespace vestalo::media
