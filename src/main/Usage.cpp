#include "main/Usage.h"

#include "media/Image.h"
#include "tools/PngPicture.h"

namespace vestalo {

#ifndef VESTALO_VERSION
#error "the build names the version"
#endif

const char* const VersionText = VESTALO_VERSION;

const std::string BannerLine = std::string("Vestalo ") + VESTALO_VERSION +
                               " by the Vestalo team, dev@vestalo.invalid, https://vestalo.invalid";

namespace {

const std::vector<std::string> Instructions = {
    "Usage:",
    " - without arguments: Vestalo will try to find isolinux.cfg/syslinux.cfg",
    "      and to read configuration from there.",
    "      Use number keys instead of function keys for menu navigation.",
    "      Press \"x\" for exit",
    " - with arguments: Vestalo will search for a splash file given as argument",
    " - with a folder or an ISO image as argument: Vestalo will read the boot",
    "      medium there, finding its configuration where the boot loader does",
    " - with -c NAME (or --config NAME): Vestalo will start from the",
    "      configuration file NAME instead of isolinux.cfg/syslinux.cfg",
    " - with --watch: Vestalo will draw the screen again when its files change",
    " - with --check [-c NAME] [MEDIUM]: Vestalo will report, one finding a line,",
    "      what goes wrong on the boot screen",
    " - with --snapshot DIR [-c NAME] [MEDIUM or FILE]: Vestalo will write each",
    "      screen to DIR as text, ANSI colours, an HTML page and a PNG picture;",
    "      with --keys K1,K2,... a tour of the boot menu (down, ret, tab, f1, ...)",
    " - with --no-menu: Vestalo will show the splash screen and the help keys of a",
    "      configuration that starts a boot menu, instead of the menu",
    " - with --version: Vestalo will print its version; --help or -h: this text",
};

std::vector<std::string> WithInstructions(std::vector<std::string> lines) {
  lines.insert(lines.end(), Instructions.begin(), Instructions.end());
  return lines;
}

}  // namespace

std::vector<std::string> HelpUsageLines() { return WithInstructions({"", BannerLine, ""}); }

std::vector<std::string> MissingConfigurationLines() {
  return WithInstructions({"no valid configuration file found", "", BannerLine, ""});
}

std::vector<std::string> VersionLines() {
  return {std::string("vestalo ") + VersionText, tools::PictureSupport(),
          media::ImageSupportLine()};
}

}  // namespace vestalo
