// FIFOs and devices named by a boot medium's configuration. Opening a FIFO waits for a
// writer and a terminal device never ends; with the kitty keyboard protocol on, Ctrl+C is
// a key the program reads only between screens, so the menu would hang where the user
// cannot leave. The probe takes only files (and folders) as entries, as on the medium.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "hardening/Redirect.h"
#include "support/PtyHarness.h"

namespace vestalo::testing {
namespace {

struct Medium {
  TempFolder Folder;
  Medium() {
    Folder.Write("isolinux.cfg", "display splash.txt\nF1 keys\nF2 /dev/tty\nF3 /dev/zero\n");
    Folder.Write("splash.txt", "Splash screen");
    mkfifo((Folder.Path() + "/keys").c_str(), 0600);
  }
};

// A key pressed and released under the kitty keyboard protocol.
std::string Tap(char key) {
  const std::string code = std::to_string(static_cast<int>(key));
  return CSI + code + "u" CSI + code + ";1:3u";
}

TEST(SpecialFiles, AFifoOrDeviceInTheMenuIsNotFoundAndTheMenuGoesOn) {
  Medium medium;
  PtyOptions options;
  options.Directory = medium.Folder.Path();
  options.AnswerKittyQuery = true;
  PtyProgram program(options);
  ASSERT_TRUE(program.WaitForText("Splash screen"));
  ASSERT_TRUE(program.WaitUntil([&] { return program.Output().find(CSI ">15u") != std::string::npos; }));
  ASSERT_TRUE(program.WaitForIdle());
  for (const auto& [key, name] : {std::pair{'1', "keys"}, std::pair{'2', "/dev/tty"}, std::pair{'3', "/dev/zero"}}) {
    program.Send(Tap(key));
    EXPECT_TRUE(program.WaitForText("File " + std::string(name) + " not found")) << program.ScreenText();
    ASSERT_TRUE(program.WaitForIdle());
  }
  program.Send(Tap('x'));
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0);
}

// With no probe, the argument may still be a pipe: `vestalo <(command)` draws what comes.
TEST(SpecialFiles, APipeGivenAsTheArgumentIsDrawn) {
  Medium medium;
  const std::string fifo = medium.Folder.Path() + "/keys";
  const Outcome outcome = RunArranged({"keys"}, medium.Folder.Path(), {}, 15000, [&](pid_t) {
    const int writer = OpenFifoForWriting(fifo);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(write(writer, "\x0f" "1ePiped", 8), 8);
    close(writer);
  });
  ASSERT_FALSE(outcome.Hung);
  EXPECT_EQ(outcome.ExitCode, 0);
  EXPECT_EQ(outcome.Out, "Piped");
}

}  // namespace
}  // namespace vestalo::testing
