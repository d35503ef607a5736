// The kitty graphics protocol: a picture sent as PNG in base64 pieces, placed at the cursor
// and scaled into a number of cells; replaced by sending it again under its id, deleted by id.
#pragma once

#include <string>
#include <string_view>

#include "screen/ColourScreen.h"

namespace console {

// Whether this build makes kitty pictures (it needs libdeflate).
extern const bool KittyPicturesBuilt;

// The picture as a PNG file (8-bit RGB); empty in a build without libdeflate.
std::string EncodePng(const screen::RgbImage& picture);
// The same for `height` rows of `width` pixels from `pixels` on.
std::string EncodePng(const screen::Colour* pixels, int width, int height);

// The bytes in base64 (RFC 4648, padded with '=').
std::string Base64(std::string_view bytes);

// The commands that send the PNG under `id` and place it at the cursor, scaled into
// `columns` x `rows` cells, the cursor left where it is and no answer asked for. The base64
// travels in pieces of at most 4096 bytes, each command marked whether more follow.
std::string KittyPlacement(std::string_view png, int id, int columns, int rows);

// The command that places the picture of `width` x `height` raw RGB pixels that the terminal
// reads from the shared memory object `name` (and removes), the same way: under `id`, at the
// cursor, scaled into `columns` x `rows` cells, the cursor left where it is, no answer.
std::string KittySharedPlacement(std::string_view name, int id, int width, int height, int columns,
                                 int rows);

// The command that deletes the picture of `id`, its data freed.
std::string KittyDeletion(int id);

}  // namespace console
