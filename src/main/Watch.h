// --watch: which files the screen on display comes from, and whether one changed on disk.
#pragma once

#include <string>
#include <vector>

namespace vestalo {

// How often the files are looked at while a key or Enter is awaited: a change shows
// within twice this.
constexpr int WatchIntervalMs = 100;

// What changed since it was noted.
enum class WatchedChange { Nothing, Screen, Configuration };

// Starts watching, or watches another set of configuration files after a new scan.
void WatchConfiguration(const std::vector<std::string>& files);

// True once watching has started (with --watch only).
bool Watching();

// Notes the screen file now shown, as it is on disk now; empty when the screen comes
// from no file (a notice).
void NoteScreenShown(const std::string& name);

// The name noted last.
const std::string& ScreenShown();

// What changed since the files were noted; notes them as they are now. A configuration
// that is missing for the moment (an editor between its writes) counts as unchanged.
WatchedChange WhatChanged();

}  // namespace vestalo
