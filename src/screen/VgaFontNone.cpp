// A build without zlib (the Windows one) reads no console fonts: no VGA font.
#include "screen/VgaFont.h"

namespace screen {

std::optional<VgaFont> FindVgaFont(const std::string&) { return std::nullopt; }

}  // namespace screen
