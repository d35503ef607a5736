// The menu's passwords: in plain text, or as crypt() hashes ($1$ MD5, $5$ SHA-256, $6$
// SHA-512), checked with the system's libcrypt.
#pragma once

#include <string>

namespace menu {

enum class PasswordCheck {
  Right,
  Wrong,
  Unchecked,  // a hashed form that libcrypt cannot check here: taken as right
};

// Whether `typed` is the password that `expected` (a MENU PASSWD value) stands for.
PasswordCheck CheckPassword(const std::string& typed, const std::string& expected);

// A hashed form alone, as the platform can check it (POSIX: libcrypt's crypt_r).
PasswordCheck CheckHashedPassword(const std::string& typed, const std::string& hash);

}  // namespace menu
