#include <windows.h>

#include "base/OemCodePage.h"

namespace vestalo::platform {

std::string ToOemCodePage(std::string text) {
  // Converting in place is allowed: the OEM text is never longer than the ANSI text.
  CharToOemA(text.c_str(), text.data());
  return text;
}

}  // namespace vestalo::platform
