#include "main/Watch.h"

#include "main/ProgramState.h"

namespace vestalo {

namespace {

struct WatchedFile {
  std::string Name;
  std::string Stamp;
};

bool Started = false;
WatchedFile Screen;
std::vector<WatchedFile> Configuration;

// True when the file differs from what was noted; notes how it is now.
bool Changed(WatchedFile& file) {
  std::string now = MediumFiles->FileStamp(file.Name);
  if (now == file.Stamp) return false;
  file.Stamp = std::move(now);
  return true;
}

}  // namespace

void WatchConfiguration(const std::vector<std::string>& files) {
  Started = true;
  Configuration.clear();
  for (const auto& name : files) Configuration.push_back({name, MediumFiles->FileStamp(name)});
}

bool Watching() { return Started; }

void NoteScreenShown(const std::string& name) {
  if (!Started) return;
  Screen = {name, name.empty() ? std::string() : MediumFiles->FileStamp(name)};
}

const std::string& ScreenShown() { return Screen.Name; }

WatchedChange WhatChanged() {
  bool configuration = false;
  for (auto& file : Configuration) configuration = Changed(file) || configuration;
  // The configuration is read again only once its first file is back in place (its stamp is
  // looked at once: the file may go between two looks).
  if (!Configuration.empty() && Configuration.front().Stamp.empty()) return WatchedChange::Nothing;
  if (configuration) return WatchedChange::Configuration;
  if (!Screen.Name.empty() && Changed(Screen)) return WatchedChange::Screen;
  return WatchedChange::Nothing;
}

}  // namespace vestalo
