// The function browser over a library of 5,000 files (each a few
// functions and comments, about 1 KB): BM_ListLibrary reads and compiles
// every file (what the browser learns, no window), BM_OpenBrowser opens the
// real browser window (offscreen Qt) over it until it is shown and
// painted, and closes it again. Target for opening: well under a second,
// so that no busy state is needed.
//
// usage: bench_tree [--benchmark_repetitions=N]   (headless: offscreen Qt)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdlib>
#include <memory>

#include "app_settings.h"
#include "calc_session.h"
#include "frm_main.h"
#include "frm_tree.h"
#include "library_listing.h"
#include "library_tree.h"
#include "prompt_service.h"
#include "window_bench.h"
#include "zel_calculator.h"

namespace {

constexpr int kFiles = 5000;

struct Library {
  QTemporaryDir dir;
  zel::MemorySettingsStore store;
  zel::PromptRecorder prompts;
  zel::CalcSession session;
  std::unique_ptr<zel::frmMain> window;

  Library() {
    zel::SetAppSettings(&store);
    zel::SetLibraryPath(session, dir.path());
    for (int i = 0; i < kFiles; ++i) {
      QFile f(QDir(dir.path()).filePath(QStringLiteral("VBS/lib%1.vbs").arg(i, 4, 10, QLatin1Char('0'))));
      if (!f.open(QIODevice::WriteOnly)) std::abort();
      const QByteArray n = QByteArray::number(i);
      f.write("' Pipe and tank helpers, set " + n + "\r\n"
              "Const K" + n + " = 1.5\r\n"
              "Function Area" + n + "(d)  ' cross-section\r\n"
              "  Area" + n + " = 3.14159265358979 * d ^ 2 / 4\r\n"
              "End Function\r\n"
              "Function Velocity" + n + "(q, d)\r\n"
              "  If d <= 0 Then Exit Function\r\n"
              "  Velocity" + n + " = q / 3600 / Area" + n + "(d)\r\n"
              "End Function\r\n"
              "Function Reynolds" + n + "(v, d, nu)\r\n"
              "  Reynolds" + n + " = v * d / nu\r\n"
              "End Function\r\n"
              "Sub Report" + n + "(x, y)\r\n"
              "  MsgBox x & \" \" & y\r\n"
              "End Sub\r\n"
              "Function Version" + n + "()\r\n"
              "  Version" + n + " = \"1." + n + "\"\r\n"
              "End Function\r\n");
    }
    window = std::make_unique<zel::frmMain>(session);
    window->show();
    QApplication::processEvents();
  }
  ~Library() {
    window.reset();
    zel::SetAppSettings(nullptr);
  }
};

Library* gLibrary = nullptr;

void BM_ListLibrary(benchmark::State& state) {
  size_t procedures = 0;
  for (auto _ : state) {
    procedures = 0;
    for (const zel::FileNode& f : zel::DescribeLibrary(zel::ListLibraryFolder(gLibrary->session.gLibraryPath)))
      procedures += f.procedures.size();
  }
  if (procedures != size_t(kFiles) * 5) state.SkipWithError("procedures missing");
}
BENCHMARK(BM_ListLibrary)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_OpenBrowser(benchmark::State& state) {
  int files = 0;
  for (auto _ : state) {
    zel::frmTree* tree = zel::frmTree::Open(*gLibrary->window);
    QApplication::processEvents();
    files = tree->tvwVBSFiles->topLevelItem(0)->childCount();
    state.PauseTiming();
    tree->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  if (files != kFiles) state.SkipWithError("files missing from the tree");
}
BENCHMARK(BM_OpenBrowser)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gLibrary); }
