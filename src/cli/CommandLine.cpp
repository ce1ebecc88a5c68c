#include "cli/CommandLine.h"

#include <array>
#include <charconv>
#include <string_view>
#include <vector>

#include "cli/UsageError.h"
#include "conversion/CharConverter.h"
#include "execution/RunOptions.h"
#include "settings/DummySettings.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

using Command = CommandLine::Command;
using Options = CommandLine::Options;
using Stage = CommandLine::Stage;
using StageKind = CommandLine::StageKind;
using Target = CommandLine::Target;
using ClassState = CommandLine::ClassState;

enum class ArgKind { None, Required, Optional };

// Commands an option is accepted with.
enum CommandSet : unsigned {
  InPlan = 1,
  InRun = 2,
  InUndo = 4,
  InRecover = 8,
  InList = 16,
  InPlugins = 32,
  InBatch = InPlan | InRun,
  InSelection = InBatch | InList,
  InAll = InPlan | InRun | InUndo | InRecover | InList | InPlugins,
};

unsigned commandBit(Command command) {
  switch (command) {
    case Command::List: return InList;
    case Command::Plan: return InPlan;
    case Command::Run: return InRun;
    case Command::Undo: return InUndo;
    case Command::Recover: return InRecover;
    case Command::Plugins: return InPlugins;
    default: return 0;
  }
}

// Parser state shared by the option handlers.
struct State {
  Options options;
  // Index of the stage the stage modifiers attach to, if any.
  std::optional<std::size_t> lastStage;
  bool lastHasExt = false;
  bool lastHasWith = false;
  std::string optionName;  // as typed, for messages
};

using Handler = void (*)(State&, const std::string&);

struct OptionSpec {
  std::string_view longName;
  char shortName;
  ArgKind arg;
  unsigned commands;
  Handler handle;
};

[[noreturn]] void fail(const std::string& message) { throw UsageError(message); }

int parseCount(const State& state, const std::string& value, int maximum) {
  int number = 0;
  const char* end = value.data() + value.size();
  auto [ptr, ec] = std::from_chars(value.data(), end, number);
  if (value.empty() || value[0] == '+' || value[0] == '-' || ec != std::errc() || ptr != end ||
      number > maximum) {
    fail(state.optionName + " needs a whole number from 0 to " + std::to_string(maximum) +
         ", not '" + value + "'");
  }
  return number;
}

Stage& newStage(State& state, StageKind kind) {
  state.options.stages.push_back(Stage{});
  state.options.stages.back().kind = kind;
  state.lastStage = state.options.stages.size() - 1;
  state.lastHasExt = false;
  state.lastHasWith = false;
  return state.options.stages.back();
}

// The stage a modifier applies to: the last one, of one of the given kinds.
Stage& modifiedStage(State& state, bool replaceAllowed, bool charsAllowed) {
  std::string wanted = replaceAllowed && charsAllowed ? "-r or -c"
                       : replaceAllowed              ? "-r"
                                                     : "-c";
  if (!state.lastStage) fail(state.optionName + " must follow a " + wanted + " stage");
  Stage& stage = state.options.stages[*state.lastStage];
  bool fits = (replaceAllowed && stage.kind == StageKind::Replace) ||
              (charsAllowed && stage.kind == StageKind::Chars);
  if (!fits) fail(state.optionName + " must follow a " + wanted + " stage");
  return stage;
}

struct CharOperation {
  std::string_view name;
  int position;
};

constexpr std::array<CharOperation, 12> kCharOperations{{
    {"lower", 1},
    {"upper", 2},
    {"swapcase", 3},
    {"words-lower", 5},
    {"words", 6},
    {"to-full", 8},
    {"to-half", 9},
    {"swap-width", 10},
    {"to-katakana", 12},
    {"to-hiragana", 13},
    {"swap-kana", 14},
    {"compose", CharConverter::ComposePosition},
}};

bool isCaseOperation(int position) { return position >= 1 && position <= 6; }
bool isWordOperation(int position) { return position == 5 || position == 6; }
bool isWidthOperation(int position) { return position >= 8 && position <= 10; }

void handleTemplate(State& state, const std::string& value) {
  newStage(state, StageKind::Template).text = value;
}

void handleExtTemplate(State& state, const std::string& value) {
  if (!state.lastStage || state.options.stages[*state.lastStage].kind != StageKind::Template) {
    fail(state.optionName + " must follow a -t stage");
  }
  if (state.lastHasExt) fail("only one " + state.optionName + " per -t stage");
  state.options.stages[*state.lastStage].extTemplate = value;
  state.lastHasExt = true;
}

