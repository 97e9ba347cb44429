// The kept log and the library that reloads itself when saved.
// BM_Start/0 opens the calculator window as start-up does with nothing
// kept, /1 with a kept log of 10,000 lines and 1,000 inputs: the two must
// stay within 50 ms of each other. BM_AppendLine keeps one result (its two
// lines appended to the file and flushed to the disk): under 1 ms.
// BM_ReloadAfterSave rewrites one file of a 1 MB library of 20 files and
// runs the reload that the watch starts once the files have been quiet for
// 300 ms: within 300 ms.
//
// usage: bench_livelog [--benchmark_filter=...]   (headless: offscreen Qt)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "app_settings.h"
#include "calc_session.h"
#include "frm_main.h"
#include "kept_log.h"
#include "log_keeper.h"
#include "prompt_service.h"
#include "reload_on_save.h"
#include "window_bench.h"
#include "zel_calculator.h"

namespace {

constexpr int kLibraryFiles = 20;

// One library file of about 50 KB: 500 small functions.
QByteArray LibraryFile(int file, int version) {
  QByteArray text;
  for (int i = 0; i < 500; ++i)
    text += QStringLiteral("Function F%1_%2(x)\r\n  Dim a\r\n  a = x * %3 + %4\r\n"
                           "  If a > 10 Then a = a - 1 Else a = a + 1\r\n  F%1_%2 = a\r\nEnd Function\r\n")
                .arg(file).arg(i).arg(i + version).arg(file)
                .toUtf8();
  return text;
}

struct Fixture {
  QTemporaryDir lib, empty, kept;
  zel::MemorySettingsStore store;
  zel::PromptRecorder prompts;
  zel::CalcSession session;
  std::unique_ptr<zel::frmMain> window;
  int version = 0;

  Fixture() {
    zel::SetAppSettings(&store);
    zel::SetLibraryPath(session, lib.path());
    for (int f = 0; f < kLibraryFiles; ++f) Write(f);
    if (zel::LoadUserLibrary(session) != zel::LoadStatus::Loaded) std::abort();
    // A kept log at its cap, as a long use leaves it.
    std::vector<std::u16string> lines, inputs;
    for (size_t i = 0; i < zel::kKeptLogLineCap / 2; ++i) {
      const std::u16string n = zel::ToU16(QString::number(i * 7));
      lines.push_back(u"『" + n + u"*3+1』");
      lines.push_back(zel::ToU16(QString::number(i * 21 + 1)));
    }
    for (size_t i = 0; i < zel::kKeptHistoryCap; ++i) inputs.push_back(zel::ToU16(QString::number(i) + "*3+1"));
    Put(QDir(kept.path()).filePath("KeptLog.txt"), zel::EncodeKeptLines(lines));
    Put(QDir(kept.path()).filePath("InputHistory.txt"), zel::EncodeKeptLines(inputs));
    window = Open(empty.path());
  }
  ~Fixture() {
    window.reset();
    zel::ReleaseEngine(session);
    zel::SetAppSettings(nullptr);
  }
  static void Put(const QString& path, const std::string& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    f.write(bytes.data(), qint64(bytes.size()));
  }
  void Write(int file) {
    QFile f(QDir(session.gLibraryPath).filePath(QStringLiteral("lib%1.vbs").arg(file, 2, 10, QLatin1Char('0'))));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(LibraryFile(file, version));
  }
  // The window as start-up opens it, with what `folder` keeps.
  std::unique_ptr<zel::frmMain> Open(const QString& folder) {
    auto w = std::make_unique<zel::frmMain>(session);
    w->RestoreSettings();
    w->StartKeptLog(folder);
    w->show();
    QApplication::processEvents();
    return w;
  }
};

Fixture* gFixture = nullptr;

void BM_Start(benchmark::State& state) {
  const QString folder = state.range(0) ? gFixture->kept.path() : gFixture->empty.path();
  for (auto _ : state) {
    auto w = gFixture->Open(folder);
    state.PauseTiming();
    // Nothing logged: the kept files stay as they are for the next round.
    w->KeptLog()->Stop();
    w.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Start)->Arg(0)->Arg(1)->Iterations(20)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_AppendLine(benchmark::State& state) {
  zel::LogKeeper& keeper = *gFixture->window->KeptLog();
  int n = 0;
  for (auto _ : state) {
    ++n;
    keeper.Logged(QStringLiteral("\r\n\u300E%1*2\u300F\r\n%2").arg(n).arg(n * 2));
  }
}
BENCHMARK(BM_AppendLine)->Iterations(1000)->Repetitions(5)->Unit(benchmark::kMicrosecond);

void BM_ReloadAfterSave(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    ++gFixture->version;
    gFixture->Write(7);
    state.ResumeTiming();
    zel::ReloadSavedLibrary(*gFixture->window);
  }
}
BENCHMARK(BM_ReloadAfterSave)->Iterations(5)->Repetitions(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gFixture); }
