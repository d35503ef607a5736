// The renderer's throughput in screen-file bytes per second: into a sink that keeps
// nothing, and through the terminal byte translation the POSIX console sends.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#include "ScreenFiles.h"
#include "TableRow.h"
#include "UTypes/UTypes.h"
#include "console/TerminalWriter.h"
#include "screen/Attribute.h"

namespace {

using vestalo::bench::DenseScreen;
using vestalo::bench::SplashScreen;

// Draws nowhere; only counts, so the renderer's own cost is what is measured.
class NullSink : public UTypes::DisplaySink {
 public:
  void ClearScreen() override { ++Calls; }
  void SetTextForeground(uint16_t colour) override { Calls += colour; }
  void SetTextBackground(uint16_t colour) override { Calls += colour; }
  void Write(std::string_view bytes) override { Calls += bytes.size(); }
  size_t Calls = 0;
};

// What the POSIX console does with the renderer's calls on a terminal of 80x25 or more,
// without the terminal: the 80x25 frame layout and the translation into escape sequences
// and UTF-8, sent (here: dropped) every 64 KiB.
class TerminalSink : public UTypes::DisplaySink {
 public:
  TerminalSink() : Writer("UTF-8") {}
  void ClearScreen() override { Writer.Clear(Attr, true); }
  void SetTextForeground(uint16_t colour) override { Attr = screen::WithForeground(Attr, colour); }
  void SetTextBackground(uint16_t colour) override { Attr = screen::WithBackground(Attr, colour); }
  void Write(std::string_view bytes) override {
    Writer.Text(bytes, Attr);
    if (Writer.Pending().size() >= 64 * 1024) Send();
  }
  void Send() {
    Sent += Writer.Pending().size();
    Writer.Pending().clear();
  }
  console::TerminalWriter Writer;
  uint16_t Attr = screen::StartAttr;
  size_t Sent = 0;
};

const std::string& Splash() {
  static const std::string text = SplashScreen();
  return text;
}

const std::string& Dense() {
  static const std::string text = DenseScreen(64 * 1024);
  return text;
}

template <const std::string& (*Screen)()>
void RenderNull(benchmark::State& state) {
  const std::string& text = Screen();
  NullSink sink;
  for (auto _ : state) {
    UTypes::RenderDisplayText(text, sink);
    benchmark::DoNotOptimize(sink.Calls);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

template <const std::string& (*Screen)()>
void RenderTerminal(benchmark::State& state) {
  const std::string& text = Screen();
  TerminalSink sink;
  for (auto _ : state) {
    UTypes::RenderDisplayText(text, sink);
    sink.Send();
    benchmark::DoNotOptimize(sink.Sent);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK(RenderNull<Splash>)->Name("RenderNull/Splash2K");
BENCHMARK(RenderNull<Dense>)->Name("RenderNull/Dense64K");
BENCHMARK(RenderTerminal<Splash>)->Name("RenderTerminal/Splash2K");
BENCHMARK(RenderTerminal<Dense>)->Name("RenderTerminal/Dense64K");

// Keeps the console report and remembers each benchmark's bytes per second for the table.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  TableReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto found = run.counters.find("bytes_per_second");
      if (found != run.counters.end()) Rates[run.benchmark_name()] = found->second.value;
    }
  }
  std::map<std::string, double> Rates;
};

std::string MegabytesPerSecond(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f MB/s", rate / 1e6);
  return text;
}

void PrintTable(const std::map<std::string, double>& rates) {
  using vestalo::bench::PrintRow;
  const struct {
    const char* Figure;
    const char* Screen;
  } Rows[] = {{"render 2 KB splash", "Splash2K"}, {"render 64 KiB dense screen", "Dense64K"}};
  for (const auto& row : Rows) {
    const auto null = rates.find(std::string("RenderNull/") + row.Screen);
    const auto terminal = rates.find(std::string("RenderTerminal/") + row.Screen);
    if (null == rates.end() || terminal == rates.end()) continue;  // left out by --benchmark_filter
    PrintRow(std::string(row.Figure) + ", null sink", MegabytesPerSecond(null->second), "", "");
    PrintRow(std::string(row.Figure) + ", terminal bytes", MegabytesPerSecond(terminal->second),
             MegabytesPerSecond(null->second) + " (null sink)",
             vestalo::bench::Ratio(null->second / terminal->second));
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TableReporter reporter;
  // The console report goes to standard error; standard output carries the table rows.
  reporter.SetOutputStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintTable(reporter.Rates);
  return 0;
}
