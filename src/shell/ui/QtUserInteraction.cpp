#include "shell/ui/QtUserInteraction.h"

#include <QInputDialog>
#include <QMessageBox>

namespace ritoma {

namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString captionOr(const QString& caption) {
  return caption.isEmpty() ? QStringLiteral("Ritoma") : caption;
}

QMessageBox::Icon iconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Information: break;
  }
  return QMessageBox::Information;
}

int execPlaced(QMessageBox& box, const std::optional<QPoint>& position) {
  if (position) {
    box.adjustSize();
    box.move(*position);
  }
  return box.exec();
}

}  // namespace

Answer QtUserInteraction::ask(QuestionKind kind, std::string_view text, std::string_view caption) {
  return askAt(kind, fromUtf8(text), fromUtf8(caption), std::nullopt);
}

Answer QtUserInteraction::askAs(MessageKind look, QuestionKind kind, std::string_view text,
                                std::string_view caption) {
  return askAt(kind, fromUtf8(text), fromUtf8(caption), std::nullopt, look);
}

void QtUserInteraction::tell(MessageKind kind, std::string_view text, std::string_view caption) {
  tellAt(kind, fromUtf8(text), fromUtf8(caption), std::nullopt);
}

bool QtUserInteraction::input(std::string_view prompt, std::string_view caption, std::string& value) {
  QString text = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
  if (script_) {
    Prompt p;
    p.type = PromptType::Input;
    p.text = fromUtf8(prompt);
    p.caption = fromUtf8(caption);
    p.value = &text;
    if (script_(p) != Answer::Ok) return false;
  } else {
    bool ok = false;
    text = QInputDialog::getText(owner_, captionOr(fromUtf8(caption)), fromUtf8(prompt),
                                 QLineEdit::Normal, text, &ok);
    if (!ok) return false;
  }
  value = text.toStdString();
  return true;
}

Answer QtUserInteraction::askAt(QuestionKind kind, const QString& text, const QString& caption,
                                std::optional<QPoint> position, std::optional<MessageKind> look) {
  const QMessageBox::Icon icon = look ? iconOf(*look) : QMessageBox::Question;
  if (script_) {
    Prompt p;
    p.type = PromptType::Question;
    p.question = kind;
    p.icon = icon;
    p.text = text;
    p.caption = caption;
    p.position = position;
    return script_(p);
  }
  QMessageBox box(icon, captionOr(caption), text, QMessageBox::NoButton, owner_);
  switch (kind) {
    case QuestionKind::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case QuestionKind::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case QuestionKind::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
  }
  switch (execPlaced(box, position)) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      return kind == QuestionKind::YesNo ? Answer::No : Answer::Cancel;
  }
}

void QtUserInteraction::tellAt(MessageKind kind, const QString& text, const QString& caption,
                               std::optional<QPoint> position) {
  if (script_) {
    Prompt p;
    p.type = PromptType::Message;
    p.message = kind;
    p.icon = iconOf(kind);
    p.text = text;
    p.caption = caption;
    p.position = position;
    script_(p);
    return;
  }
  QMessageBox box(iconOf(kind), captionOr(caption), text, QMessageBox::Ok, owner_);
  execPlaced(box, position);
}

}  // namespace ritoma
