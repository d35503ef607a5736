// Names on a boot medium as the boot loader reads them: relative to its boot folder, or from
// the medium's root when they start with "/"; and the folders where it looks for its
// configuration.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vestalo::media {

// Where ISOLINUX 6.04 looks for isolinux.cfg and then syslinux.cfg, folder by folder, after
// which it tries the medium's root. Read from its loaded core and confirmed by booting it:
// the folder isolinux.bin itself was loaded from is never tried.
constexpr std::array<std::string_view, 4> BootFolderPlaces{"boot/isolinux", "isolinux",
                                                           "boot/syslinux", "syslinux"};

// The path from the medium's root (no leading "/") of `name` read in `bootFolder` (a path
// from the root, "" for the root itself). "." and ".." are resolved as the loader resolves
// them, and ".." at the root stays there, so no name leads off the medium.
std::string MediumPath(std::string_view bootFolder, std::string_view name);

// For a boot folder at an absolute path on the computer: the place of the loader's list it
// stands at ("boot/isolinux", spelled as on disk), or "" when it stands at none, which makes
// it the medium's root itself.
std::string PlaceOfFolder(std::string_view absolutePath);

// The name with A-Z in lower case: how the medium's file systems compare names.
std::string FoldedCase(std::string_view name);

// True when two names are equal ignoring the letter case of A-Z.
bool SameIgnoringCase(std::string_view a, std::string_view b);

// `path` without the leading `folder` and its "/" (letter case ignored), or `path` with
// "../" for every level of `folder` when it lies elsewhere: how to reach a path of the
// medium from that folder.
std::string RelativeToFolder(std::string_view folder, std::string_view path);

// Joins two paths with one "/"; an empty part leaves the other as it is.
std::string JoinPath(std::string_view first, std::string_view second);

}  // namespace vestalo::media
