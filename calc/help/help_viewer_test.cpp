// The help window on the built manuals, and what the user is told when a
// manual is missing or damaged.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHelpEngine>
#include <QGuiApplication>
#include <QHelpContentWidget>
#include <QHelpEngineCore>
#include <QHelpSearchEngine>
#include <QHelpSearchResultWidget>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "help_viewer.h"
#include "help_window.h"
#include "prompt_service.h"

namespace zel {
namespace {

class HelpViewerTest : public ::testing::Test {
 protected:
  void SetUp() override { QStandardPaths::setTestModeEnabled(true); }
  void TearDown() override { delete CurrentHelpViewer(); }
};

void Touch(const QString& path, const QByteArray& bytes = "x") {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST_F(HelpViewerTest, ManualsAreFoundBesideTheProgramOrWhereTheyAreInstalled) {
  QTemporaryDir root;
  const QString bin = root.filePath("prefix/bin");
  QDir().mkpath(bin);
  const QString installed = root.filePath("prefix/share/zelCalc/help/VBSManual.qhc");
  // Neither: the installed place, so that a message names it.
  EXPECT_EQ(ManualPath(Manual::VBScript, bin), installed);
  Touch(installed);
  EXPECT_EQ(ManualPath(Manual::VBScript, bin), installed);
  Touch(bin + "/help/zelCalcManual.qhc");
  EXPECT_EQ(ManualPath(Manual::ZelCalc, bin), bin + "/help/zelCalcManual.qhc");
  EXPECT_EQ(ManualPath(Manual::VBScript, bin), installed);
}

TEST_F(HelpViewerTest, MissingOrDamagedManualIsExplainedAndNoWindowOpens) {
  QTemporaryDir dir;
  PromptRecorder prompts;
  const QString missing = dir.filePath("VBSManual.qhc");
  OpenHelpFile(nullptr, missing);
  ASSERT_EQ(prompts.Asked().size(), 1u);
  EXPECT_TRUE(prompts.Asked()[0].text.contains("was not found"));
  EXPECT_TRUE(prompts.Asked()[0].text.contains(QDir::toNativeSeparators(missing)));
  EXPECT_EQ(CurrentHelpViewer(), nullptr);

  // A collection without its documentation file.
  Touch(missing);
  QString error;
  EXPECT_FALSE(ShowHelpViewer(nullptr, missing, &error));
  EXPECT_TRUE(error.contains("VBSManual.qch")) << error.toStdString();

  // Documentation files that are not help files at all.
  Touch(dir.filePath("VBSManual.qch"), QByteArray(4096, '\x5a'));
  EXPECT_FALSE(ShowHelpViewer(nullptr, missing, &error));
  EXPECT_TRUE(error.contains("damaged")) << error.toStdString();
  EXPECT_EQ(CurrentHelpViewer(), nullptr);
}

// The per-user working copy is made again when a crash left it damaged or
// when the manual it follows was replaced.
TEST_F(HelpViewerTest, WorkingCollectionRecoversFromDamageAndFollowsTheManual) {
  QTemporaryDir cache;
  QTemporaryDir shipped;
  for (const char* name : {"VBSManual.qhc", "VBSManual.qch"})
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZEL_HELP_DIR "/") + name, shipped.filePath(name)));
  const QString helpFile = shipped.filePath("VBSManual.qhc");
  QString error;
  const QString working = PrepareHelpCollection(helpFile, cache.path(), &error);
  ASSERT_FALSE(working.isEmpty()) << error.toStdString();
  auto registered = [&] {
    QHelpEngineCore core(working);
    if (!core.setupData()) return QString();
    const QStringList docs = core.registeredDocumentations();
    return docs.size() == 1 ? core.documentationFileName(docs[0]) : QString();
  };
  EXPECT_EQ(registered(), QFileInfo(shipped.filePath("VBSManual.qch")).absoluteFilePath());

  Touch(working, QByteArray(2048, '\x01'));
  ASSERT_EQ(PrepareHelpCollection(helpFile, cache.path(), &error), working) << error.toStdString();
  EXPECT_EQ(registered(), QFileInfo(shipped.filePath("VBSManual.qch")).absoluteFilePath());

  // The manual moves (a new installation): the copy follows it.
  QTemporaryDir moved;
  for (const char* name : {"VBSManual.qhc", "VBSManual.qch"})
    ASSERT_TRUE(QFile::rename(shipped.filePath(name), moved.filePath(name)));
  ASSERT_EQ(PrepareHelpCollection(moved.filePath("VBSManual.qhc"), cache.path(), &error), working);
  EXPECT_EQ(registered(), QFileInfo(moved.filePath("VBSManual.qch")).absoluteFilePath());
}

