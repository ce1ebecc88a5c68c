#pragma once

#include <string>
#include <string_view>

namespace ritoma {

enum class Answer { Yes, No, Ok, Cancel };

enum class QuestionKind {
  YesNo,         // Yes / No
  YesNoCancel,   // Yes / No / Cancel
  OkCancel,      // OK / Cancel
};

enum class MessageKind { Information, Warning, Error };

// How the core asks the user something or tells them something, without
// knowing who answers: the forms show message boxes, the command line asks
// on a terminal, tests script the answers. All texts are UTF-8.
class UserInteraction {
public:
  virtual ~UserInteraction() = default;
  virtual Answer ask(QuestionKind kind, std::string_view text, std::string_view caption) = 0;
  // A question whose box looks like a message of `look` (its icon): the
  // confirmation before a run reads as information, a choice after a
  // failure as a warning or an error. Answerers without icons need not
  // override it.
  virtual Answer askAs(MessageKind look, QuestionKind kind, std::string_view text, std::string_view caption) {
    (void)look;
    return ask(kind, text, caption);
  }
  virtual void tell(MessageKind kind, std::string_view text, std::string_view caption) = 0;
  // A one-line text input ("/?" questions). Returns false when cancelled.
  virtual bool input(std::string_view prompt, std::string_view caption, std::string& value) = 0;
};

}  // namespace ritoma
