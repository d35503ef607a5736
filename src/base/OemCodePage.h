// The failure report is written for the console's OEM code page, as the rest of the system's
// messages on standard error are.
#pragma once

#include <string>

namespace vestalo::platform {

// `text`, taken in the system's ANSI code page, converted to its OEM code page.
std::string ToOemCodePage(std::string text);

}  // namespace vestalo::platform
