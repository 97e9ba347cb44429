#pragma once
// The help window: contents, index and search on the left, the page on the
// right. Shows one manual at a time.
#include <QMainWindow>
#include <QTextBrowser>
#include <memory>

class QHelpEngine;
class QLineEdit;
class QTabWidget;
class QLabel;

namespace zel {

class HelpBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {}
  void SetEngine(QHelpEngine* engine) { engine_ = engine; }
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  QHelpEngine* engine_ = nullptr;
};

class HelpWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent);
  ~HelpWindow() override;

  // Opens the working collection of `helpFile` (see PrepareHelpCollection).
  bool Load(const QString& helpFile, const QString& workingCollection, QString* error);
  const QString& HelpFile() const { return helpFile_; }

  // For tests and the screenshot script.
  QTabWidget* Tabs() const { return tabs_; }
  HelpBrowser* Browser() const { return browser_; }
  QHelpEngine* Engine() const { return engine_.get(); }
  void Search(const QString& words);
  void ShowIndexEntry(const QString& keyword);

 private:
  void BuildPanels();
  void ShowUrl(const QUrl& url);
  void GoHome();

  std::unique_ptr<QHelpEngine> engine_;
  QString helpFile_;
  QUrl home_;
  QTabWidget* tabs_ = nullptr;
  HelpBrowser* browser_ = nullptr;
  QLineEdit* indexFilter_ = nullptr;
  QLabel* searchStatus_ = nullptr;
  QString pendingSearch_;
  bool indexing_ = false;
};

}  // namespace zel
