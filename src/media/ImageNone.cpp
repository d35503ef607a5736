// A build without libarchive (the Windows cross build): it tells an image from a screen
// file, and says that it cannot read it.
#include "base/InOutError.h"
#include "media/Image.h"

namespace vestalo::media {

void OpenImage(const std::string&) { ReportIOFailure(ErrorCode::NoImageSupport); }

void CloseImage() {}

ImageEntry FindInImage(std::string_view) { return {}; }

void ReadImageFile(std::string_view, const std::function<bool(std::string_view)>&) {
  ReportIOFailure(ErrorCode::NoImageSupport);
}

std::string ImageSupportLine() { return "ISO images: not read by this build (built without libarchive)"; }

}  // namespace vestalo::media
