// The plot window over the real engine and its script thread: the menu
// entry, sampling with gaps and errors, Stop, zelPlot from the input line,
// the saved settings, the files and the clipboard, and the mouse.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QWheelEvent>
#include <cmath>

#include "busy_state.h"
#include "calc_session.h"
#include "calc_test_support.h"
#include "common_dialog.h"
#include "frm_plot.h"

namespace zel::test {
namespace {

class PlotTest : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    session_.gCreatePlotObject = [this] { return CreatePlotObject([this] { return w_.get(); }); };
  }
  void TearDown() override {
    CommonDialog::SetResponder(nullptr);
    if (frmPlot* w = frmPlot::Instance()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CalcFixture::TearDown();
  }
  frmPlot& OpenPlot() {
    OpenMainWindow();
    AttachPlot(*w_);
    w_->mnuPlot->trigger();
    frmPlot* p = frmPlot::Instance();
    EXPECT_NE(p, nullptr);
    // Its first sampling (nothing yet) has run.
    WaitFor([p] { return !p->SamplingPending(); });
    QTest::qWait(10);
    return *p;
  }
  // One trace over a range, sampled.
  static void PlotOne(frmPlot& p, const QString& expression, double from, double to, int samples) {
    p.txtTrace[0]->setText(expression);
    p.txtXFrom->setText(QString::number(from));
    p.txtXTo->setText(QString::number(to));
    p.txtSamples->setValue(samples);
    p.cmdPlot_Click();
  }
  QString EvalText(const char16_t* expression) { return ToQ(vbs::ToText(EvaluateExpression(session_, expression))); }
};

TEST_F(PlotTest, TheProgramsMenuEndsWithPlotWhichOpensOneWindow) {
  frmPlot& p = OpenPlot();
  const QList<QAction*> entries = w_->mnuExec->actions();
  ASSERT_FALSE(entries.isEmpty());
  EXPECT_EQ(entries.back(), w_->mnuPlot);
  EXPECT_EQ(entries.back()->text().remove(QLatin1Char('&')), "Plot (G)");
  EXPECT_EQ(w_->mnuPlot->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));
  EXPECT_EQ(p.windowTitle(), "Plot");
  EXPECT_TRUE(p.isVisible());
  w_->mnuPlot->trigger();
  EXPECT_EQ(frmPlot::Instance(), &p);
  EXPECT_EQ(p.txtSamples->value(), 1000);
  // Enter in the samples field plots, as in the other fields.
  p.txtTrace[0]->setText("x");
  p.txtSamples->setValue(7);
  QTest::keyClick(p.txtSamples, Qt::Key_Return);
  EXPECT_EQ(p.SampledX().size(), 7u);
}

TEST_F(PlotTest, ALibraryFunctionIsSampledWithGapsAndTheUsersXStays) {
  WriteLib("inv.vbs", "Function Inv(v)\r\n  Inv = 1 / v\r\nEnd Function\r\n");
  frmPlot& p = OpenPlot();
  ASSERT_TRUE(session_.gGlobalModule->ExecuteStatement(u"x = 7"));
  PlotOne(p, "Inv(x)", -1, 1, 5);
  ASSERT_EQ(p.SampledX(), (std::vector<double>{-1, -0.5, 0, 0.5, 1}));
  const auto& s = p.Samples(0);
  EXPECT_EQ(s.y[0], -1);
  EXPECT_EQ(s.y[4], 1);
  EXPECT_TRUE(std::isnan(s.y[2]));
  EXPECT_EQ(p.lblStatus->text(), "Trace 1: 1 of 5 samples are gaps; the first: Division by zero (x = 0)");
  EXPECT_EQ(EvalText(u"x"), "7");
  EXPECT_TRUE(Prompts().Asked().empty());

  // An expression that does not compile says so at once and draws nothing.
  PlotOne(p, "Inv(x", -1, 1, 5);
  EXPECT_TRUE(p.Samples(0).y.empty());
  EXPECT_TRUE(p.lblStatus->text().startsWith("Trace 1 does not compile: ")) << p.lblStatus->text().toStdString();
  EXPECT_TRUE(Prompts().Asked().empty());

  // A logarithmic x axis needs a positive range.
  p.txtTrace[0]->setText("x");
  p.chkLogX->setChecked(true);
  EXPECT_EQ(p.lblStatus->text(), "A logarithmic x axis needs both ends of the range above 0.");
}

