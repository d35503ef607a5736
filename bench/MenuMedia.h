// Boot media with menus for the benchmarks, written afresh on every run, the same bytes
// every time: a graphical menu (vesamenu.c32) on a 640x480 JPEG background, the same menu
// for the text menu module (menu.c32), and a text menu of 1,000 entries.
#pragma once

#include <string>

namespace vestalo::bench {

// A 640x480 photograph-like picture (sky, hills, a sun and fine grain), as a baseline JPEG
// with 4:2:0 chroma, as a distribution's boot background is usually saved.
std::string BackgroundJpeg();

// The configuration of a boot menu of ten entries under `ui` ("vesamenu.c32" or "menu.c32"),
// its background named `background`: the same lines for both modules but the UI line.
std::string TenEntryMenu(const std::string& ui, const std::string& background);

// A text menu (menu.c32) of `entries` entries.
std::string LongTextMenu(int entries);

// A folder in /tmp holding the three media as boot folders: graphical/, text/ and long/;
// removed with the object.
class MenuMedia {
 public:
  MenuMedia();
  ~MenuMedia();
  MenuMedia(const MenuMedia&) = delete;
  MenuMedia& operator=(const MenuMedia&) = delete;

  std::string Graphical() const { return Folder + "/graphical"; }
  std::string Text() const { return Folder + "/text"; }
  std::string Long() const { return Folder + "/long"; }
  static constexpr int LongEntries = 1000;

 private:
  std::string Folder;
};

}  // namespace vestalo::bench
