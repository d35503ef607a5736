#include "MenuMedia.h"

#include <stdio.h>
#include <stdlib.h>
// libjpeg's header needs FILE and size_t declared before it.
#include <jpeglib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "ScreenFiles.h"

namespace vestalo::bench {

namespace {

constexpr int Width = 640, Height = 480;

// A small fixed generator, so that the grain is the same on every run.
struct Grain {
  uint32_t State = 20250101;
  int Next(int spread) {
    State = State * 1664525u + 1013904223u;
    return static_cast<int>((State >> 16) % static_cast<uint32_t>(2 * spread + 1)) - spread;
  }
};

uint8_t Clamped(double value) {
  return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}

// The picture's pixels, RGB rows top to bottom: an evening sky darkening upwards, a sun,
// two ranges of hills whose edges are curves, and grain everywhere, so that the JPEG and the
// pictures made from it are about as hard to compress as a photograph.
std::vector<uint8_t> Pixels() {
  std::vector<uint8_t> rgb(static_cast<size_t>(Width) * Height * 3);
  Grain grain;
  for (int y = 0; y < Height; ++y) {
    const double up = 1.0 - static_cast<double>(y) / Height;
    for (int x = 0; x < Width; ++x) {
      double r = 250 - 170 * up, g = 150 - 90 * up, b = 90 + 60 * up;
      const double sunX = x - 420.0, sunY = y - 250.0;
      const double sun = std::exp(-(sunX * sunX + sunY * sunY) / 1800.0);
      r += 60 * sun, g += 90 * sun, b += 40 * sun;
      const double far = 300 + 35 * std::sin(x / 70.0) + 15 * std::sin(x / 23.0 + 1.0);
      const double near = 370 + 25 * std::sin(x / 110.0 + 2.0) + 8 * std::sin(x / 9.0);
      if (y > far) r = 90 - (y - far) * 0.1, g = 70, b = 110;
      if (y > near) r = 30 + (y - near) * 0.1, g = 60 + (y - near) * 0.2, b = 40;
      const int n = grain.Next(6);
      uint8_t* pixel = &rgb[(static_cast<size_t>(y) * Width + static_cast<size_t>(x)) * 3];
      pixel[0] = Clamped(r + n), pixel[1] = Clamped(g + n), pixel[2] = Clamped(b + n);
    }
  }
  return rgb;
}

}  // namespace

std::string BackgroundJpeg() {
  std::vector<uint8_t> rgb = Pixels();
  jpeg_compress_struct compress{};
  jpeg_error_mgr errors{};
  compress.err = jpeg_std_error(&errors);
  jpeg_create_compress(&compress);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&compress, &buffer, &size);
  compress.image_width = Width;
  compress.image_height = Height;
  compress.input_components = 3;
  compress.in_color_space = JCS_RGB;
  jpeg_set_defaults(&compress);  // baseline, 4:2:0
  jpeg_set_quality(&compress, 85, TRUE);
  jpeg_start_compress(&compress, TRUE);
  while (compress.next_scanline < compress.image_height) {
    JSAMPROW row = &rgb[static_cast<size_t>(compress.next_scanline) * Width * 3];
    jpeg_write_scanlines(&compress, &row, 1);
  }
  jpeg_finish_compress(&compress);
  std::string jpeg(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&compress);
  free(buffer);
  return jpeg;
}

std::string TenEntryMenu(const std::string& ui, const std::string& background) {
  struct Entry {
    const char *Label, *Name, *Kernel, *Append;
  };
  static constexpr Entry Entries[] = {
      {"live", "^Live system", "/live/vmlinuz", "boot=live quiet splash"},
      {"failsafe", "Live system (^fail-safe mode)", "/live/vmlinuz", "boot=live nomodeset noapic"},
      {"install", "^Install", "/install/vmlinuz", "vga=788 quiet"},
      {"expert", "^Expert install", "/install/vmlinuz", "priority=low vga=788"},
      {"rescue", "^Rescue mode", "/install/vmlinuz", "rescue/enable=true vga=788"},
      {"auto", "^Automated install", "/install/vmlinuz", "auto=true priority=critical"},
      {"speech", "Install with ^speech synthesis", "/install/vmlinuz", "speakup.synth=soft"},
      {"memtest", "^Memory test", "/memtest86+.bin", ""},
      {"hd", "Boot from first ^hard disk", "chain.c32", "hd0 0"},
      {"reboot", "Re^boot", "reboot.c32", ""},
  };
  std::string config = "UI " + ui + "\n";
  config += "MENU TITLE Bench Linux 1.0 boot menu\n";
  config += "MENU BACKGROUND " + background + "\n";
  config += "MENU TABMSG Press Tab to edit the entry's command line\n";
  for (const auto& entry : Entries) {
    config += "LABEL " + std::string(entry.Label) + "\n";
    config += "  MENU LABEL " + std::string(entry.Name) + "\n";
    config += "  KERNEL " + std::string(entry.Kernel) + "\n";
    if (*entry.Append != 0) config += "  APPEND " + std::string(entry.Append) + "\n";
  }
  return config;
}

std::string LongTextMenu(int entries) {
  std::string config = "UI menu.c32\nMENU TITLE One thousand kernels\n";
  for (int i = 1; i <= entries; ++i) {
    const std::string number = std::to_string(i);
    config += "LABEL k" + number + "\n  MENU LABEL Kernel " + number + " of the archive\n";
    config += "  KERNEL /boot/vmlinuz-" + number + "\n  APPEND root=/dev/sda1 quiet\n";
  }
  return config;
}

MenuMedia::MenuMedia() {
  char pattern[] = "/tmp/vestalo-menu-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot create a folder in /tmp");
  Folder = pattern;
  const std::string jpeg = BackgroundJpeg();
  const std::pair<std::string, std::string> sameMenu[] = {{Graphical(), "vesamenu.c32"},
                                                          {Text(), "menu.c32"}};
  for (const auto& [folder, ui] : sameMenu) {
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder + "/splash.jpg", jpeg);
    WriteFileBytes(folder + "/isolinux.cfg", TenEntryMenu(ui, "splash.jpg"));
  }
  std::filesystem::create_directories(Long());
  WriteFileBytes(Long() + "/isolinux.cfg", LongTextMenu(LongEntries));
}

MenuMedia::~MenuMedia() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

}  // namespace vestalo::bench
