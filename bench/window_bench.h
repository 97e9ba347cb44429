#pragma once
// What the benchmarks of the program's windows share: an offscreen Qt
// application around the run, and one fixture (the windows and the library
// they work on) made before the first benchmark and reached through a
// global while they run.
#include <benchmark/benchmark.h>

#include <QApplication>

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
