#include "frm_plot.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "app_settings.h"
#include "busy_state.h"
#include "calc_session.h"
#include "common_dialog.h"
#include "frm_main.h"
#include "library_folder.h"
#include "messages.h"
#include "numtext.h"
#include "prompt_service.h"
#include "script_runner.h"
#include "zel_calculator.h"

namespace zel {

namespace {

using namespace plot;

QPointer<frmPlot> gPlotWindow;

// After the mouse has rested this long, the range in view is sampled anew.
constexpr int kResampleDelayMs = 120;

QString NumberText(double v) { return QString::fromStdString(FormatGeneralNumber(v)); }

std::optional<double> ReadField(const QLineEdit* box) {
  bool ok = false;
  const double v = QLocale::c().toDouble(box->text().trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

QColor ToColor(uint32_t rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }

}  // namespace

frmPlot* frmPlot::Open(frmMain& main) {
  return OpenOnce(gPlotWindow, [&main] { return new frmPlot(main); });
}

frmPlot* frmPlot::Instance() { return gPlotWindow && !gPlotWindow->Closed() ? gPlotWindow.data() : nullptr; }

frmPlot::frmPlot(frmMain& main)
    : ToolWindow(&main, {kPlotSection, "105", "105", "7800", "13500"}), main_(main) {
  setObjectName(QStringLiteral("frmPlot"));
  setWindowTitle(QStringLiteral("Plot"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint);
  cmnDialog = std::make_unique<CommonDialog>(this);
  BuildControls();
  ShowSetup(ReadPlotSetup(AppSettings()));
  resample_ = new QTimer(this);
  resample_->setSingleShot(true);
  resample_->setInterval(kResampleDelayMs);
  connect(resample_, &QTimer::timeout, this, [this] { Sample(false); });
  RestoreGeometry();
  // What the last run plotted is plotted again.
  QTimer::singleShot(0, this, [this] { Sample(true); });
}

frmPlot::~frmPlot() = default;

void frmPlot::BuildControls() {
  auto* traces = new QGroupBox(QStringLiteral("Traces (expressions in x)"), this);
  auto* grid = new QGridLayout(traces);
  grid->setColumnStretch(2, 1);
  for (int i = 0; i < kMaxTraces; ++i) {
    auto* on = new QCheckBox(QString::number(i + 1), traces);
    on->setObjectName(QStringLiteral("chkTrace%1").arg(i + 1));
    on->setChecked(true);
    auto* color = new QPushButton(traces);
    color->setObjectName(QStringLiteral("cmdColor%1").arg(i + 1));
    color->setFixedSize(22, 18);
    color->setAutoDefault(false);
    color->setToolTip(QStringLiteral("Colour of trace %1").arg(i + 1));
    auto* text = new QLineEdit(traces);
    text->setObjectName(QStringLiteral("txtTrace%1").arg(i + 1));
    text->setMinimumWidth(150);
    grid->addWidget(on, i, 0);
    grid->addWidget(color, i, 1);
    grid->addWidget(text, i, 2);
    chkTrace[size_t(i)] = on;
    cmdColor[size_t(i)] = color;
    txtTrace[size_t(i)] = text;
    connect(on, &QCheckBox::toggled, this, [this] { ShowSamples(); });
    connect(color, &QPushButton::clicked, this, [this, i] { cmdColor_Click(i); });
    connect(text, &QLineEdit::returnPressed, this, [this] { cmdPlot_Click(); });
  }

  auto* range = new QGroupBox(QStringLiteral("Range"), this);
  auto* rg = new QGridLayout(range);
  txtXFrom = new QLineEdit(range);
  txtXFrom->setObjectName(QStringLiteral("txtXFrom"));
  txtXTo = new QLineEdit(range);
  txtXTo->setObjectName(QStringLiteral("txtXTo"));
  txtSamples = new QSpinBox(range);
  txtSamples->setObjectName(QStringLiteral("txtSamples"));
  txtSamples->setRange(kMinSamples, kMaxSamples);
  txtSamples->setValue(kDefaultSamples);
  txtSamples->setGroupSeparatorShown(false);
  // Enter plots from here too, as from the other fields.
  txtSamples->installEventFilter(this);
  chkLogX = new QCheckBox(QStringLiteral("Log x"), range);
  chkLogX->setObjectName(QStringLiteral("chkLogX"));
  chkLogY = new QCheckBox(QStringLiteral("Log y"), range);
  chkLogY->setObjectName(QStringLiteral("chkLogY"));
  rg->addWidget(new QLabel(QStringLiteral("x from"), range), 0, 0);
  rg->addWidget(txtXFrom, 0, 1);
  rg->addWidget(new QLabel(QStringLiteral("to"), range), 0, 2);
  rg->addWidget(txtXTo, 0, 3);
  rg->addWidget(new QLabel(QStringLiteral("Samples"), range), 1, 0);
  rg->addWidget(txtSamples, 1, 1);
  rg->addWidget(chkLogX, 1, 2);
  rg->addWidget(chkLogY, 1, 3);
  for (QLineEdit* box : {txtXFrom, txtXTo})
    connect(box, &QLineEdit::returnPressed, this, [this] { cmdPlot_Click(); });
  connect(chkLogX, &QCheckBox::toggled, this, [this] { cmdPlot_Click(); });
  connect(chkLogY, &QCheckBox::toggled, this, [this] { cmdFit_Click(); });

  auto button = [this](const char* name, const char* caption, const char* tip) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromUtf8(tip));
    b->setAutoDefault(false);
    return b;
  };
  cmdPlot = button("cmdPlot", "Plot", "Sample every trace over the range (Enter)");
  cmdFit = button("cmdFit", "Fit All", "Show the whole range and every value (Home, double-click)");
  cmdCopyImage = button("cmdCopyImage", "Copy Image", "Copy the plot to the clipboard as a picture");
  cmdSave = button("cmdSave", "Save...", "Save the plot as a PNG or SVG file");
  cmdCopyValues = button("cmdCopyValues", "Copy Values",
                         "Copy the samples as tab-separated text (x, then each trace)");
  cmdClear = button("cmdClear", "Clear", "Remove every trace");
  connect(cmdPlot, &QPushButton::clicked, this, [this] { cmdPlot_Click(); });
  connect(cmdFit, &QPushButton::clicked, this, [this] { cmdFit_Click(); });
  connect(cmdCopyImage, &QPushButton::clicked, this, [this] { cmdCopyImage_Click(); });
  connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
  connect(cmdCopyValues, &QPushButton::clicked, this, [this] { cmdCopyValues_Click(); });
  connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
  auto* buttons = new QGridLayout;
  buttons->addWidget(cmdPlot, 0, 0);
  buttons->addWidget(cmdFit, 0, 1);
  buttons->addWidget(cmdCopyImage, 1, 0);
  buttons->addWidget(cmdCopyValues, 1, 1);
  buttons->addWidget(cmdSave, 2, 0);
  buttons->addWidget(cmdClear, 2, 1);

  // The controls keep to a column of their own; the plot takes the rest.
  auto* panel = new QWidget(this);
  panel->setMaximumWidth(330);
  auto* left = new QVBoxLayout(panel);
  left->setContentsMargins(0, 0, 0, 0);
  left->addWidget(traces);
  left->addWidget(range);
  left->addLayout(buttons);
  left->addStretch(1);

  picPlot = new PlotCanvas(this);
  lblStatus = new QLabel(this);
  lblStatus->setObjectName(QStringLiteral("lblStatus"));
  lblStatus->setWordWrap(true);
  lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* right = new QVBoxLayout;
  right->addWidget(picPlot, 1);
  right->addWidget(lblStatus);

  auto* main = new QHBoxLayout(this);
  main->addWidget(panel, 0);
  main->addLayout(right, 1);

  connect(picPlot, &PlotCanvas::viewChanged, this, &frmPlot::OnViewChanged);
  connect(picPlot, &PlotCanvas::fitRequested, this, [this] { cmdFit_Click(); });

  QList<QWidget*> waiting{cmdPlot, cmdFit, cmdClear, txtXFrom, txtXTo, txtSamples, chkLogX, chkLogY};
  for (QLineEdit* t : txtTrace) waiting << t;
  // The window's own sampling shows its busy state over the plot, with
  // Stop (and Esc) within reach.
  new ScriptBusyBar(this, picPlot, waiting, [this] { return sampling_; });
  for (QWidget* w : {static_cast<QWidget*>(cmdPlot), static_cast<QWidget*>(cmdFit)})
    DisableWhileScriptRuns(w);
}

PlotSetup frmPlot::Setup() const {
  PlotSetup s;
  for (int i = 0; i < kMaxTraces; ++i) {
    TraceEntry& t = s.traces[size_t(i)];
    t.expression = txtTrace[size_t(i)]->text().trimmed().toStdU16String();
    t.on = chkTrace[size_t(i)]->isChecked();
    t.color = colors_[size_t(i)];
  }
  if (auto v = ReadField(txtXFrom)) s.xFrom = *v;
  if (auto v = ReadField(txtXTo)) s.xTo = *v;
  s.samples = txtSamples->value();
  s.logX = chkLogX->isChecked();
  s.logY = chkLogY->isChecked();
  return s;
}

void frmPlot::ShowSetup(const PlotSetup& s) {
  for (int i = 0; i < kMaxTraces; ++i) {
    const TraceEntry& t = s.traces[size_t(i)];
    txtTrace[size_t(i)]->setText(QString::fromStdU16String(t.expression));
    const QSignalBlocker quiet(chkTrace[size_t(i)]);
    chkTrace[size_t(i)]->setChecked(t.on);
    colors_[size_t(i)] = t.color;
    ShowColor(i);
  }
  txtXFrom->setText(NumberText(s.xFrom));
  txtXTo->setText(NumberText(s.xTo));
  txtSamples->setValue(s.samples);
  const QSignalBlocker quietX(chkLogX), quietY(chkLogY);
  chkLogX->setChecked(s.logX);
  chkLogY->setChecked(s.logY);
}

void frmPlot::ShowColor(int i) {
  cmdColor[size_t(i)]->setStyleSheet(
      QStringLiteral("background-color: %1; border: 1px solid #606060;").arg(ToColor(colors_[size_t(i)]).name()));
}

void frmPlot::cmdColor_Click(int i) {
  const QColor chosen = QColorDialog::getColor(ToColor(colors_[size_t(i)]), this,
                                               QStringLiteral("Colour of trace %1").arg(i + 1));
  if (!chosen.isValid()) return;
  colors_[size_t(i)] = uint32_t(chosen.rgb() & 0xFFFFFF);
  ShowColor(i);
  ShowSamples();
}

void frmPlot::cmdPlot_Click() { Sample(true); }

void frmPlot::cmdFit_Click() { Sample(true); }

void frmPlot::OnViewChanged() {
  // The y axis alone moved: nothing new to sample.
  if (!xs_.empty() && picPlot->View().x.lo == xs_.front() && picPlot->View().x.hi == xs_.back()) return;
  resample_->start();
}

void frmPlot::Sample(bool fit) {
  resample_->stop();
  if (sampling_) return;
  // One script at a time: a sampling asked for while another script runs
  // (zelPlot.Add from the input line) follows once it has ended.
  if (ScriptRunning()) {
    pendingFit_ = pendingFit_ || fit;
    if (pending_) return;
    pending_ = true;
    ScriptRunner* runner = ScriptRunner::Instance();
    auto* once = new QObject(this);
    connect(runner, &ScriptRunner::idle, once, [this, once] {
      once->deleteLater();
      // From the event loop: the script's caller is still on its way back.
      QTimer::singleShot(0, this, [this] {
        const bool fitNow = pendingFit_;
        pending_ = pendingFit_ = false;
        Sample(fitNow);
      });
    });
    return;
  }
  const PlotSetup setup = Setup();
  problem_.clear();
  AxisRange xRange = picPlot->View().x;
  if (fit) {
    if (!ReadField(txtXFrom) || !ReadField(txtXTo))
      problem_ = QStringLiteral("The range of x needs a number in both fields.");
    else if (setup.xFrom == setup.xTo)
      problem_ = QStringLiteral("The range of x is empty.");
    else if (setup.logX && (setup.xFrom <= 0 || setup.xTo <= 0))
      problem_ = QStringLiteral("A logarithmic x axis needs both ends of the range above 0.");
    xRange = {std::min(setup.xFrom, setup.xTo), std::max(setup.xFrom, setup.xTo), setup.logX};
  }
  const std::vector<double> xs = problem_.isEmpty() ? SamplePlan(xRange.lo, xRange.hi, setup.samples, setup.logX)
                                                    : std::vector<double>{};
  vbs::Engine* engineInUse = main_.Session().gScriptEngine.get();
  if (xs.empty() || !engineInUse) {
    if (problem_.isEmpty()) problem_ = QStringLiteral("The range of x cannot be sampled.");
    // Nothing is drawn that the fields no longer describe.
    xs_.clear();
    for (TraceSamples& s : samples_) s = TraceSamples();
    ShowSamples();
    return;
  }

  std::array<TraceSamples, kMaxTraces> results;
  {
    ScriptHandler handler(*this);
    ScriptRunner::Session session;
    if (ScriptRunner* runner = ScriptRunner::Instance()) runner->SetActivity(QStringLiteral("Plotting"));
    vbs::Engine& engine = *engineInUse;
    sampling_ = true;
    const bool ran = RunEngineJob(engine, [&] {
      bool stopped = false;
      for (int i = 0; i < kMaxTraces; ++i) {
        const std::u16string& expr = setup.traces[size_t(i)].expression;
        if (expr.empty()) continue;
        if (stopped) {
          results[size_t(i)].stopped = true;
          continue;
        }
        results[size_t(i)] = SampleExpression(engine, expr, xs);
        stopped = results[size_t(i)].stopped;
      }
    });
    sampling_ = false;
    if (handler.Closing()) return;
    if (!ran) {
      // Another script took the engine first: after it.
      Sample(fit);
      return;
    }
  }
  xs_ = xs;
  samples_ = std::move(results);
  PlotView view = picPlot->View();
  view.x = xRange;
  view.x.log = setup.logX;
  view.y.log = setup.logY;
  if (fit) {
    std::vector<double> all;
    for (int i = 0; i < kMaxTraces; ++i)
      if (setup.traces[size_t(i)].on) all.insert(all.end(), samples_[size_t(i)].y.begin(), samples_[size_t(i)].y.end());
    view.y = FitValues(all, setup.logY);
  }
  picPlot->SetView(view);
  ShowSamples();
}

void frmPlot::ShowSamples() {
  std::vector<CanvasTrace> shown;
  for (int i = 0; i < kMaxTraces; ++i) {
    const TraceSamples& s = samples_[size_t(i)];
    if (!chkTrace[size_t(i)]->isChecked() || s.y.size() != xs_.size() || xs_.empty()) continue;
    shown.push_back({txtTrace[size_t(i)]->text().trimmed(), ToColor(colors_[size_t(i)]), &s.y});
  }
  picPlot->SetData(&xs_, std::move(shown));
  ShowStatus();
}

void frmPlot::ShowStatus() {
  QStringList lines;
  if (!problem_.isEmpty()) lines << problem_;
  bool stopped = false;
  for (int i = 0; i < kMaxTraces; ++i) {
    const TraceSamples& s = samples_[size_t(i)];
    const QString name = QStringLiteral("Trace %1").arg(i + 1);
    stopped = stopped || s.stopped;
    if (!s.compileError.empty())
      lines << name + QStringLiteral(" does not compile: ") + QString::fromStdU16String(s.compileError);
    else if (s.gaps > 0 && !s.stopped)
      lines << name + QStringLiteral(": %1 of %2 samples are gaps; the first: ").arg(s.gaps).arg(xs_.size()) +
                   QString::fromStdU16String(s.firstError);
  }
  if (stopped) lines << QStringLiteral("Sampling stopped: the traces are drawn as far as they got.");
  lblStatus->setText(lines.join(QLatin1Char('\n')));
}

int frmPlot::AddTrace(const std::u16string& expression, double from, double to) {
  PlotSetup s = Setup();
  const int i = FreeTrace(s);
  if (i < 0) return -1;
  txtTrace[size_t(i)]->setText(QString::fromStdU16String(expression));
  chkTrace[size_t(i)]->setChecked(true);
  txtXFrom->setText(NumberText(from));
  txtXTo->setText(NumberText(to));
  ShowWithoutFocus(this);
  Sample(true);
  return i;
}

void frmPlot::ClearTraces() { cmdClear_Click(); }

void frmPlot::cmdClear_Click() {
  for (QLineEdit* t : txtTrace) t->clear();
  for (TraceSamples& s : samples_) s = TraceSamples();
  problem_.clear();
  ShowSamples();
}

QString frmPlot::ValuesText() const {
  std::vector<ValueColumn> columns;
  for (int i = 0; i < kMaxTraces; ++i) {
    const TraceSamples& s = samples_[size_t(i)];
    if (!chkTrace[size_t(i)]->isChecked() || s.y.size() != xs_.size() || xs_.empty()) continue;
    columns.push_back({txtTrace[size_t(i)]->text().trimmed().toStdU16String(), &s.y});
  }
  return QString::fromStdU16String(plot::ValuesText(xs_, columns));
}

void frmPlot::cmdCopyValues_Click() { QApplication::clipboard()->setText(ValuesText()); }

void frmPlot::cmdCopyImage_Click() { QApplication::clipboard()->setImage(picPlot->Image()); }

bool frmPlot::SaveImage(const QString& file) {
  // Written aside and put in place at the end: a failed write leaves an
  // existing file as it was.
  QSaveFile out(file);
  bool ok = out.open(QIODevice::WriteOnly);
  if (ok && file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(picPlot->size());
    svg.setViewBox(picPlot->rect());
    svg.setTitle(QStringLiteral("Plot"));
    QPainter p;
    ok = p.begin(&svg);
    if (ok) {
      picPlot->Render(p, picPlot->rect(), false);
      ok = p.end();
    }
  } else if (ok) {
    ok = picPlot->Image().save(&out, "PNG");
  }
  if (ok) ok = out.commit();
  if (!ok)
    ShowPrompt(ToQ(kAppTitle), QStringLiteral("The plot could not be saved to the file\r\n") + file,
               PromptIcon::Exclamation, PromptButtons::OK);
  return ok;
}

void frmPlot::cmdSave_Click() {
  CommonDialog& d = *cmnDialog;
  d.DialogTitle = QStringLiteral("Save Plot");
  d.Filters = {QStringLiteral("PNG Image (*.png)"), QStringLiteral("SVG Image (*.svg)")};
  d.FilterIndex = 0;
  d.DefaultExt = QStringLiteral("png");
  d.FileName = QStringLiteral("plot.png");
  if (d.InitDir.isEmpty()) d.InitDir = CurrentDialogFolders().documents;
  if (!d.ShowSave() || d.FileName.isEmpty()) return;
  QString file = d.FileName;
  if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".png");
  SaveImage(file);
}

void frmPlot::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  SaveGeometry();
  try {
    SavePlotSetup(AppSettings(), Setup());
  } catch (...) {
    // Skipped like any settings step that fails.
  }
}

