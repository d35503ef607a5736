// An ISO 9660 image read as a boot medium, without mounting or unpacking it: its list of
// files once, then each file's bytes when they are needed. ImageArchive.cpp reads images
// with libarchive; ImageNone.cpp stands in where the build has no libarchive.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "media/Medium.h"

namespace vestalo::media {

// What a path from the image's root names: the path as the image spells it when found.
struct ImageEntry {
  bool Found = false;
  bool IsFolder = false;
  std::string Spelling;
};

class IsoImage {
 public:
  // Reads the list of files of the image at `path`. A damaged image, or a build that reads
  // no images, goes to ReportIOFailure.
  explicit IsoImage(const std::string& path);
  ~IsoImage();

  // Looks a path up, ignoring letter case, following the image's symbolic links.
  ImageEntry Find(std::string_view path) const;

  // Reads a file piece by piece until `take` returns false or the file ends. A missing file
  // is "File not found"; a damaged image goes to ReportIOFailure.
  void Read(std::string_view path, const PieceTaker& take) const;

  // What the reader of the build keeps of the image (ImageArchive.cpp).
  struct State;

 private:
  std::unique_ptr<State> Data;
};

// One line for --version: whether this build reads ISO images, and with what.
std::string ImageSupportLine();

}  // namespace vestalo::media