TEST_F(PlotTest, StopAndEscEndALongSamplingAndTheWindowStays) {
  WriteLib("slow.vbs", "Function Slow(v)\r\n  Dim i\r\n  For i = 1 To 2000\r\n  Next\r\n  Slow = v\r\nEnd Function\r\n");
  frmPlot& p = OpenPlot();
  auto* bar = p.findChild<ScriptBusyBar*>();
  ASSERT_NE(bar, nullptr);
  p.txtTrace[1]->setText("x");
  WhenBusy byButton([&] { bar->cmdStop->click(); }, 20000);
  PlotOne(p, "Slow(x)", 0, 1, 100000);
  ASSERT_TRUE(byButton.Fired());
  EXPECT_TRUE(p.Samples(0).stopped);
  EXPECT_TRUE(p.Samples(1).stopped);
  EXPECT_GT(p.Samples(0).gaps, 0);
  EXPECT_TRUE(p.lblStatus->text().contains("Sampling stopped")) << p.lblStatus->text().toStdString();
  EXPECT_EQ(frmPlot::Instance(), &p);
  EXPECT_TRUE(p.cmdPlot->isEnabled());

  WhenBusy byEsc([&] {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == &p ? focus : static_cast<QWidget*>(&p), Qt::Key_Escape);
  }, 20000);
  p.cmdPlot_Click();
  ASSERT_TRUE(byEsc.Fired());
  EXPECT_TRUE(p.Samples(0).stopped);
  // Nothing of it was reported as a script error.
  EXPECT_TRUE(Prompts().Asked().empty());
  // The engine goes on as before.
  EXPECT_EQ(EvalText(u"Slow(3)"), "3");
}

TEST_F(PlotTest, ZelPlotAddsTracesFromTheInputLineUpToEight) {
  OpenMainWindow();
  AttachPlot(*w_);
  w_->txtUserInput->setEditText(QStringLiteral("zelPlot.Add(\"x*x\", 2, 0)"));
  w_->cmdUserNumKey_Click(13);
  EXPECT_TRUE(w_->LogText().endsWith("\r\n1")) << w_->LogText().toStdString();
  frmPlot* p = frmPlot::Instance();
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->isVisible());
  ASSERT_TRUE(WaitFor([p] { return !p->SamplingPending() && p->Samples(0).y.size() == 1000; }));
  EXPECT_EQ(p->SampledX().front(), 0);
  EXPECT_EQ(p->Samples(0).y.back(), 4);
  EXPECT_EQ(p->txtTrace[0]->text(), "x*x");

  for (int n = 2; n <= 8; ++n) EXPECT_EQ(EvalText(u"zelPlot.Add(\"x+1\", 0, 1)"), QString::number(n));
  EXPECT_TRUE(Prompts().Asked().empty());
  Prompts().Answer(kAnswerNo);
  EvalText(u"zelPlot.Add(\"x\", 0, 1)");
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.contains("  エラー番号 5\r\n")) << Prompts().Asked()[0].text.toStdString();
  // Members are not global.
  Prompts().Answer(kAnswerNo);
  EvalText(u"Add(\"x\", 0, 1)");
  EXPECT_EQ(Prompts().Asked().size(), 2u);

  ASSERT_TRUE(session_.gGlobalModule->ExecuteStatement(u"zelPlot.Clear"));
  for (QLineEdit* t : p->txtTrace) EXPECT_TRUE(t->text().isEmpty());
  EXPECT_EQ(EvalText(u"zelPlot.Add(\"x\", 0, 1)"), "1");
}

TEST_F(PlotTest, TracesAndRangesAreSavedAtUnloadAndComeBack) {
  frmPlot& p = OpenPlot();
  p.txtTrace[0]->setText("Sin(x)");
  p.txtTrace[2]->setText("Cos(x)");
  p.chkTrace[2]->setChecked(false);
  p.txtXFrom->setText("-3.5");
  p.txtXTo->setText("1e3");
  p.txtSamples->setValue(250);
  p.chkLogY->setChecked(true);
  w_->Form_Unload(false);
  EXPECT_EQ(frmPlot::Instance(), nullptr);
  EXPECT_EQ(store_.Get("frmPlot", "Trace1", ""), "Sin(x)");
  EXPECT_EQ(store_.Get("frmPlot", "Show3", ""), "False");
  EXPECT_EQ(store_.Get("frmPlot", "XTo", ""), "1000");
  EXPECT_TRUE(store_.Has("frmPlot", "PositionT"));
  EXPECT_TRUE(store_.Has("frmPlot", "SizeW"));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  w_->mnuPlot->trigger();
  frmPlot* again = frmPlot::Instance();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->txtTrace[0]->text(), "Sin(x)");
  EXPECT_EQ(again->txtTrace[2]->text(), "Cos(x)");
  EXPECT_FALSE(again->chkTrace[2]->isChecked());
  EXPECT_EQ(again->txtXFrom->text(), "-3.5");
  EXPECT_EQ(again->txtXTo->text(), "1000");
  EXPECT_EQ(again->txtSamples->value(), 250);
  EXPECT_TRUE(again->chkLogY->isChecked());
  // And what was plotted is plotted again.
  ASSERT_TRUE(WaitFor([again] { return again->Samples(0).y.size() == 250; }));
}

