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
enum class ValueSlot { ConfigName, SnapshotFolder };

struct ValueOption {
  std::string_view Spelling;
  ValueSlot Slot;
  const char* ValueName;  // in the message when the value is missing
};

constexpr std::array<ValueOption, 3> ValueOptions{{
    {"-c", ValueSlot::ConfigName, "a configuration file name"},
    {"--config", ValueSlot::ConfigName, "a configuration file name"},
    {"--snapshot", ValueSlot::SnapshotFolder, "a folder for the snapshots"},
}};

std::string& SlotOf(ProgramOptions& options, ValueSlot slot) {
  return slot == ValueSlot::ConfigName ? options.ConfigName : options.SnapshotFolder;
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
    if (argument == "--watch") {
      options.Watch = true;
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
        SlotOf(options, option.Slot) = argument.substr(withEquals.size());
      } else if (argument == option.Spelling) {
        if (i + 1 >= arguments.size()) {
          if (options.Problem.empty())
            options.Problem = "option " + argument + " needs " + option.ValueName;
          return options;
        }
        SlotOf(options, option.Slot) = arguments[++i];
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
