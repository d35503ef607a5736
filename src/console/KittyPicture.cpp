#include "console/KittyPicture.h"

#include <cstdint>

namespace console {

namespace {

// The largest piece of base64 one command may carry (a multiple of 4).
constexpr std::size_t PieceSize = 4096;

}  // namespace

std::string Base64(std::string_view bytes) {
  static constexpr char Digits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text((bytes.size() + 2) / 3 * 4, '=');
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  char* out = text.data();
  std::size_t at = 0;
  for (; at + 3 <= bytes.size(); at += 3, out += 4) {
    const uint32_t group = uint32_t{in[at]} << 16 | uint32_t{in[at + 1]} << 8 | in[at + 2];
    out[0] = Digits[group >> 18], out[1] = Digits[group >> 12 & 63];
    out[2] = Digits[group >> 6 & 63], out[3] = Digits[group & 63];
  }
  if (const std::size_t left = bytes.size() - at; left > 0) {  // the last one or two bytes
    const uint32_t group = uint32_t{in[at]} << 16 | (left > 1 ? uint32_t{in[at + 1]} << 8 : 0);
    out[0] = Digits[group >> 18], out[1] = Digits[group >> 12 & 63];
    if (left > 1) out[2] = Digits[group >> 6 & 63];
  }
  return text;
}

std::string KittyPlacement(std::string_view png, int id, int columns, int rows) {
  const std::string data = Base64(png);
  std::string commands;
  commands.reserve(data.size() + data.size() / PieceSize * 16 + 96);
  for (std::size_t at = 0; at == 0 || at < data.size(); at += PieceSize) {
    const bool more = at + PieceSize < data.size();
    commands += "\x1b_G";
    // The first piece carries the keys; q=2: no answer, so none comes in among the keys.
    if (at == 0)
      commands += "a=T,f=100,i=" + std::to_string(id) + ",q=2,C=1,c=" + std::to_string(columns) +
                  ",r=" + std::to_string(rows) + ",";
    commands += more ? "m=1;" : "m=0;";
    commands.append(data, at, PieceSize);
    commands += "\x1b\\";
  }
  return commands;
}

std::string KittySharedPlacement(std::string_view name, int id, int width, int height, int columns,
                                 int rows) {
  return "\x1b_Ga=T,f=24,t=s,s=" + std::to_string(width) + ",v=" + std::to_string(height) +
         ",i=" + std::to_string(id) + ",q=2,C=1,c=" + std::to_string(columns) +
         ",r=" + std::to_string(rows) + ";" + Base64(name) + "\x1b\\";
}

std::string KittyDeletion(int id) { return "\x1b_Ga=d,d=I,i=" + std::to_string(id) + ",q=2\x1b\\"; }

}  // namespace console
