#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ritoma {

// The command line of ritoma-cli, parsed GNU style: long options with
// "--name=value" or "--name value", short options with "-xvalue" or
// "-x value", options and paths in any order, "--" ending the options.
// Conversion stages keep the order in which they were typed; a modifier
// belongs to the -r or -c typed before it. Every text is kept as typed
// (UTF-8); parse() throws UsageError for anything it cannot accept.
class CommandLine {
public:
  enum class Command { List, Plan, Run, Undo, Recover, Plugins, Help, Version };
  enum class StageKind { Template, Replace, Chars };
  // The part of a name a replacement or case operation works on.
  enum class Target { Name = 0, Ext = 1, Both = 2 };
  enum class SortKey { Name = 1, Ext = 2, Size = 3, Date = 4 };
  // A class box of the width operations: the kana and other boxes also
  // have the grayed state.
  enum class ClassState { Off, On, Grayed };

  struct Stage {
    StageKind kind = StageKind::Template;
    // -t: the name template; -r: the "|"-separated search texts.
    std::string text;
    // -e: the extension template of a -t stage; none keeps the extension.
    std::optional<std::string> extTemplate;
    // -w: the "|"-separated replacements of a -r stage.
    std::string replacement;
    // -c: the operation as its position in the operation tree (1-14).
    int charOperation = 0;
    bool letters = false;
    bool digits = false;
    ClassState kana = ClassState::Off;
    ClassState other = ClassState::Off;
    std::optional<std::string> delimiters;
    Target target = Target::Name;
    bool fromRight = false;
    bool ignoreCase = false;
    int skip = 0;
    int count = 0;
  };

  // The dummy-file options: what a copy writes in place of each file.
  struct Dummy {
    std::optional<std::string> text;   // --dummy-text: the text (UTF-8), empty: zero bytes
    std::optional<int> bytesFirst;     // --dummy-bytes FIRST,COUNT
    int bytesCount = 0;
    std::optional<int> linesFirst;     // --dummy-lines FIRST,COUNT[,MAXBYTES]
    int linesCount = 1;
    std::optional<int> linesMaxBytes;
    std::optional<int> archiveNo;      // --dummy-from-archive N[,ext][,fallback=...]
    bool archiveExt = false;
    std::optional<bool> fallbackExcerpt;  // fallback=excerpt (true) or fallback=text

    bool any() const { return text || bytesFirst || linesFirst || archiveNo; }
  };

  struct Options {
    Command command = Command::Help;
    std::vector<std::string> paths;
    bool archive = false;
    bool folders = false;  // with archive: the directory entries are rows too
    SortKey sortKey = SortKey::Name;
    bool sortDescending = false;
    bool keepOrder = false;
    std::vector<Stage> stages;
    std::vector<int> keyRows;  // 1-based, after ordering
    std::optional<std::string> forceMarker;
    std::optional<std::string> copyTo;
    bool ignoreErrors = false;
    Dummy dummy;
    std::optional<std::string> created;
    std::optional<std::string> modified;
    std::optional<std::string> accessed;
    std::optional<std::string> attributes;  // four characters, order S H R A
    std::optional<std::string> configDir;
    bool yes = false;
    bool discard = false;  // recover: set the journal aside instead
    bool list = false;     // undo: show the kept batches instead
    bool tsv = false;
  };

  // `args` are the arguments after the program name.
  static Options parse(const std::vector<std::string>& args);
};

}  // namespace ritoma