TEST_F(PlotTest, ThePlotGoesToPngSvgAndTheClipboard) {
  frmPlot& p = OpenPlot();
  PlotOne(p, "x / 2", 0, 1, 3);
  p.txtTrace[1]->setText("1 / (x - 0.5)");
  p.cmdPlot_Click();
  p.cmdCopyValues_Click();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "x\tx / 2\t1 / (x - 0.5)\r\n0\t0\t-2\r\n0.5\t0.25\t\r\n1\t0.5\t2\r\n");
  p.cmdCopyImage_Click();
  EXPECT_EQ(QApplication::clipboard()->image().size(), p.picPlot->Image().size());

  const QString png = QDir(tmp_.path()).filePath("plot.png");
  const QString svg = QDir(tmp_.path()).filePath("plot.svg");
  CommonDialog::SetResponder([&](CommonDialog& d, CommonDialog::Kind kind) {
    EXPECT_EQ(kind, CommonDialog::Kind::Save);
    d.FileName = QDir(tmp_.path()).filePath("plot");  // no suffix: a PNG
    return true;
  });
  p.cmdSave_Click();
  QImage image;
  ASSERT_TRUE(image.load(png));
  EXPECT_EQ(image.size(), p.picPlot->size() * p.picPlot->devicePixelRatioF());
  // The trace's colour is in the picture.
  bool traceDrawn = false;
  const QColor blue = QColor::fromRgb(0x1f77b4);
  for (int y = 0; y < image.height() && !traceDrawn; ++y)
    for (int x = 0; x < image.width() && !traceDrawn; ++x) traceDrawn = image.pixelColor(x, y) == blue;
  EXPECT_TRUE(traceDrawn);

  ASSERT_TRUE(p.SaveImage(svg));
  QFile f(svg);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray text = f.readAll();
  EXPECT_TRUE(text.contains("<svg"));
  EXPECT_TRUE(text.contains("polyline"));

  // A file that cannot be written is said so.
  EXPECT_FALSE(p.SaveImage(QDir(tmp_.path()).filePath("no/such/folder/plot.png")));
  ASSERT_EQ(Prompts().Asked().size(), 1u);
  EXPECT_TRUE(Prompts().Asked()[0].text.startsWith("The plot could not be saved"));
}

TEST_F(PlotTest, WheelPanAndDoubleClickResampleTheRangeInView) {
  frmPlot& p = OpenPlot();
  p.resize(900, 600);
  QApplication::processEvents();
  PlotOne(p, "x", 0, 10, 11);
  plot::PlotCanvas* c = p.picPlot;
  const QRect area = c->PlotArea(c->rect());
  const QPoint mid = area.center();
  // The crosshair reads x and the trace.
  const QStringList readout = c->Readout(QPoint(area.left() + area.width() / 2, mid.y()));
  ASSERT_EQ(readout.size(), 2);
  EXPECT_TRUE(readout[0].startsWith("x = 5")) << readout[0].toStdString();
  EXPECT_TRUE(readout[1].startsWith("x: 5")) << readout[1].toStdString();

  QWheelEvent wheel(QPointF(mid), QPointF(c->mapToGlobal(mid)), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(c, &wheel);
  const plot::AxisRange zoomed = c->View().x;
  EXPECT_LT(zoomed.hi - zoomed.lo, 10);
  ASSERT_TRUE(WaitFor([&] { return p.SampledX().front() == zoomed.lo; }));
  EXPECT_EQ(p.SampledX().back(), zoomed.hi);
  EXPECT_EQ(p.SampledX().size(), 11u);

  QTest::mousePress(c, Qt::LeftButton, Qt::NoModifier, mid);
  QTest::mouseMove(c, mid + QPoint(area.width() / 4, 0));
  QTest::mouseRelease(c, Qt::LeftButton, Qt::NoModifier, mid + QPoint(area.width() / 4, 0));
  const plot::AxisRange panned = c->View().x;
  EXPECT_NEAR(panned.lo, zoomed.lo - (zoomed.hi - zoomed.lo) / 4, 0.05);
  ASSERT_TRUE(WaitFor([&] { return p.SampledX().front() == panned.lo; }));

  QTest::mouseDClick(c, Qt::LeftButton, Qt::NoModifier, mid);
  ASSERT_TRUE(WaitFor([&] { return c->View().x.lo == 0 && c->View().x.hi == 10; }));
  EXPECT_EQ(p.SampledX().front(), 0);
  EXPECT_LT(c->View().y.lo, 0);
  EXPECT_GT(c->View().y.hi, 10);
}

}  // namespace
}  // namespace zel::test
