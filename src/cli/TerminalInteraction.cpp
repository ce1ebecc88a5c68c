#include "cli/TerminalInteraction.h"

#include <unistd.h>

namespace ritoma {

namespace {

// The negative answer of each kind of question: what an unanswered
// question (no terminal, end of input) gets.
Answer refusal(QuestionKind kind) {
  return kind == QuestionKind::OkCancel || kind == QuestionKind::YesNoCancel ? Answer::Cancel
                                                                             : Answer::No;
}

Answer consent(QuestionKind kind) { return kind == QuestionKind::OkCancel ? Answer::Ok : Answer::Yes; }

const char* choices(QuestionKind kind) {
  switch (kind) {
    case QuestionKind::YesNo: return " [y/n] ";
    case QuestionKind::YesNoCancel: return " [y/n/c] ";
    case QuestionKind::OkCancel: return " [o/c] ";
  }
  return " ";
}

void writeText(std::FILE* err, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), err);
}

}  // namespace

TerminalInteraction::TerminalInteraction(bool assumeYes, std::FILE* in, std::FILE* err,
                                         bool interactive)
    : assumeYes_(assumeYes), in_(in), err_(err), interactive_(interactive) {}

TerminalInteraction::TerminalInteraction(bool assumeYes)
    : TerminalInteraction(assumeYes, stdin, stderr, isatty(STDIN_FILENO) == 1) {}

bool TerminalInteraction::readLine(std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in_)) != EOF && c != '\n') line += static_cast<char>(c);
  return c != EOF || !line.empty();
}

Answer TerminalInteraction::ask(QuestionKind kind, std::string_view text, std::string_view) {
  writeText(err_, text);
  if (assumeYes_ || !interactive_) {
    Answer answer = assumeYes_ ? consent(kind) : refusal(kind);
    writeText(err_, answer == Answer::Yes || answer == Answer::Ok ? " -> yes\n" : " -> no\n");
    std::fflush(err_);
    return answer;
  }
  for (;;) {
    writeText(err_, choices(kind));
    std::fflush(err_);
    std::string line;
    if (!readLine(line)) {
      writeText(err_, "\n");
      return refusal(kind);
    }
    char c = line.empty() ? 0 : line[0];
    if (kind != QuestionKind::OkCancel && (c == 'y' || c == 'Y')) return Answer::Yes;
    if (kind != QuestionKind::OkCancel && (c == 'n' || c == 'N')) return Answer::No;
    if (kind == QuestionKind::OkCancel && (c == 'o' || c == 'O')) return Answer::Ok;
    if (kind != QuestionKind::YesNo && (c == 'c' || c == 'C')) return Answer::Cancel;
  }
}

void TerminalInteraction::tell(MessageKind, std::string_view text, std::string_view) {
  writeText(err_, text);
  writeText(err_, "\n");
  std::fflush(err_);
}

bool TerminalInteraction::input(std::string_view prompt, std::string_view, std::string& value) {
  if (!interactive_) return false;
  writeText(err_, prompt);
  writeText(err_, ": ");
  std::fflush(err_);
  std::string line;
  if (!readLine(line)) return false;
  value = line;
  return true;
}

}  // namespace ritoma
