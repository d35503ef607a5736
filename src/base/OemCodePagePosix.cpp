#include "base/OemCodePage.h"

namespace vestalo::platform {

// A terminal has one character set for everything: the text goes out as it is.
std::string ToOemCodePage(std::string text) { return text; }

}  // namespace vestalo::platform
