// An ISO 9660 image read as a boot medium, without mounting or unpacking it: its list of
// files once, then each file's bytes when they are needed. ImageArchive.cpp reads images
// with libarchive; ImageNone.cpp stands in where the build has no libarchive.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vestalo::media {

// Reads the list of files of the image at `path`. A damaged image, or a build that reads no
// images, goes to ReportIOFailure.
void OpenImage(const std::string& path);

// Forgets the open image.
void CloseImage();

// What a path from the image's root names: the path as the image spells it when found.
struct ImageEntry {
  bool Found = false;
  bool IsFolder = false;
  std::string Spelling;
};

// Looks a path up in the open image, ignoring letter case, following its symbolic links.
ImageEntry FindInImage(std::string_view path);

// Reads a file of the open image piece by piece until `take` returns false or the file
// ends. A missing file is "File not found"; a damaged image goes to ReportIOFailure.
void ReadImageFile(std::string_view path, const std::function<bool(std::string_view)>& take);

// One line for --version: whether this build reads ISO images, and with what.
std::string ImageSupportLine();

}  // namespace vestalo::media
