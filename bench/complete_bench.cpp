// The input line's names over a library of 10,000 procedures in 50 files
// (200 each, every one with a two-line comment above its header), on the
// real calculator window (offscreen Qt):
// - BM_PrefixList: a key press that makes two letters typed, until the
//   list under the input line holds the names offered. Target: 5 ms.
// - BM_Hint: a key press inside a call's argument list, until the tip shows
//   that call with the current argument. Target: 2 ms.
// - BM_Reload: LoadUserLibrary, what Reload does to the engine.
// - BM_RebuildNames/0: the names rebuilt after a reload with no file
//   changed; /1 with one file changed (the usual reload after a save).
//   Target: under 10% of BM_Reload.
// - BM_ColdNames: reading every file's names with nothing kept from before
//   (the first time, at start-up).
//
// usage: bench_complete [--benchmark_repetitions=N]   (headless: offscreen Qt)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstdlib>

#include "calc_session.h"
#include "input_assist.h"
#include "library_listing.h"
#include "name_catalogue.h"
#include "window_bench.h"

namespace {

constexpr int kFiles = 50;
constexpr int kPerFile = 200;

const char* const kWords[] = {"Pipe", "Pump", "Flow", "Heat", "Tank", "Valve", "Duct", "Fan",
                              "Steam", "Water", "Air", "Gas", "Oil", "Shell", "Tube", "Coil",
                              "Reynolds", "Prandtl", "Nusselt", "Darcy", "Fouling", "Area", "Mass", "Power"};
const char* const kTails[] = {"Loss", "Head", "Rate", "Duty", "Size", "Speed", "Drop", "Factor"};

QByteArray FileText(int file, int variant) {
  QByteArray t = "' Library file " + QByteArray::number(file) + "\r\nConst LIB" + QByteArray::number(file) +
                 "_VERSION = " + QByteArray::number(variant) + "\r\n\r\n";
  for (int i = 0; i < kPerFile; ++i) {
    const int n = file * kPerFile + i;
    const QByteArray name = QByteArray(kWords[n % 24]) + kTails[(n / 24) % 8] + QByteArray::number(n);
    t += "' " + name + ": what it computes, in SI units [kg/s, Pa, W].\r\n"
         "' Arguments in the order the data sheet gives them.\r\n"
         "Function " + name + "(flowRate, innerDiameterMm, lengthM, density)\r\n"
         "  Dim v\r\n"
         "  v = flowRate / 3600 / (3.14159265358979 * innerDiameterMm ^ 2 / 4000000)\r\n"
         "  " + name + " = v * density * lengthM / innerDiameterMm\r\n"
         "End Function\r\n\r\n";
  }
  return t;
}

struct Fixture : BenchWindow {
  zel::InputAssist* assist = nullptr;
  Fixture() : BenchWindow(nullptr) {
    for (int f = 0; f < kFiles; ++f) Write(f, 0);
    if (zel::LoadUserLibrary(session) != zel::LoadStatus::Loaded) std::abort();
    assist = zel::InputAssist::Attach(*window);
    window->activateWindow();
    window->txtUserInput->setFocus();
    QApplication::processEvents();
  }
  void Write(int file, int variant) {
    QFile f(QDir(dir.path()).filePath(QStringLiteral("VBS/lib%1.vbs").arg(file, 2, 10, QLatin1Char('0'))));
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    f.write(FileText(file, variant));
  }
};

Fixture* gFixture = nullptr;

void BM_PrefixList(benchmark::State& state) {
  QLineEdit* edit = gFixture->window->txtUserInput->lineEdit();
  int rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    edit->clear();
    QTest::keyClick(edit, 'P');
    state.ResumeTiming();
    QTest::keyClick(edit, 'u');  // "Pu": PumpHead..., then "...pu..." within
    rows = gFixture->assist->List()->count();
  }
  if (!gFixture->assist->ListOpen() || rows == 0) state.SkipWithError("no list");
  state.counters["rows"] = rows;
}
BENCHMARK(BM_PrefixList)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_Hint(benchmark::State& state) {
  QLineEdit* edit = gFixture->window->txtUserInput->lineEdit();
  bool bold = false;
  for (auto _ : state) {
    state.PauseTiming();
    edit->setText(QStringLiteral("2 * PipeLoss0(10, PumpHead25(1, 2) + 1"));
    state.ResumeTiming();
    QTest::keyClick(edit, ',');
    bold = gFixture->assist->Hint()->text().contains(QStringLiteral("<b>lengthM</b>"));
  }
  if (!bold || !gFixture->assist->HintShown()) state.SkipWithError("no hint");
}
BENCHMARK(BM_Hint)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_Reload(benchmark::State& state) {
  for (auto _ : state)
    if (zel::LoadUserLibrary(gFixture->session) != zel::LoadStatus::Loaded) state.SkipWithError("load");
}
BENCHMARK(BM_Reload)->Iterations(3)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_RebuildNames(benchmark::State& state) {
  int variant = 0;
  for (auto _ : state) {
    if (state.range(0) == 1) {
      state.PauseTiming();
      gFixture->Write(7, ++variant);
      state.ResumeTiming();
    }
    gFixture->assist->LibraryLoaded();
  }
  if (gFixture->assist->Catalogue().Size() < size_t(kFiles * kPerFile)) state.SkipWithError("names missing");
}
BENCHMARK(BM_RebuildNames)->Arg(0)->Arg(1)->Iterations(3)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_ColdNames(benchmark::State& state) {
  size_t names = 0;
  for (auto _ : state) {
    zel::DeclarationCache fresh;
    const std::vector<zel::SharedDeclarations> files = fresh.Declare(zel::ListLibraryFolder(gFixture->session.gLibraryPath),
                                     [](const zel::LibraryFile& f) { return zel::ReadLibraryFile(f.path); });
    zel::NameCatalogue c;
    c.SetLibrary(files);
    names = c.Size();
  }
  if (names < size_t(kFiles * kPerFile)) state.SkipWithError("names missing");
}
BENCHMARK(BM_ColdNames)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gFixture); }
