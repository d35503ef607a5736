# The installed program: `cmake --install` into a fresh prefix puts a program there that
# runs and tells its version, and a manual page, compressed as Debian keeps it, that groff
# formats without one warning.
set(VESTALO_INSTALL_CHECK "
  prefix=\"${CMAKE_CURRENT_BINARY_DIR}/installed\"
  rm -rf \"$prefix\"
  cmake --install \"${PROJECT_BINARY_DIR}\" --prefix \"$prefix\" >/dev/null || exit 1
  version=$(\"$prefix/bin/vestalo\" --version | head -n 1)
  [ \"$version\" = 'vestalo ${PROJECT_VERSION}' ] || { echo \"--version said: $version\"; exit 1; }
  page=\"$prefix/share/man/man1/vestalo.1.gz\"
  [ -f \"$page\" ] || { echo \"no $page\"; exit 1; }
  warnings=$(gzip -dc \"$page\" | groff -ww -man -z 2>&1)
  [ -z \"$warnings\" ] || { echo \"groff: $warnings\"; exit 1; }
")
add_test(NAME installed_program COMMAND sh -c "${VESTALO_INSTALL_CHECK}")
