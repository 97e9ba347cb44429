#pragma once
// What the benchmarks of the program's windows share: an offscreen Qt
// application around the run, and one fixture (the windows and the library
// they work on) made before the first benchmark and reached through a
// global while they run.
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
#include "prompt_service.h"
#include "zel_calculator.h"

template <class Fixture>
int RunWindowBenchmarks(int argc, char** argv, Fixture*& global) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelCalc"));
  benchmark::Initialize(&argc, argv);
  Fixture fixture;
  global = &fixture;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  global = nullptr;
  return 0;
}

// The main window as start-up opens it, over a library folder of its own
// (with `library`, if given, as its one file), settings kept in memory and
// message boxes answered by a recorder so that none waits for a click.
struct BenchWindow {
  QTemporaryDir dir;
  zel::MemorySettingsStore store;
  zel::PromptRecorder prompts;
  zel::CalcSession session;
  std::unique_ptr<zel::frmMain> window;

  explicit BenchWindow(const char* library = nullptr) {
    zel::SetAppSettings(&store);
    zel::SetLibraryPath(session, dir.path());
    if (library) {
      QFile lib(QDir(dir.path()).filePath(QStringLiteral("VBS/bench.vbs")));
      if (!lib.open(QIODevice::WriteOnly)) std::abort();
      lib.write(library);
    }
    if (zel::LoadUserLibrary(session) != zel::LoadStatus::Loaded) std::abort();
    window = std::make_unique<zel::frmMain>(session);
    window->RestoreSettings();
    window->show();
    QApplication::processEvents();
  }
  ~BenchWindow() {
    window.reset();
    zel::ReleaseEngine(session);
    zel::SetAppSettings(nullptr);
  }
};
