#pragma once
// frmPlot: the plot window. Up to eight traces, each an expression in x
// with its colour and on/off, over a range of x with a number of samples
// and a linear or logarithmic scale per axis. Samples come from the
// program's engine on its script thread, like every evaluation (Stop and
// Esc end a long sampling); zooming and panning resample the range in view.
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "plot_canvas.h"
#include "plot_sampling.h"
#include "plot_setup.h"
#include "tool_window.h"
#include "zel_plot_object.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace zel {

class CommonDialog;
class frmMain;

class frmPlot : public ToolWindow, public plot::PlotTarget {
  Q_OBJECT

 public:
  // The menu command: opens the window, or brings the open one forward.
  static frmPlot* Open(frmMain& main);
  // The window while it is open, else nullptr.
  static frmPlot* Instance();

  explicit frmPlot(frmMain& main);
  ~frmPlot() override;

  // Controls, a row per trace.
  std::array<QCheckBox*, plot::kMaxTraces> chkTrace{};
  std::array<QPushButton*, plot::kMaxTraces> cmdColor{};
  std::array<QLineEdit*, plot::kMaxTraces> txtTrace{};
  QLineEdit* txtXFrom = nullptr;
  QLineEdit* txtXTo = nullptr;
  QSpinBox* txtSamples = nullptr;
  QCheckBox* chkLogX = nullptr;
  QCheckBox* chkLogY = nullptr;
  QPushButton* cmdPlot = nullptr;
  QPushButton* cmdFit = nullptr;
  QPushButton* cmdCopyImage = nullptr;
  QPushButton* cmdSave = nullptr;
  QPushButton* cmdCopyValues = nullptr;
  QPushButton* cmdClear = nullptr;
  plot::PlotCanvas* picPlot = nullptr;
  QLabel* lblStatus = nullptr;

  // Samples every trace over the range of the fields and fits the view.
  void cmdPlot_Click();
  // The view back to the range of the fields, the y axis to the data.
  void cmdFit_Click();
  void cmdCopyImage_Click();
  void cmdSave_Click();
  void cmdCopyValues_Click();
  void cmdClear_Click();
  void cmdColor_Click(int index);

  // Writes the plot as PNG, or SVG when the name ends in ".svg"; false
  // (the user is told) when the file cannot be written.
  bool SaveImage(const QString& file);
  // The samples as tab-separated text (see ValuesText).
  QString ValuesText() const;

  // zelPlot's calls.
  int AddTrace(const std::u16string& expression, double from, double to) override;
  void ClearTraces() override;

  // The setup as the controls hold it.
  plot::PlotSetup Setup() const;
  void ShowSetup(const plot::PlotSetup& setup);
  // The x of the last sampling, and a trace's samples.
  const std::vector<double>& SampledX() const { return xs_; }
  const plot::TraceSamples& Samples(int index) const { return samples_[size_t(index)]; }
  bool SamplingPending() const { return pending_; }

  // Saves the traces, the ranges and the geometry (section "frmPlot").
  void Form_Unload();

 protected:
  void ApplyLayout() override {}
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  // Samples the traces through the engine over the view's x range (or,
  // with `fit`, the fields' range, then fits the view). While another
  // script runs it waits for that script's end.
  void Sample(bool fit);
  void ShowSamples();
  void ShowStatus();
  void ShowColor(int index);
  void OnViewChanged();

  std::vector<double> xs_;
  std::array<plot::TraceSamples, plot::kMaxTraces> samples_;
  std::array<uint32_t, plot::kMaxTraces> colors_{};
  QString problem_;          // a range that cannot be sampled, said under the plot
  bool sampling_ = false;    // this window's sampling is on the engine
  bool pending_ = false;     // a sampling waits for another script to end
  bool pendingFit_ = false;
  bool unloaded_ = false;
  QTimer* resample_ = nullptr;
  std::unique_ptr<CommonDialog> cmnDialog;
  frmMain& main_;
};

// Attaches the window to the main window's "Plot" entry.
void AttachPlot(frmMain& main);

// A zelPlot object for a new engine (the session's gCreatePlotObject): it
// opens the window over the main window `main` gives at the time of the
// call. While there is none, Add raises 5 as when no trace is free.
vbs::Ref<vbs::HostObject> CreatePlotObject(std::function<frmMain*()> main);

}  // namespace zel
