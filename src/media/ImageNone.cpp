// A build without libarchive (the Windows cross build): it tells an image from a screen
// file, and says that it cannot read it.
#include "base/InOutError.h"
#include "media/Image.h"

namespace vestalo::media {

struct IsoImage::State {};

IsoImage::IsoImage(const std::string&) { ReportIOFailure(ErrorCode::NoImageSupport); }

IsoImage::~IsoImage() = default;

ImageEntry IsoImage::Find(std::string_view) const { return {}; }

void IsoImage::Read(std::string_view, const PieceTaker&) const {
  ReportIOFailure(ErrorCode::NoImageSupport);
}

std::string ImageSupportLine() {
  return "ISO images: not read by this build (built without libarchive)";
}

}  // namespace vestalo::media
