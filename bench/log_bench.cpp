// The calculator's log as it grows: 1,000,000 results appended to the real
// window's log (offscreen Qt) the way EXE appends them (the result's lines
// added at the end, the caret put after them and the end scrolled into
// view), with the window given its turn to paint every 100 results as the
// event loop would. Each BM_AppendResult row appends 200,000 results to a
// log that already holds the row's number of results: the time per append
// must not grow from row to row. rss_MB is the process's memory after the
// row. BM_ExeHugeResult evaluates a huge result through the engine and logs
// it, cut to 1,000,000 characters: /0 5,000,000 lines of text (30,000,000
// characters), /1 2,000,000 empty lines, /2 one line of 1,500,000 characters.
//
// usage: bench_log [--benchmark_filter=...]   (headless: offscreen Qt)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app_settings.h"
#include "frm_main.h"
#include "keypad.h"
#include "prompt_service.h"
#include "window_bench.h"
#include "zel_calculator.h"

namespace {

constexpr int kRowAppends = 200000;
constexpr int kPaintEvery = 100;

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

struct Calculator : BenchWindow {
  long long results = 0;

  // What EXE does with a result once the engine has given it.
  void AppendResult() {
    ++results;
    const QString n = QString::number(results);
    window->AppendLog(QStringLiteral("\r\n\u300E") + n + QStringLiteral("*1\u300F\r\n") + n);
    zel::FocusTextBox(window->txtOutputDisplay);
    if (results % kPaintEvery == 0) QApplication::processEvents();
  }
};

Calculator* gCalc = nullptr;

void BM_AppendResult(benchmark::State& state) {
  if (gCalc->results != state.range(0)) {
    state.SkipWithError("rows must run in order, each on the log the previous one left");
    return;
  }
  for (auto _ : state) gCalc->AppendResult();
  state.counters["rss_MB"] = ResidentMegabytes();
  state.counters["log_lines"] = double(gCalc->window->txtOutputDisplay->document()->lineCount());
}
BENCHMARK(BM_AppendResult)
    ->Arg(0)->Arg(200000)->Arg(400000)->Arg(600000)->Arg(800000)
    ->Iterations(kRowAppends)->Unit(benchmark::kMicrosecond);

// The result's expression and the end of the log it leaves.
struct HugeResult {
  const char* expression;
  const char* logEnd;
};
const HugeResult kHugeResults[] = {
    // 5,000,000 lines of "line" (30,000,000 characters): 166,667 lines logged.
    {"Replace(Space(5000000), \" \", \"line\" & vbCrLf)", "29,000,000 more characters left out"},
    // 2,000,000 empty lines: the most lines 1,000,000 characters can hold.
    {"Replace(Space(2000000), \" \", vbLf)", "1,000,000 more characters left out"},
    // One line of 1,500,000 characters: 1,000,000 of them on one line of the log.
    {"String(1500000, \"x\")", "500,000 more characters left out"},
};

void BM_ExeHugeResult(benchmark::State& state) {
  const HugeResult& r = kHugeResults[state.range(0)];
  zel::frmMain& w = *gCalc->window;
  for (auto _ : state) {
    w.txtUserInput->setEditText(QString::fromUtf8(r.expression));
    w.cmdUserNumKey[size_t(zel::kKeyExe)]->click();
    QApplication::processEvents();
  }
  if (!w.LogText().endsWith(QString::fromUtf8(r.logEnd)))
    state.SkipWithError("the result was not logged cut");
  state.counters["rss_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_ExeHugeResult)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gCalc); }