void handleReplace(State& state, const std::string& value) {
  newStage(state, StageKind::Replace).text = value;
}

void handleWith(State& state, const std::string& value) {
  if (!state.lastStage || state.options.stages[*state.lastStage].kind != StageKind::Replace) {
    fail(state.optionName + " must follow a -r stage");
  }
  if (state.lastHasWith) fail("only one " + state.optionName + " per -r stage");
  state.options.stages[*state.lastStage].replacement = value;
  state.lastHasWith = true;
}

void handleChars(State& state, const std::string& value) {
  for (const CharOperation& op : kCharOperations) {
    if (op.name == value) {
      Stage& stage = newStage(state, StageKind::Chars);
      stage.charOperation = op.position;
      // A width operation without --classes changes every class: asking
      // for "to-full" and getting nothing would surprise anyone.
      if (isWidthOperation(op.position)) {
        stage.letters = stage.digits = true;
        stage.kana = stage.other = ClassState::On;
      }
      return;
    }
  }
  std::string names;
  for (const CharOperation& op : kCharOperations) {
    names += names.empty() ? "" : ", ";
    names += op.name;
  }
  fail("unknown character operation '" + value + "' (one of " + names + ")");
}

void handleClasses(State& state, const std::string& value) {
  Stage& stage = modifiedStage(state, false, true);
  if (!isWidthOperation(stage.charOperation)) {
    fail(state.optionName + " applies only to to-full, to-half and swap-width");
  }
  stage.letters = stage.digits = false;
  stage.kana = stage.other = ClassState::Off;
  std::string_view rest = value;
  while (!rest.empty()) {
    std::size_t comma = rest.find(',');
    std::string_view item = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    if (item == "letters") {
      stage.letters = true;
    } else if (item == "digits") {
      stage.digits = true;
    } else if (item == "kana" || item == "kana-single") {
      if (stage.kana != ClassState::Off) fail("kana and kana-single exclude each other");
      stage.kana = item == "kana" ? ClassState::On : ClassState::Grayed;
    } else if (item == "other" || item == "other-nospace") {
      if (stage.other != ClassState::Off) fail("other and other-nospace exclude each other");
      stage.other = item == "other" ? ClassState::On : ClassState::Grayed;
    } else {
      fail("unknown character class '" + std::string(item) +
           "' (letters, digits, kana, kana-single, other, other-nospace)");
    }
  }
}

void handleDelimiters(State& state, const std::string& value) {
  Stage& stage = modifiedStage(state, false, true);
  if (!isWordOperation(stage.charOperation)) {
    fail(state.optionName + " applies only to words and words-lower");
  }
  stage.delimiters = value;
}

void handleTarget(State& state, const std::string& value) {
  Stage& stage = modifiedStage(state, true, true);
  Target target;
  if (value == "name") {
    target = Target::Name;
  } else if (value == "ext") {
    target = Target::Ext;
  } else if (value == "both") {
    target = Target::Both;
  } else {
    fail(state.optionName + " takes name, ext or both, not '" + value + "'");
  }
  if (stage.kind == StageKind::Chars && stage.charOperation == CharConverter::ComposePosition) {
    fail("compose works on the whole name and takes no " + state.optionName);
  }
  if (stage.kind == StageKind::Chars && target != Target::Name &&
      !isCaseOperation(stage.charOperation)) {
    fail("width and kana operations work on the name part only");
  }
  stage.target = target;
}

void handleFromRight(State& state, const std::string&) {
  modifiedStage(state, true, false).fromRight = true;
}

void handleIgnoreCase(State& state, const std::string&) {
  modifiedStage(state, true, false).ignoreCase = true;
}

void handleSkip(State& state, const std::string& value) {
  modifiedStage(state, true, false).skip = parseCount(state, value, 999);
}

void handleCount(State& state, const std::string& value) {
  modifiedStage(state, true, false).count = parseCount(state, value, 9);
}

