#pragma once
// The common frame of the library tools' windows: geometry restored from
// and saved to the window's own settings section in twips (outer size,
// frame included), saved on every close.
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

namespace zel {

struct GeometryDefaults {
  const char* section;
  const char* top;     // default texts of PositionT, PositionL, SizeH, SizeW
  const char* left;
  const char* height;
  const char* width;
};

class ToolWindow : public QWidget {
  Q_OBJECT

 public:
  ToolWindow(QWidget* owner, const GeometryDefaults& geometry);

  // Outer geometry in twips.
  int TopTwips() const;
  int LeftTwips() const;
  int HeightTwips() const;
  int WidthTwips() const;

  // Places the window at an outer twip rectangle (brought back onto a
  // screen when it would be off every screen) and lays it out.
  void SetWindowTwips(int top, int left, int height, int width);
  // Writes top, left, height and width to the window's section.
  void SaveGeometry() const;
  // Closed and waiting to be deleted: an opening must build a new one.
  bool Closed() const { return closed_; }

  // Held by a handler of the window while it waits on a script (Execute,
  // Reload): the window is not destroyed under it. Closing the window
  // meanwhile asks first whether to stop the script, as the main window
  // does; on Yes (or when no script runs by then) the window closes as soon
  // as the handler has returned.
  class ScriptHandler {
   public:
    explicit ScriptHandler(ToolWindow& window);
    ~ScriptHandler();
    ScriptHandler(const ScriptHandler&) = delete;
    ScriptHandler& operator=(const ScriptHandler&) = delete;
    // The window is to close when the handler returns: what is left of the
    // handler (reporting a script that was stopped for it) is skipped.
    bool Closing() const { return window_.closeAfterHandler_; }

   private:
    ToolWindow& window_;
  };

 protected:
  // The window's layout rule for the current outer size.
  virtual void ApplyLayout() = 0;
  // The frame's size (outer minus client), empty until the window manager
  // has framed the window.
  QSize FrameExtra() const;

  // Form_Load's first step: the stored geometry (defaults when absent).
  // Called by each window once its controls exist.
  void RestoreGeometry();

  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyPendingOuter();
  GeometryDefaults geometry_;
  QSize pendingOuter_;  // outer size waiting for the frame to be known
  bool closed_ = false;
  int handlers_ = 0;              // ScriptHandlers alive
  bool closeAfterHandler_ = false;
  bool askingToStop_ = false;
};

// Shows a modeless window: a minimised one is restored, and it comes to the
// front with the keyboard focus.
void BringForward(QWidget* window);

// Shows a modeless window (restored when minimised) in front, leaving the
// keyboard focus where it is.
void ShowWithoutFocus(QWidget* window);

// The one window of its kind in `slot`: created by `make` when there is
// none (or it is closing), then brought forward.
template <class W, class Make>
W* OpenOnce(QPointer<W>& slot, Make make) {
  if (!slot || slot->Closed()) slot = make();
  BringForward(slot);
  return slot;
}

}  // namespace zel
