#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "shell/UserInteraction.h"

namespace ritoma {

// Questions and messages of the core and of the forms as modal message
// boxes. By default a box is centred on the owner window; `askAt` and
// `tellAt` place its top-left corner on a given screen point.
//
// A script replaces the boxes (tests): it receives every prompt and gives
// the answer; no box is shown then.
class QtUserInteraction : public UserInteraction {
public:
  enum class PromptType { Question, Message, Input };
  struct Prompt {
    PromptType type = PromptType::Question;
    QuestionKind question = QuestionKind::YesNo;
    MessageKind message = MessageKind::Information;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;  // what the box would show
    std::optional<QPoint> position;  // top-left corner, when placed
    QString* value = nullptr;        // the input text, for PromptType::Input
  };
  using Script = std::function<Answer(Prompt&)>;

  explicit QtUserInteraction(QWidget* owner = nullptr) : owner_(owner) {}

  void setOwner(QWidget* owner) { owner_ = owner; }
  void setScript(Script script) { script_ = std::move(script); }

  Answer ask(QuestionKind kind, std::string_view text, std::string_view caption) override;
  Answer askAs(MessageKind look, QuestionKind kind, std::string_view text, std::string_view caption) override;
  void tell(MessageKind kind, std::string_view text, std::string_view caption) override;
  bool input(std::string_view prompt, std::string_view caption, std::string& value) override;

  // `look` gives the box the icon of that message kind; without it the box
  // shows the question mark.
  Answer askAt(QuestionKind kind, const QString& text, const QString& caption,
               std::optional<QPoint> position, std::optional<MessageKind> look = std::nullopt);
  void tellAt(MessageKind kind, const QString& text, const QString& caption,
              std::optional<QPoint> position);

private:
  QPointer<QWidget> owner_;
  Script script_;
};

}  // namespace ritoma
