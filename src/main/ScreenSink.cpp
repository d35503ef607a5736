#include "main/ScreenSink.h"

#include "base/OutputStream.h"
#include "console/Console.h"

namespace vestalo {

void ScreenSink::ClearScreen() { console::ClearScreen(); }

void ScreenSink::SetTextForeground(uint16_t colour) { console::SetTextForeground(colour); }

void ScreenSink::SetTextBackground(uint16_t colour) { console::SetTextBackground(colour); }

void ScreenSink::Write(std::string_view bytes) { WriteOutput(bytes); }

}  // namespace vestalo
