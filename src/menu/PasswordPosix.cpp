#include <crypt.h>

#include <cstring>

#include "menu/Password.h"

namespace menu {

PasswordCheck CheckHashedPassword(const std::string& typed, const std::string& hash) {
  struct crypt_data data;
  std::memset(&data, 0, sizeof data);
  const char* result = crypt_r(typed.c_str(), hash.c_str(), &data);
  // libcrypt marks a hash it cannot compute with a leading "*" (or gives nothing).
  if (result == nullptr || result[0] == '*') return PasswordCheck::Unchecked;
  return hash == result ? PasswordCheck::Right : PasswordCheck::Wrong;
}

}  // namespace menu
