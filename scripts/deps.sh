# Sourced by the scripts: makes sure Debian packages are installed.
# As root, missing packages are installed; otherwise the script says what to install.

# ensure_packages PACKAGE...
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    # What works on a fresh Debian: no sudo there, and no package lists before an update.
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them as root (su -, or sudo where it is set up) with:" >&2
    echo "  apt-get update" >&2
    echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${#missing[@]} Debian packages with apt-get (a minute or more): ${missing[*]}" >&2
  # apt's many lines go to a log, shown whole from its end when it fails.
  local log status=0
  log=$(mktemp /tmp/vestalo-apt-XXXXXX.log)
  if [ -z "${VESTALO_APT_UPDATED:-}" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get update >"$log" 2>&1 || status=$?
    [ "$status" -ne 0 ] || export VESTALO_APT_UPDATED=1
  fi
  [ "$status" -ne 0 ] ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >>"$log" 2>&1 ||
    status=$?
  if [ "$status" -ne 0 ]; then
    echo "apt-get failed with exit code $status; the end of its output ($log):" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
  rm -f "$log"
}

# What the program itself needs, so that every build is the whole program: libarchive-dev
# reads ISO images (its static library with zlib's keeps start-up quick), libpng-dev and
# zlib1g-dev write the PNG snapshots and read the graphical menu's PNG backgrounds, with the
# VGA font of console-data at run time; libdeflate-dev packs the pictures for terminals with
# kitty graphics; libjpeg-dev (libjpeg-turbo) reads JPEG backgrounds, and libcrypt-dev checks
# the boot menu's hashed passwords.
PROGRAM_PACKAGES=(cmake make g++ pkg-config libarchive-dev zlib1g-dev libpng-dev libdeflate-dev libjpeg-dev console-data libcrypt-dev)
# The tests: GoogleTest, libvterm for the terminal tables, groff for the manual page, libsixel
# to decode the sixel pictures the program sends.
BUILD_PACKAGES=("${PROGRAM_PACKAGES[@]}" libgtest-dev libvterm-dev groff-base libsixel-dev)
# The tests build ISO images with xorriso, hybrid ones with isolinux's MBR.
TEST_PACKAGES=(xorriso isolinux)
# cpack -G DEB: dpkg-shlibdeps finds the dependencies, file tells it which files are programs.
PACKAGE_PACKAGES=(dpkg-dev file)

# build_vestalo DIR [CMAKE ARGS...] [--target NAME]: configures and builds into DIR.
build_vestalo() {
  local dir=$1
  shift
  local configure=() build=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --target ]; then build+=(--target "$2"); shift 2; else configure+=("$1"); shift; fi
  done
  cmake -S "$VESTALO_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >/dev/null
  cmake --build "$dir" -j "$(nproc)" "${build[@]}"
}

# check_whole_program PROGRAM: fails unless the build writes PNG pictures and reads ISO
# images, so that what `cmake --install` and `cpack` ship never depends on what happened to
# be installed when the build was configured.
check_whole_program() {
  local version
  version=$("$1" --version) || { echo "$1 --version failed" >&2; exit 1; }
  if ! grep -q '^PNG snapshots: font ' <<<"$version" || ! grep -q '^ISO images: read with ' <<<"$version"; then
    echo "This build of Vestalo lacks PNG pictures or ISO images; $1 --version says:" >&2
    echo "$version" >&2
    echo "Remove its build folder and run the command again." >&2
    exit 1
  fi
}
