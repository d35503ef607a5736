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
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]} ..." >&2
  if [ -z "${VESTALO_APT_UPDATED:-}" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get update -qq >&2
    export VESTALO_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# What the program itself needs (libarchive-dev reads ISO images; its static library with
# zlib's keeps start-up quick; libcrypt-dev checks the boot menu's hashed passwords); the
# tests need more.
PROGRAM_PACKAGES=(cmake make g++ pkg-config libarchive-dev zlib1g-dev libcrypt-dev)
# libpng-dev and zlib1g-dev draw the PNG snapshots, with the VGA font of console-data, and
# the pictures for kitty's terminals; the tests decode the sixel pictures with libsixel.
BUILD_PACKAGES=("${PROGRAM_PACKAGES[@]}" libgtest-dev libvterm-dev groff-base libpng-dev zlib1g-dev console-data libsixel-dev)
# The tests build ISO images with xorriso, hybrid ones with isolinux's MBR.
TEST_PACKAGES=(xorriso isolinux)

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
