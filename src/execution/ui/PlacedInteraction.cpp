#include "execution/ui/PlacedInteraction.h"

#include "execution/ExecutionFlow.h"

namespace ritoma {

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

const QPoint PlacedInteraction::ConfirmationOffset(-98, -100);
const QPoint PlacedInteraction::FolderWarningOffset(-138, -58);
const QPoint PlacedInteraction::ErrorOffset(-117, -58);

QPoint PlacedInteraction::centre() const {
  if (!window_) return {};
  const QRect frame = window_->window()->frameGeometry();
  return QPoint(frame.left() + frame.width() / 2, frame.top() + frame.height() / 2);
}

std::optional<QPoint> PlacedInteraction::placeFor(QuestionKind kind, const QString& text) const {
  if (!running_ || kind != QuestionKind::OkCancel) return std::nullopt;
  const bool warning = text == QString::fromUtf8(ExecutionFlow::FolderWarningText);
  return centre() + (warning ? FolderWarningOffset : ConfirmationOffset);
}

Answer PlacedInteraction::ask(QuestionKind kind, std::string_view text, std::string_view caption) {
  const QString t = fromUtf8(text);
  return boxes_.ask(kind, t, fromUtf8(caption), placeFor(kind, t), std::nullopt);
}

Answer PlacedInteraction::askAs(MessageKind look, QuestionKind kind, std::string_view text, std::string_view caption) {
  const QString t = fromUtf8(text);
  return boxes_.ask(kind, t, fromUtf8(caption), placeFor(kind, t), look);
}

void PlacedInteraction::tell(MessageKind kind, std::string_view text, std::string_view caption) {
  std::optional<QPoint> at;
  if (running_ && kind == MessageKind::Error) at = centre() + ErrorOffset;
  boxes_.tell(kind, fromUtf8(text), fromUtf8(caption), at);
}

bool PlacedInteraction::input(std::string_view prompt, std::string_view caption, std::string& value) {
  QString text = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
  if (!boxes_.input || !boxes_.input(fromUtf8(prompt), fromUtf8(caption), text)) return false;
  value = text.toStdString();
  return true;
}

Answer PlacedInteraction::askAt(QuestionKind kind, const QString& text, const QString& caption, QPoint offset) {
  return boxes_.ask(kind, text, caption, centre() + offset, std::nullopt);
}

void PlacedInteraction::tellAt(MessageKind kind, const QString& text, const QString& caption, QPoint offset) {
  boxes_.tell(kind, text, caption, centre() + offset);
}

}  // namespace ritoma
