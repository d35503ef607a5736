// The PC's code page 437: what each byte of a screen file looks like on a boot screen.
#pragma once

#include <string>

namespace screen {

// The Unicode character the PC's text mode shows for a byte (control bytes as glyphs).
char32_t Cp437CodePoint(unsigned char byte);

// The code page 437 byte (0x20-0x7E, 0x80-0xFF) showing a character, or -1 when none does.
int Cp437ByteFor(char32_t codePoint);

}  // namespace screen
