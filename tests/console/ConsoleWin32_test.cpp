// The Windows console layer when its standard handles are pipes rather than a console, as
// when a run is redirected: nothing blocks, nothing spins, the colours still add up.
#include <windows.h>

#include <gtest/gtest.h>

#include "console/Console.h"
#include "console/KeyEvent.h"

namespace console {
namespace {

// Puts pipes in place of standard input and output for one test.
class RedirectedConsole : public testing::Test {
 protected:
  void SetUp() override {
    SavedInput = GetStdHandle(STD_INPUT_HANDLE);
    SavedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    ASSERT_TRUE(CreatePipe(&InputRead, &InputWrite, nullptr, 0));
    ASSERT_TRUE(CreatePipe(&OutputRead, &OutputWrite, nullptr, 1 << 16));
    SetStdHandle(STD_INPUT_HANDLE, InputRead);
    SetStdHandle(STD_OUTPUT_HANDLE, OutputWrite);
    InitialiseConsole();
  }
  void TearDown() override {
    RestoreConsole();
    SetStdHandle(STD_INPUT_HANDLE, SavedInput);
    SetStdHandle(STD_OUTPUT_HANDLE, SavedOutput);
    for (HANDLE handle : {InputRead, InputWrite, OutputRead, OutputWrite}) CloseHandle(handle);
    InitialiseConsole();
  }
  HANDLE SavedInput{}, SavedOutput{};
  HANDLE InputRead{}, InputWrite{}, OutputRead{}, OutputWrite{};
};

TEST_F(RedirectedConsole, OutputIsNoConsoleAndTheAttributeStartsAtZero) {
  EXPECT_FALSE(OutputIsConsole());
  EXPECT_EQ(CurrentAttr(), 0);
}

TEST_F(RedirectedConsole, SettersKeepTheAttributeArithmetic) {
  SetTextBackground(1);
  SetTextForeground(14);
  EXPECT_EQ(CurrentAttr(), 0x1E);
  SetTextBackground(0x40);
  EXPECT_EQ(CurrentAttr(), 0x4E);
  ClearScreen();  // no console to clear: nothing happens, the attribute stays
  EXPECT_EQ(CurrentAttr(), 0x4E);
}

TEST_F(RedirectedConsole, KeyReadingEndsAtOnceWhenInputIsNoConsole) {
  // Bytes in a pipe are no key records: the reader must give up rather than wait or spin.
  DWORD written = 0;
  WriteFile(InputWrite, "1\r\n", 3, &written, nullptr);
  const DWORD start = GetTickCount();
  KeyEvent event;
  EXPECT_FALSE(ReadKeyEvent(event));
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(WaitingKeyInput(), 0);
}

TEST_F(RedirectedConsole, NothingIsWrittenToAPipeAsConsoleText) {
  // Text for the console goes out through the output stream's blocks when there is none.
  EXPECT_EQ(FlushConsole(), 0);
  DWORD waiting = 0;
  ASSERT_TRUE(PeekNamedPipe(OutputRead, nullptr, 0, nullptr, &waiting, nullptr));
  EXPECT_EQ(waiting, 0u);
}

}  // namespace
}  // namespace console