TEST_F(HelpViewerTest, WindowShowsContentsIndexAndSearchOfEachManual) {
  const QString vbs = ZEL_HELP_DIR "/VBSManual.qhc";
  const QString zel = ZEL_HELP_DIR "/zelCalcManual.qhc";
  QString error;
  ASSERT_TRUE(ShowHelpViewer(nullptr, vbs, &error)) << error.toStdString();
  auto* window = qobject_cast<HelpWindow*>(CurrentHelpViewer());
  ASSERT_NE(window, nullptr);
  // The contents are read in the background; the home page follows.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Browser()->source().isEmpty(); }, 10000));
  EXPECT_EQ(window->windowTitle(), "VBS Manual - zelCalc");
  EXPECT_TRUE(window->Browser()->source().path().endsWith("/index.html"));

  // The index reaches a generated entry.
  window->ShowIndexEntry("InStr");
  EXPECT_EQ(window->Browser()->source().fileName(), "functions.html");
  EXPECT_EQ(window->Browser()->source().fragment(), "fn-instr");
  EXPECT_TRUE(window->Browser()->toPlainText().contains("InStrRev"));

  // Full-text search finds a word only the objects page uses.
  QSignalSpy found(window->Engine()->searchEngine(), &QHelpSearchEngine::searchingFinished);
  window->Search("CompareMode");
  ASSERT_TRUE(found.wait(30000) || found.count() > 0);
  EXPECT_GE(found.last().at(0).toInt(), 1);
  const auto hits = window->Engine()->searchEngine()->searchResults(0, 10);
  ASSERT_FALSE(hits.isEmpty());
  EXPECT_EQ(hits.first().url().fileName(), "objects.html");

  // The other manual replaces it in a window of its own; asking for the
  // same manual again keeps the window.
  ASSERT_TRUE(ShowHelpViewer(nullptr, zel, &error)) << error.toStdString();
  auto* second = qobject_cast<HelpWindow*>(CurrentHelpViewer());
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->HelpFile(), zel);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !second->Browser()->source().isEmpty(); }, 10000));
  EXPECT_EQ(second->windowTitle(), "zelCalc Manual - zelCalc");
  second->ShowIndexEntry("Pressure (unit table)");
  EXPECT_TRUE(second->Browser()->toPlainText().contains("kgf/cm2"));
  ASSERT_TRUE(ShowHelpViewer(nullptr, zel, &error));
  EXPECT_EQ(CurrentHelpViewer(), second);
}

// Opened from a window, the help window lies wholly on the screen; a page
// of the contents opens on a single click, as in the index.
TEST_F(HelpViewerTest, WindowLiesOnTheScreenAndContentsOpenOnOneClick) {
  QWidget main;
  auto* input = new QLineEdit(&main);
  input->setObjectName(QStringLiteral("txtUserInput"));
  input->setGeometry(8, 8, 260, 22);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  main.setGeometry(QRect(screen.topLeft() + QPoint(7, 7), QSize(507, 233)));
  main.show();
  QString error;
  ASSERT_TRUE(ShowHelpViewer(&main, ZEL_HELP_DIR "/VBSManual.qhc", &error)) << error.toStdString();
  auto* window = qobject_cast<HelpWindow*>(CurrentHelpViewer());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(screen.contains(window->frameGeometry()));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Browser()->source().isEmpty(); }, 10000));

  auto* contents = qobject_cast<QHelpContentWidget*>(window->Tabs()->widget(0));
  ASSERT_NE(contents, nullptr);
  QHelpContentModel* model = window->Engine()->contentModel();
  const QModelIndex root = model->index(0, 0);
  ASSERT_GE(model->rowCount(root), 2);
  const QModelIndex page = model->index(1, 0, root);
  const QUrl wanted = model->contentItemAt(page)->url();
  ASSERT_NE(window->Browser()->source(), wanted);
  window->Tabs()->setCurrentIndex(0);
  contents->scrollTo(page);
  QTest::mouseClick(contents->viewport(), Qt::LeftButton, Qt::NoModifier,
                    contents->visualRect(page).center());
  EXPECT_EQ(window->Browser()->source(), wanted);
}

}  // namespace
}  // namespace zel
