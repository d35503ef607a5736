#include "media/ImageMedium.h"

#include "media/ComputerFile.h"

namespace vestalo::media {

ImageMedium::ImageMedium(const std::string& path) : Path(path), Image(path) {
  FindBootFolder([&](const std::string& place) { return Image.Find(place).Spelling; });
}

std::string ImageMedium::PathForUser(const std::string& name) const {
  return Path + ":/" + NameOnDisk(name);
}

std::string ImageMedium::NameOnDisk(const std::string& name) const {
  const ImageEntry entry = Image.Find(PathOnMedium(name));
  return entry.Found ? entry.Spelling : PathOnMedium(name);
}

std::string ImageMedium::FileStamp(const std::string& name) const {
  // A file in an image changes only with the image.
  return FileIsPresent(name) ? ComputerFileStamp(Path) : std::string();
}

bool ImageMedium::Lookup(const std::string& name) const {
  const ImageEntry entry = Image.Find(PathOnMedium(name));
  return entry.Found && !entry.IsFolder;
}

void ImageMedium::ReadPieces(const std::string& name, const PieceTaker& take,
                             const SizeTaker&) const {
  Image.Read(PathOnMedium(name), take);
}

}  // namespace vestalo::media
