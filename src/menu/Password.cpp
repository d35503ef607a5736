#include "menu/Password.h"

namespace menu {

PasswordCheck CheckPassword(const std::string& typed, const std::string& expected) {
  // The loader takes a value for a hash when it starts with $N$; anything else is the
  // password itself.
  const bool hashed = expected.size() > 3 && expected[0] == '$' && expected[2] == '$';
  if (!hashed) return typed == expected ? PasswordCheck::Right : PasswordCheck::Wrong;
  return CheckHashedPassword(typed, expected);
}

}  // namespace menu
