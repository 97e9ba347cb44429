// EXE-to-result through the real calculator window: the input line holds an
// expression, EXE is clicked, and the click returns once the result is in
// the log. The engine runs on its worker thread, so every press includes
// the hand-off there and back. Each repetition is one press; the median of
// the repetitions is the figure to read (target: under 5 ms).
//
// usage: bench_exe [--benchmark_repetitions=N]   (headless: offscreen Qt)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "app_settings.h"
#include "frm_main.h"
#include "keypad.h"
#include "prompt_service.h"
#include "window_bench.h"
#include "zel_calculator.h"

namespace {

constexpr int kPresses = 1000;

constexpr const char* kLibrary =
    "Const PI = 3.14159265358979\r\n"
    "Function Area(d)\r\n"
    "  Area = PI * d ^ 2 / 4\r\n"
    "End Function\r\n"
    "Function Velocity(q, d)\r\n"
    "  Velocity = q / 3600 / Area(d)\r\n"
    "End Function\r\n";

struct Calculator : BenchWindow {
  Calculator() : BenchWindow(kLibrary) {}
  void Press(const QString& input) {
    window->txtUserInput->setEditText(input);
    window->cmdUserNumKey[size_t(zel::kKeyExe)]->click();
  }
};

Calculator* gCalc = nullptr;

void Run(benchmark::State& state, const QString& input, const QString& expected) {
  for (auto _ : state) gCalc->Press(input);
  // Not timed: the press really computed; the log does not grow without end
  // across repetitions.
  if (!gCalc->window->LogText().endsWith(QStringLiteral("\r\n") + expected))
    state.SkipWithError("wrong result in the log");
  gCalc->window->txtOutputDisplay->clear();
}

void BM_ExeSimpleExpression(benchmark::State& state) {
  Run(state, QStringLiteral("1+2*3"), QStringLiteral("7"));
}
void BM_ExeLibraryCall(benchmark::State& state) {
  Run(state, QStringLiteral("Velocity(36, 0.05)"), QStringLiteral("5.09295817894066"));
}

BENCHMARK(BM_ExeSimpleExpression)->Iterations(1)->Repetitions(kPresses)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExeLibraryCall)->Iterations(1)->Repetitions(kPresses)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gCalc); }
