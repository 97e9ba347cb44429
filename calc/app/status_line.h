#pragma once
// StatusLine: a slim line of notes under the main window's controls. It
// takes only the room the twip layout leaves below them and does not move
// them; when there is no such room (the window at its minimum size) it
// stays hidden.
#include <QLabel>
#include <QTimer>

namespace zel {

class StatusLine : public QLabel {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* client);

  // Shows `text`, for `ms` milliseconds, or until the next note when 0.
  void ShowNote(const QString& text, int ms);
  // The note shown, empty when none (visible or not).
  QString Note() const { return text(); }
  // Places the line under `above` (client coordinates), as wide as it.
  void Place(const QRect& above);

 private:
  void Update();
  QTimer expire_;
  QRect room_;
};

}  // namespace zel
