#pragma once
// frmMain: the calculator window. An input line with its history, the
// output log, and the 20-key pad.
#include <QMainWindow>
#include <QSize>
#include <QString>
#include <array>

class QComboBox;
class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace zel {

class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);

  QComboBox* txtUserInput = nullptr;
  QPlainTextEdit* txtOutputDisplay = nullptr;
  QFrame* fraUserTenKey = nullptr;
  std::array<QPushButton*, 20> cmdUserNumKey{};

  void cmdUserNumKey_Click(int index);
  // Enter evaluates, Escape empties the line; true when the key was taken.
  bool txtUserInput_KeyPress(int keyAscii);
  void txtOutputDisplay_DblClick();

  // The start-up restore: geometry (twips, outer size) and the option flags
  // from section "frmMain". The log starts enabled whatever DisplayEdit says.
  void RestoreSettings();
  // Places the window at an outer twip rectangle, brought back onto a
  // screen when it would be off every screen, and lays out the controls.
  void SetWindowTwips(int top, int left, int height, int width);
  // The layout rule for the current size.
  void ApplyLayout();

  // The log's text with CR LF line ends.
  QString LogText() const;
  // Appends CR LF separated text to the log.
  void AppendLog(const QString& text);

  const QString& SelText() const { return mSelText; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QString mSelText;
  bool laying_ = false;
  QSize pendingOuter_;  // outer size waiting for the frame to be known
};

}  // namespace zel