void handleKey(State& state, const std::string& value) {
  std::string_view rest = value;
  do {
    std::size_t comma = rest.find(',');
    std::string item(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    int row = parseCount(state, item, 999999999);
    if (row == 0) fail(state.optionName + " rows count from 1");
    state.options.keyRows.push_back(row);
  } while (!rest.empty());
}

void handleSort(State& state, const std::string& value) {
  std::string_view key = value;
  bool descending = false;
  std::size_t comma = key.find(',');
  if (comma != std::string_view::npos) {
    std::string_view direction = key.substr(comma + 1);
    if (direction == "desc") {
      descending = true;
    } else if (direction != "asc") {
      fail(state.optionName + " direction is asc or desc, not '" + std::string(direction) + "'");
    }
    key = key.substr(0, comma);
  }
  using SortKey = CommandLine::SortKey;
  if (key == "name") {
    state.options.sortKey = SortKey::Name;
  } else if (key == "ext") {
    state.options.sortKey = SortKey::Ext;
  } else if (key == "size") {
    state.options.sortKey = SortKey::Size;
  } else if (key == "date") {
    state.options.sortKey = SortKey::Date;
  } else {
    fail(state.optionName + " takes name, ext, size or date, not '" + std::string(key) + "'");
  }
  state.options.sortDescending = descending;
}

void handleKeepOrder(State& state, const std::string&) { state.options.keepOrder = true; }
void handleArchive(State& state, const std::string&) { state.options.archive = true; }

void handleFolders(State& state, const std::string&) { state.options.folders = true; }

void handleForceTemp(State& state, const std::string& value) {
  if (value.empty()) fail(state.optionName + " needs a non-empty marker");
  const std::string error = RunOptions::markerError(TextCodec::fromUtf8(value));
  if (!error.empty()) fail(state.optionName + ": " + error);
  state.options.forceMarker = value;
}

void handleCopyTo(State& state, const std::string& value) {
  if (value.empty()) fail(state.optionName + " needs a folder");
  state.options.copyTo = value;
}

void handleIgnoreErrors(State& state, const std::string&) { state.options.ignoreErrors = true; }

// The comma-separated items of an option's value.
std::vector<std::string> items(const std::string& value) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = value.find(',', from);
    out.push_back(value.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
    if (comma == std::string::npos) return out;
    from = comma + 1;
  }
}

void handleDummyText(State& state, const std::string& value) { state.options.dummy.text = value; }

void handleDummyBytes(State& state, const std::string& value) {
  const std::vector<std::string> parts = items(value);
  if (parts.size() != 2) fail(state.optionName + " takes FIRST,COUNT, not '" + value + "'");
  state.options.dummy.bytesFirst = parseCount(state, parts[0], DummySettings::MaxNumber);
  state.options.dummy.bytesCount = parseCount(state, parts[1], DummySettings::MaxNumber);
}

void handleDummyLines(State& state, const std::string& value) {
  const std::vector<std::string> parts = items(value);
  if (parts.size() != 2 && parts.size() != 3)
    fail(state.optionName + " takes FIRST,COUNT[,MAXBYTES], not '" + value + "'");
  const int first = parseCount(state, parts[0], DummySettings::MaxNumber);
  const int count = parseCount(state, parts[1], DummySettings::MaxNumber);
  if (first == 0 || count == 0) fail(state.optionName + " counts lines from 1, not '" + value + "'");
  state.options.dummy.linesFirst = first;
  state.options.dummy.linesCount = count;
  if (parts.size() == 3) state.options.dummy.linesMaxBytes = parseCount(state, parts[2], DummySettings::MaxNumber);
}

void handleDummyFromArchive(State& state, const std::string& value) {
  const std::vector<std::string> parts = items(value);
  CommandLine::Dummy& dummy = state.options.dummy;
  const int n = parseCount(state, parts[0], DummySettings::MaxNumber);
  if (n == 0) fail(state.optionName + " counts stored files from 1, not '" + value + "'");
  dummy.archiveNo = n;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (parts[i] == "ext") {
      dummy.archiveExt = true;
    } else if (parts[i] == "fallback=text" || parts[i] == "fallback=excerpt") {
      dummy.fallbackExcerpt = parts[i] == "fallback=excerpt";
    } else {
      fail(state.optionName + " takes N[,ext][,fallback=text|excerpt], not '" + value + "'");
    }
  }
}
void handleCreated(State& state, const std::string& value) { state.options.created = value; }
void handleModified(State& state, const std::string& value) { state.options.modified = value; }
void handleAccessed(State& state, const std::string& value) { state.options.accessed = value; }

