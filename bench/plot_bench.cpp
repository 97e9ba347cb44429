// The plot window's speed, headless (offscreen Qt), over the example
// library: sampling 10,000 x of one of its functions through the window
// (the engine's worker thread included; target under 100 ms), drawing a
// trace of 10,000 samples (target under 16 ms), and one frame of panning
// with 8 traces of 10,000 samples each (pan, then draw; 60 frames a second
// need under 16.7 ms).
//
// usage: bench_plot [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "frm_plot.h"
#include "window_bench.h"

namespace {

QByteArray ExampleLibrary() {
  QByteArray text;
  for (const char* name : {"Fluids.vbs", "Heat.vbs"}) {
    QFile f(QDir(QStringLiteral(ZEL_EXAMPLES_DIR)).filePath(QString::fromLatin1(name)));
    if (!f.open(QIODevice::ReadOnly)) std::abort();
    text += f.readAll() + "\r\n";
  }
  return text;
}

struct PlotBench {
  QByteArray library = ExampleLibrary();
  BenchWindow main{library.constData()};
  zel::frmPlot* plot = nullptr;

  PlotBench() {
    zel::AttachPlot(*main.window);
    main.window->mnuPlot->trigger();
    plot = zel::frmPlot::Instance();
    if (!plot) std::abort();
    plot->resize(1000, 600);
    QApplication::processEvents();
  }
  void Show(int traces, int samples) {
    for (int i = 0; i < zel::plot::kMaxTraces; ++i)
      plot->txtTrace[size_t(i)]->setText(i < traces ? QStringLiteral("DarcyFriction(x * %1, 0.05, 50)").arg(i + 1)
                                                   : QString());
    plot->txtXFrom->setText(QStringLiteral("100"));
    plot->txtXTo->setText(QStringLiteral("100000"));
    plot->chkLogX->setChecked(true);
    plot->txtSamples->setValue(samples);
    plot->cmdPlot_Click();
  }
};

PlotBench* gBench = nullptr;

// Laminar and turbulent branches both: x from 100 to 100,000 on a log axis.
void BM_Sample10000OfALibraryFunction(benchmark::State& state) {
  gBench->Show(0, 10000);
  gBench->plot->txtTrace[0]->setText(QStringLiteral("DarcyFriction(x, 0.05, 50)"));
  for (auto _ : state) gBench->plot->cmdPlot_Click();
  if (gBench->plot->Samples(0).y.size() != 10000 || gBench->plot->Samples(0).gaps != 0)
    state.SkipWithError("not sampled");
}
BENCHMARK(BM_Sample10000OfALibraryFunction)->Unit(benchmark::kMillisecond)->Iterations(10);

void Draw(benchmark::State& state, int traces) {
  gBench->Show(traces, 10000);
  zel::plot::PlotCanvas* c = gBench->plot->picPlot;
  QImage image(c->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter p(&image);
    c->Render(p, c->rect(), true);
  }
}

void BM_DrawOneTraceOf10000(benchmark::State& state) { Draw(state, 1); }
BENCHMARK(BM_DrawOneTraceOf10000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A frame of a drag: the view moves by a pixel's worth and everything is
// drawn again (the resampling waits for the mouse to rest), in the quality
// the canvas draws while the view moves (argument 0) and at rest (1).
void BM_PanFrameEightTracesOf10000(benchmark::State& state) {
  const auto quality = state.range(0) == 0 ? zel::plot::PlotCanvas::Quality::Moving
                                           : zel::plot::PlotCanvas::Quality::Full;
  gBench->Show(8, 10000);
  zel::plot::PlotCanvas* c = gBench->plot->picPlot;
  QImage image(c->size(), QImage::Format_ARGB32_Premultiplied);
  zel::plot::PlotView view = c->View();
  double shift = 0.002;
  for (auto _ : state) {
    view.x = zel::plot::Pan(view.x, shift);
    shift = -shift;
    c->SetView(view);
    QPainter p(&image);
    c->Render(p, c->rect(), true, quality);
  }
}
BENCHMARK(BM_PanFrameEightTracesOf10000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv, gBench); }