void frmPlot::closeEvent(QCloseEvent* event) {
  ToolWindow::closeEvent(event);
  if (!event->isAccepted()) return;
  Form_Unload();
}

bool frmPlot::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtSamples && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      txtSamples->interpretText();
      cmdPlot_Click();
      return true;
    }
  }
  return ToolWindow::eventFilter(watched, event);
}

void AttachPlot(frmMain& main) {
  QObject::connect(main.mnuPlot, &QAction::triggered, &main, [&main] { frmPlot::Open(main); });
}

namespace {

// zelPlot's window: the open one, or a new one over the main window,
// created without taking the focus (the input line keeps it).
class PlotWindowTarget : public PlotTarget {
 public:
  explicit PlotWindowTarget(std::function<frmMain*()> main) : main_(std::move(main)) {}
  int AddTrace(const std::u16string& expression, double from, double to) override {
    frmPlot* w = Window();
    return w ? w->AddTrace(expression, from, to) : -1;
  }
  void ClearTraces() override {
    if (frmPlot* w = Window()) w->ClearTraces();
  }

 private:
  frmPlot* Window() {
    if (frmPlot* w = frmPlot::Instance()) return w;
    frmMain* main = main_ ? main_() : nullptr;
    if (!main) return nullptr;
    gPlotWindow = new frmPlot(*main);
    return gPlotWindow;
  }
  std::function<frmMain*()> main_;
};

}  // namespace

vbs::Ref<vbs::HostObject> CreatePlotObject(std::function<frmMain*()> main) {
  auto target = std::make_shared<PlotWindowTarget>(std::move(main));
  return vbs::Ref<vbs::HostObject>(new zelPlotObject([target]() -> PlotTarget& { return *target; }));
}

}  // namespace zel
