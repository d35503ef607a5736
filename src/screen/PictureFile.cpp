#include "screen/PictureFile.h"

namespace screen {

namespace {

bool StartsWith(std::string_view bytes, std::string_view magic) {
  return bytes.substr(0, magic.size()) == magic;
}

}  // namespace

PictureFile ReadPicture(std::string_view bytes, int maxWidth, int maxHeight) {
  // Told apart by their first bytes, as the loader tells them apart, not by their names.
  if (StartsWith(bytes, "\x89PNG\r\n\x1a\n")) return ReadPng(bytes, maxWidth, maxHeight);
  if (StartsWith(bytes, "\xFF\xD8")) return ReadJpeg(bytes, maxWidth, maxHeight);
  if (StartsWith(bytes, "\x3D\xF3\x13\x14")) return ReadLss16(bytes, maxWidth, maxHeight);
  return {};
}

std::string ReadablePictureFormats() {
  std::string formats;
  if (PngReadable) formats += "PNG, ";
  if (JpegReadable) formats += "JPEG, ";
  return formats + "LSS16";
}

}  // namespace screen
