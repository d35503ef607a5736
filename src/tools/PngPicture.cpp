#include "tools/PngPicture.h"

#include <png.h>

#include <optional>
#include <vector>

#include "screen/Picture.h"
#include "screen/VgaFont.h"

namespace vestalo::tools {

namespace {

// The font is looked for once a run: a snapshot of ten screens reads the font files once.
const std::optional<screen::VgaFont>& Font() {
  static const std::optional<screen::VgaFont> font = screen::FindVgaFont();
  return font;
}

const std::string NoFont = std::string("no 8x16 VGA font in ") + screen::ConsoleFontFolder +
                           " (Debian's console-data or console-setup-linux has one)";

std::string Encode(const std::vector<uint8_t>& pixels) {
  // A 16-colour palette picture: a tenth of the size of the same picture in RGB.
  std::vector<png_byte> colourMap;
  for (const auto& rgb : screen::VgaPalette)
    colourMap.insert(colourMap.end(), {rgb.Red, rgb.Green, rgb.Blue});
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = screen::PictureWidth;
  image.height = screen::PictureHeight;
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = screen::VgaPalette.size();
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, colourMap.data()))
    return {};
  std::string png(size, '\0');
  if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, colourMap.data()))
    return {};
  png.resize(size);
  return png;
}

}  // namespace

std::string PngPicture(const screen::RgbImage& picture, std::string& problem) {
  std::vector<png_byte> pixels;
  pixels.reserve(picture.Pixels.size() * 3);
  for (const screen::Colour& c : picture.Pixels)
    pixels.insert(pixels.end(), {c.Red, c.Green, c.Blue});
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.Width);
  image.height = static_cast<png_uint_32>(picture.Height);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  std::string png;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
    png.resize(size);
    if (png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr))
      png.resize(size);
    else png.clear();
  }
  if (png.empty()) problem = "libpng could not encode the picture";
  return png;
}

std::string PngPicture(const screen::ScreenGrid& grid, std::string& problem) {
  if (!Font()) {
    problem = NoFont;
    return {};
  }
  std::string png = Encode(screen::DrawPicture(grid, Font()->Glyphs));
  if (png.empty()) problem = "libpng could not encode the picture";
  return png;
}

std::string PictureSupport() {
  const std::string backgrounds = "; menu backgrounds: " + BackgroundFormats() +
                                  "; terminal pictures: " + TerminalPictureFormats();
  if (!Font()) return "PNG snapshots: " + NoFont + backgrounds;
  std::string line = "PNG snapshots: font";
  for (size_t i = 0; i < Font()->Files.size(); ++i)
    line += (i == 0 ? " " : ", ") + Font()->Files[i];
  if (Font()->Missing > 0)
    line += " (no glyph for " + std::to_string(Font()->Missing) + " characters)";
  return line + backgrounds;
}

}  // namespace vestalo::tools