void handleAttributes(State& state, const std::string& value) {
  static constexpr std::string_view kLetters = "SHRA";
  bool ok = value.size() == kLetters.size();
  for (std::size_t i = 0; ok && i < value.size(); ++i) {
    ok = value[i] == '-' || value[i] == kLetters[i] ||
         value[i] == static_cast<char>(kLetters[i] - 'A' + 'a');
  }
  if (!ok) {
    fail(state.optionName + " takes four characters in the order S H R A, each its letter or '-'"
         ", not '" + value + "'");
  }
  std::string upper = value;
  for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  state.options.attributes = upper;
}

void handleConfigDir(State& state, const std::string& value) {
  if (value.empty()) fail(state.optionName + " needs a folder");
  state.options.configDir = value;
}

void handleYes(State& state, const std::string&) { state.options.yes = true; }
void handleTsv(State& state, const std::string&) { state.options.tsv = true; }
void handleDiscard(State& state, const std::string&) { state.options.discard = true; }
void handleList(State& state, const std::string&) { state.options.list = true; }

constexpr OptionSpec kOptions[] = {
    {"template", 't', ArgKind::Required, InBatch, handleTemplate},
    {"ext-template", 'e', ArgKind::Required, InBatch, handleExtTemplate},
    {"replace", 'r', ArgKind::Required, InBatch, handleReplace},
    {"with", 'w', ArgKind::Required, InBatch, handleWith},
    {"chars", 'c', ArgKind::Required, InBatch, handleChars},
    {"classes", 0, ArgKind::Required, InBatch, handleClasses},
    {"delimiters", 0, ArgKind::Required, InBatch, handleDelimiters},
    {"target", 0, ArgKind::Required, InBatch, handleTarget},
    {"from-right", 0, ArgKind::None, InBatch, handleFromRight},
    {"ignore-case", 0, ArgKind::None, InBatch, handleIgnoreCase},
    {"skip", 0, ArgKind::Required, InBatch, handleSkip},
    {"count", 0, ArgKind::Required, InBatch, handleCount},
    {"key", 0, ArgKind::Required, InBatch, handleKey},
    {"sort", 0, ArgKind::Required, InSelection, handleSort},
    {"keep-order", 0, ArgKind::None, InSelection, handleKeepOrder},
    {"archive", 0, ArgKind::None, InSelection, handleArchive},
    {"folders", 0, ArgKind::None, InSelection, handleFolders},
    {"force-temp", 0, ArgKind::Optional, InBatch | InUndo, handleForceTemp},
    {"copy-to", 0, ArgKind::Required, InBatch, handleCopyTo},
    {"ignore-errors", 0, ArgKind::None, InBatch, handleIgnoreErrors},
    {"dummy-text", 0, ArgKind::Required, InBatch, handleDummyText},
    {"dummy-bytes", 0, ArgKind::Required, InBatch, handleDummyBytes},
    {"dummy-lines", 0, ArgKind::Required, InBatch, handleDummyLines},
    {"dummy-from-archive", 0, ArgKind::Required, InBatch, handleDummyFromArchive},
    {"created", 0, ArgKind::Required, InBatch, handleCreated},
    {"modified", 0, ArgKind::Required, InBatch, handleModified},
    {"accessed", 0, ArgKind::Required, InBatch, handleAccessed},
    {"attributes", 0, ArgKind::Required, InBatch, handleAttributes},
    {"config-dir", 0, ArgKind::Required, InAll, handleConfigDir},
    {"yes", 0, ArgKind::None, InUndo | InRecover, handleYes},
    {"discard", 0, ArgKind::None, InRecover, handleDiscard},
    {"list", 0, ArgKind::None, InUndo, handleList},
    {"tsv", 0, ArgKind::None, InAll, handleTsv},
    // Answered before anything else is looked at (see parse()).
    {"help", 'h', ArgKind::None, InAll, nullptr},
    {"version", 0, ArgKind::None, InAll, nullptr},
};

constexpr std::string_view kDefaultMarker = "@";

const OptionSpec* findLong(std::string_view name) {
  for (const OptionSpec& option : kOptions) {
    if (option.longName == name) return &option;
  }
  return nullptr;
}

const OptionSpec* findShort(char name) {
  for (const OptionSpec& option : kOptions) {
    if (option.shortName != 0 && option.shortName == name) return &option;
  }
  return nullptr;
}

std::string commandName(Command command) {
  switch (command) {
    case Command::List: return "list";
    case Command::Plan: return "plan";
    case Command::Run: return "run";
    case Command::Recover: return "recover";
    case Command::Plugins: return "plugins";
    default: return "undo";
  }
}

