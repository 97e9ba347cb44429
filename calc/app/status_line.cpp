#include "status_line.h"

#include "app_fonts.h"

namespace zel {

StatusLine::StatusLine(QWidget* client) : QLabel(client) {
  setObjectName(QStringLiteral("lblStatus"));
  setFont(ProportionalFont(8, false));
  setTextFormat(Qt::PlainText);
  expire_.setSingleShot(true);
  connect(&expire_, &QTimer::timeout, this, [this] {
    clear();
    Update();
  });
  hide();
}

void StatusLine::ShowNote(const QString& text, int ms) {
  setText(text);
  if (ms > 0) expire_.start(ms);
  else expire_.stop();
  Update();
}

void StatusLine::Place(const QRect& above) {
  const QWidget* client = parentWidget();
  const int height = fontMetrics().height();
  room_ = QRect(above.left(), above.bottom() + 1, above.width(), height);
  if (room_.bottom() >= client->height()) room_ = QRect();
  Update();
}

void StatusLine::Update() {
  const bool show = !text().isEmpty() && room_.isValid();
  if (show) setGeometry(room_);
  setVisible(show);
}

}  // namespace zel
