// The graphical menu's screendumps (tests/vesamenu/golden, QEMU's, read with libpng) against
// the pictures a run wrote, and lines of the text files it wrote.
#pragma once

#include <string>
#include <vector>

namespace vestalo::testing {

// Every difference between the PNG file `ours` and the golden picture (a path in the source
// tree), one line each: its size, and pixels whose channels differ by more than `levels`
// outside the masked rectangles (x, y, width, height, ...). Prints the share of equal pixels.
std::vector<std::string> PictureDifferences(const std::string& ours, const std::string& golden,
                                            int levels, const std::vector<int>& masks);

// What is wrong with line `number` (from 1) of a text file, which must read `text`, and with
// its count of lines, which must be `lines` (0: not checked).
std::vector<std::string> FileLineDifferences(const std::string& file, int number,
                                             const std::string& text, int lines);

}  // namespace vestalo::testing