void checkCombination(const Options& o) {
  if (o.command == Command::Undo || o.command == Command::Recover ||
      o.command == Command::Plugins) {
    if (!o.paths.empty()) fail(commandName(o.command) + " takes no paths");
    if (o.discard && o.yes) fail("--discard and --yes exclude each other");
    if (o.list && (o.yes || o.forceMarker)) fail("--list only shows the kept batches: --yes and --force-temp do not apply");
    return;
  }
  if (o.paths.empty()) fail(commandName(o.command) + " needs at least one PATH");
  if (o.sortKey != CommandLine::SortKey::Name || o.sortDescending) {
    if (o.keepOrder) fail("--sort and --keep-order exclude each other");
  }
  if (o.forceMarker && o.copyTo) fail("--force-temp and --copy-to exclude each other");
  if (o.ignoreErrors && !o.copyTo) fail("--ignore-errors works only with --copy-to");
  const CommandLine::Dummy& d = o.dummy;
  if (d.any() && !o.copyTo) fail("the --dummy-... options work only with --copy-to");
  if ((d.text ? 1 : 0) + (d.bytesFirst ? 1 : 0) + (d.linesFirst ? 1 : 0) > 1)
    fail("--dummy-text, --dummy-bytes and --dummy-lines exclude each other");
  if (d.fallbackExcerpt && ((*d.fallbackExcerpt && d.text) ||
                            (!*d.fallbackExcerpt && (d.bytesFirst || d.linesFirst))))
    fail("the fallback of --dummy-from-archive does not match the --dummy-... content given");
  if (o.folders && !o.archive) fail("--folders needs --archive");
  if (o.archive) {
    if (o.paths.size() != 1) fail("--archive takes exactly one archive file");
    if (o.forceMarker || o.copyTo || o.created || o.modified || o.accessed || o.attributes) {
      fail("inside an archive only names change: --force-temp, --copy-to, --created, "
           "--modified, --accessed and --attributes do not apply");
    }
    if (o.stages.empty() && o.command != Command::List)
      fail("--archive needs at least one conversion stage");
  }
}

}  // namespace

CommandLine::Options CommandLine::parse(const std::vector<std::string>& args) {
  // --help and --version win wherever they stand, as long as they are options.
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      Options options;
      options.command = arg == "--version" ? Command::Version : Command::Help;
      return options;
    }
  }
  if (args.empty()) fail("no command given (list, plan, run, undo, recover or plugins)");

  State state;
  const std::string& commandWord = args[0];
  if (commandWord == "list") {
    state.options.command = Command::List;
  } else if (commandWord == "plan") {
    state.options.command = Command::Plan;
  } else if (commandWord == "run") {
    state.options.command = Command::Run;
  } else if (commandWord == "undo") {
    state.options.command = Command::Undo;
  } else if (commandWord == "recover") {
    state.options.command = Command::Recover;
  } else if (commandWord == "plugins") {
    state.options.command = Command::Plugins;
  } else {
    fail("unknown command '" + commandWord + "' (list, plan, run, undo, recover or plugins)");
  }
  const unsigned bit = commandBit(state.options.command);

  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      state.options.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }

    const OptionSpec* option = nullptr;
    std::optional<std::string> attached;  // a value given in the same argument
    if (arg[1] == '-') {
      std::string_view body = std::string_view(arg).substr(2);
      std::size_t eq = body.find('=');
      option = findLong(body.substr(0, eq));
      state.optionName = "--" + std::string(body.substr(0, eq));
      if (!option) fail("unknown option '" + state.optionName + "'");
      if (eq != std::string_view::npos) attached = std::string(body.substr(eq + 1));
    } else {
      option = findShort(arg[1]);
      state.optionName = arg.substr(0, 2);
      if (!option) fail("unknown option '" + state.optionName + "'");
      if (arg.size() > 2) attached = arg.substr(2);
    }
    if (!(option->commands & bit)) {
      fail(state.optionName + " does not apply to " + commandName(state.options.command));
    }

    std::string value;
    switch (option->arg) {
      case ArgKind::None:
        if (attached) fail(state.optionName + " takes no value");
        break;
      case ArgKind::Optional:
        value = attached ? *attached : std::string(kDefaultMarker);
        break;
      case ArgKind::Required:
        if (attached) {
          value = *attached;
        } else if (i + 1 < args.size()) {
          value = args[++i];
        } else {
          fail(state.optionName + " needs a value");
        }
        break;
    }
    option->handle(state, value);
  }

  checkCombination(state.options);
  return std::move(state.options);
}

}  // namespace ritoma
