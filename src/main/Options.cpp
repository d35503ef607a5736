#include "main/Options.h"

#include <array>
#include <string_view>

namespace vestalo {

namespace {

// Options that choose a mode on their own.
struct ModeOption {
  std::string_view Spelling;
  RunMode Mode;
};

constexpr std::array<ModeOption, 5> ModeOptions{{
    {"-help", RunMode::Help},
    {"--help", RunMode::Help},
    {"-h", RunMode::Help},
    {"--version", RunMode::Version},
    {"--check", RunMode::Check},
}};

// Options followed by a value: the option, and where its value goes.
enum class ValueSlot { ConfigName, SnapshotFolder, Keys };

struct ValueOption {
  std::string_view Spelling;
  ValueSlot Slot;
  const char* ValueName;  // in the message when the value is missing
};

constexpr std::array<ValueOption, 4> ValueOptions{{
    {"-c", ValueSlot::ConfigName, "a configuration file name"},
    {"--config", ValueSlot::ConfigName, "a configuration file name"},
    {"--snapshot", ValueSlot::SnapshotFolder, "a folder for the snapshots"},
    {"--keys", ValueSlot::Keys, "a list of keys (down,tab,ret,...)"},
}};

// The keys of a tour: names separated by commas, each a step.
std::vector<std::string> KeyList(const std::string& text) {
  std::vector<std::string> keys;
  std::size_t start = 0;
  for (std::size_t comma = text.find(',');; comma = text.find(',', start)) {
    keys.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return keys;
    start = comma + 1;
  }
}

void Take(ProgramOptions& options, ValueSlot slot, const std::string& value) {
  if (slot == ValueSlot::ConfigName) options.ConfigName = value;
  else if (slot == ValueSlot::SnapshotFolder) options.SnapshotFolder = value;
  else options.Keys = KeyList(value);
}

// A mode chosen twice, or two different ones, cannot both be done.
void ChooseMode(ProgramOptions& options, RunMode mode, std::string_view spelling) {
  if (options.Mode != RunMode::Configuration && options.Mode != mode && options.Problem.empty())
    options.Problem =
        "option " + std::string(spelling) + " cannot be combined with the one before it";
  options.Mode = mode;
}

// What the options allow together, once all are read.
void CheckCombination(ProgramOptions& options) {
  if (!options.Problem.empty()) return;
  const bool watchable = options.Mode == RunMode::Configuration;
  if (options.Watch && !watchable) options.Problem = "--watch works only when screens are shown";
  if (!options.ConfigName.empty() &&
      (options.Mode == RunMode::Help || options.Mode == RunMode::Version))
    options.Problem = "-c works only with a boot medium";
  if (!options.Keys.empty() && options.Mode != RunMode::Snapshot)
    options.Problem = "--keys works only with --snapshot";
}

}  // namespace

ProgramOptions ParseArguments(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") {
      if (i + 1 < arguments.size()) options.Target = arguments[i + 1];
      break;
    }
    if (argument == "--watch" || argument == "--no-menu") {
      (argument == "--watch" ? options.Watch : options.NoMenu) = true;
      continue;
    }
    bool known = false;
    for (const auto& option : ModeOptions) {
      if (argument != option.Spelling) continue;
      // Help and the version are wanted whatever else was typed: they end the reading.
      if (option.Mode == RunMode::Help || option.Mode == RunMode::Version) {
        ProgramOptions wanted;
        wanted.Mode = option.Mode;
        return wanted;
      }
      ChooseMode(options, option.Mode, option.Spelling);
      known = true;
    }
    for (const auto& option : ValueOptions) {
      const std::string withEquals = std::string(option.Spelling) + "=";
      if (option.Spelling.size() > 2 && argument.rfind(withEquals, 0) == 0) {
        Take(options, option.Slot, argument.substr(withEquals.size()));
      } else if (argument == option.Spelling) {
        if (i + 1 >= arguments.size()) {
          if (options.Problem.empty())
            options.Problem = "option " + argument + " needs " + option.ValueName;
          return options;
        }
        Take(options, option.Slot, arguments[++i]);
      } else {
        continue;
      }
      if (option.Slot == ValueSlot::SnapshotFolder)
        ChooseMode(options, RunMode::Snapshot, option.Spelling);
      known = true;
    }
    if (known) continue;
    // A long option of no use here is a typing error, not the name of a file: "--" or
    // "./--name" still reach such a file. Single-dash names stay file names (-HELP).
    if (argument.starts_with("--")) {
      if (options.Problem.empty()) options.Problem = "unknown option " + argument;
      return options;
    }
    // Any other argument names what to show; nothing after it is read.
    options.Target = argument;
    break;
  }
  CheckCombination(options);
  return options;
}

}  // namespace vestalo
