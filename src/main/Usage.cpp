#include "main/Usage.h"

namespace vestalo {

const char* const BannerLine =
    "Vestalo by the Vestalo team, team@vestalo.invalid, https://vestalo.invalid/";

namespace {

const std::vector<std::string> Instructions = {
    "Usage:",
    " - without arguments: Vestalo will try to find isolinux.cfg/syslinux.cfg",
    "      and to read configuration from there.",
    "      Use number keys instead of function keys for menu navigation.",
    "      Press \"x\" for exit",
    " - with arguments: Vestalo will search for a splash file given as argument",
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

}  // namespace vestalo
