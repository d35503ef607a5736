// Pictures handed to a terminal on the same computer through POSIX shared memory, as the
// kitty graphics protocol allows (t=s): the terminal maps the object, reads the raw pixels and
// removes it. Nothing is packed, nothing passes the pseudo-terminal but the object's name.
#pragma once

#include <string>
#include <string_view>

namespace console::posix {

// Puts `bytes` into a new shared memory object that only this user may read and returns its
// name ("/vestalo-..."), always of the same length; empty when no object can be made.
std::string ShareWithTerminal(std::string_view bytes);

// The same for the one pixel of the question whether the terminal reads shared memory; its
// name is kept apart, to be removed on any way out.
std::string ShareQuestionPixel();

// Removes the objects made lately that the terminal has not taken (it removes those it read):
// the question's, where it did not understand it, or pictures it had no time to read.
void RemoveShared();

// Removes the question's object, if it is left. Async-signal-safe.
void RemoveSharedQuestion();

}  // namespace console::posix
