// The renderer's target in the running program: the console for colours and clearing,
// standard output for the text.
#pragma once

#include "UTypes/UTypes.h"

namespace vestalo {

class ScreenSink : public UTypes::DisplaySink {
 public:
  void ClearScreen() override;
  void SetTextForeground(uint16_t colour) override;
  void SetTextBackground(uint16_t colour) override;
  void Write(std::string_view bytes) override;
};

}  // namespace vestalo
