#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "shell/UserInteraction.h"

namespace ritoma {

// Questions and messages of the core on the command line. Texts go to
// standard error (standard output carries only the rows). With `assumeYes`
// every question is answered Yes (OK); otherwise a question is asked when
// standard input is a terminal, and answered No (Cancel) when it is not.
class TerminalInteraction final : public UserInteraction {
public:
  TerminalInteraction(bool assumeYes, std::FILE* in, std::FILE* err, bool interactive);
  // Reads from stdin and writes to stderr; interactive when stdin is a terminal.
  explicit TerminalInteraction(bool assumeYes);

  Answer ask(QuestionKind kind, std::string_view text, std::string_view caption) override;
  void tell(MessageKind kind, std::string_view text, std::string_view caption) override;
  bool input(std::string_view prompt, std::string_view caption, std::string& value) override;

private:
  bool readLine(std::string& line);

  bool assumeYes_;
  std::FILE* in_;
  std::FILE* err_;
  bool interactive_;
};

}  // namespace ritoma
