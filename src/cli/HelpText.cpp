#include "cli/HelpText.h"

#include "shell/License.h"

namespace ritoma {

std::string HelpText::page() {
  return R"(Usage: ritoma-cli list [--sort KEY[,desc]] [--archive] [--folders] [--tsv]
                       PATH...
       ritoma-cli plan [OPTIONS] PATH...
       ritoma-cli run  [OPTIONS] PATH...
       ritoma-cli undo [--yes] [--tsv] [--force-temp[=MARKER]]
       ritoma-cli undo --list [--tsv]
       ritoma-cli recover [--yes | --discard] [--tsv]
       ritoma-cli plugins [--tsv]
       ritoma-cli --help | --version

  list     show the rows the batch would take, as the listing finds them
  plan     show the plan and its check; change nothing
  run      check, then execute; write the undo file
  undo     run the reverse plan of the latest batch; repeated, walk back
  recover  put back what an interrupted run left (see Recovery)
  plugins  list the extension-macro plug-ins in service: letter, name, file
           and information; files that do not load are named on standard
           error with the reason

Renames a batch of files the way the Ritoma window does: the files are
selected and ordered, new names are built in stages, the plan is checked,
and only a clean plan is executed. Options and paths may come in any order;
"--" ends the options. Long options take their value as --opt=VALUE or
--opt VALUE, short ones as -xVALUE or -x VALUE.

Selection
  PATH...                 one folder (its files that are neither hidden nor
                          system), or files of one folder; paths in several
                          folders are refused
  --archive               PATH is one .lzh or .zip file: rename the files
                          stored in it (only names change)
  --folders               with --archive: the directory entries are rows
                          too (a Mac ZIP's folders, for -c compose)
  --sort KEY[,desc]       order by name, ext, size or date (default: name,
                          ascending; folders first, letters without case)
  --keep-order            keep the order of the PATH arguments instead

Conversion stages (applied in the order given, each to the names the stage
before produced)
  -t, --template TEMPLATE
                          build names from a template: /f name, /e extension,
                          /n serial number, /K /k key numbering, /D date,
                          /T time, /s size, /o parent folder, // a slash,
                          /xL the plug-in in service with letter L (see
                          plugins); option blocks as in the window, e.g.
                          /n<1,4>, /xC<3>
  -e, --ext-template TEMPLATE
                          the extension template of the -t before it; without
                          it the extension is kept; -e '' gives names without
                          extension and without a dot
  -r, --replace SEARCH    replace texts: several searches separated by "|";
                          "*" and "?" are wildcards
  -w, --with REPLACEMENT  the replacements of the -r before it, separated by
                          "|" in the same way (default: empty, which deletes)
  -c, --chars OP          character-type conversion, OP one of:
                            lower        upper case to lower case
                            upper        lower case to upper case
                            swapcase     swap upper and lower case
                            words-lower  capital word starts, rest lower case
                            words        capital word starts, rest unchanged
                            to-full      half width to full width
                            to-half      full width to half width
                            swap-width   swap half and full width
                            to-katakana  hiragana to katakana
                            to-hiragana  katakana to hiragana
                            swap-kana    swap hiragana and katakana
                            compose      join separated voiced marks and
                                         accents (Unicode NFC, as names
                                         made on a Mac need), whole name
  --classes LIST          for to-full, to-half and swap-width: the character
                          classes that change, a comma list of letters,
                          digits, kana (or kana-single: voiced marks stay
                          separate), other (or other-nospace: the space
                          stays); default all four
  --delimiters TEXT       for words and words-lower: the word delimiters
                          (space and "." always count; default from the
                          settings file)

Modifiers of the -r or -c before them
  --target name|ext|both  the part of the name that changes (default name;
                          width and kana operations change the name only,
                          compose the whole name)
  --from-right            -r: search from the right end
  --ignore-case           -r: letters match without regard to case
  --skip N                -r: leave the first N matches (0-999)
  --count N               -r: replace at most N matches (1-9; 0 = all)

  --key N[,N...]          rows (counted from 1, after ordering) that carry
                          the key mark for /K and /k; may be repeated

Execution
  --force-temp[=MARKER]   rename through temporary names MARKER+old name
                          (default "@"), so that names can be swapped
  --copy-to DIR           copy the files under their new names into DIR
                          instead of renaming them
  --ignore-errors         with --copy-to: copy the rows that do not collide
                          and leave the others
  --dummy-text TEXT       with --copy-to: write TEXT (UTF-8, as given) into
                          each copy instead of the file; empty TEXT writes
                          empty files
  --dummy-bytes FIRST,COUNT
                          with --copy-to: write COUNT bytes of each file from
                          byte FIRST (0 = the start) on, fewer where the file
                          ends sooner (0-32767 each)
  --dummy-lines FIRST,COUNT[,MAXBYTES]
                          with --copy-to: write COUNT lines of each file from
                          line FIRST (1 = the first) on, each ending in CR LF,
                          cut to at most MAXBYTES bytes (1-32767; 0-32767)
  --dummy-from-archive N[,ext][,fallback=text|excerpt]
                          with --copy-to: write the N-th stored file (folders
                          not counted) of each .lzh and .zip file; with ext
                          the copy takes that file's extension, numbered as
                          in "b (1).txt" where the name is taken. Other files
                          get the content of --dummy-text, --dummy-bytes or
                          --dummy-lines, or the one fallback= names, and so
                          does an archive that cannot give its stored file
                          (damaged or unreadable, the file a link or over
                          1 GiB): each such copy is named on standard error
                          with the reason, a warning that leaves the exit
                          status as it is.
                          Without --dummy-... options nothing is read from
                          the settings section [Dummy]; with them, what they
                          leave open (the text of fallback=text, the cut-out
                          of fallback=excerpt) comes from there. A dummy that
                          cannot be written fails the run, and the dummies it
                          wrote are removed
  --created TIME          set the creation time of every file row
  --modified TIME         set the last-write time of every file row
  --accessed TIME         set the last-access time of every file row
                          (TIME as "yyyy/mm/dd hh:mm:ss", local time)
  --attributes SHRA       set exactly these attributes on every file row:
                          four characters in the order S (system), H (hidden),
                          R (read-only), A (archive), each its letter or "-"

Undo
  undo                    rename the files of the latest in-place run back and
                          restore their times and attributes. The last ten
                          batches are kept: each undo takes its batch out, so
                          the next one reverses the batch before it. A batch
                          run after an undo goes on top of what is left; the
                          batches undone are gone (there is no redo)
  --list                  show the kept batches, the one undo reverses next
                          first: NO, when it ran, ROWS, STATE and FOLDER.
                          STATE is ok, changed (files renamed or removed
                          since: undo asks first), folder missing, damaged or
                          too large. Nothing is changed
  --yes                   answer the questions of undo with yes; without it a
                          question is asked on a terminal, and the answer is
                          no when there is no terminal
  --force-temp[=MARKER]   undo through temporary names (needed after a swap)

Recovery
  A run that renames in place, or changes times or attributes in place, or
  rewrites an archive, keeps a journal "Ritoma.jnl" beside the undo file
  until it ends. When a run was interrupted (killed, a crash, a power cut),
  the journal stays, and every other command refuses to run (status 2)
  until it is dealt with:
  recover                 return every file of the interrupted run to its
                          old name (temporary names included) and restore the
                          times and attributes it had before; an archive gets
                          back its backup. Safe to interrupt and run again.
                          The rows are printed as by undo: the name the run
                          gave, the old name, and ok or failed. Temporary
                          files a killed run left beside the journal go too
  --yes                   answer its question with yes (see undo)
  --discard               give up a journal that can never finish (damaged,
                          its folder gone, a file gone under both names):
                          it is kept under a dated name beside it
                          ("Ritoma.jnl.YYYYMMDD-HHMMSS"), named on standard
                          error; no file is moved

General
  --config-dir DIR        where "Ritoma.ini" (macro defaults, word
                          delimiters, progress thresholds, the plug-ins in
                          service), the undo file
                          "Ritoma.und" (older batches "Ritoma.und.1" to ".9")
                          and the journal "Ritoma.jnl" are read and written
                          (default: the program's folder when writable, else
                          ~/.config/ritoma)
  --tsv                   print one line per row: OLD<TAB>NEW<TAB>STATUS
                          (a tab, line feed or carriage return inside a name
                          is written \t, \n or \r)
  -h, --help              show this page
  --version               show the version

Output
  A table of old name, new name and status, in UTF-8. STATUS is ok, blocked
  (the new name is still held by a later row), exists (the new name exists
  outside the batch), temp-exists (the temporary name exists), temp-too-long
  (the temporary name, marker and old name, is longer than 255 bytes),
  header-too-long (the entry's new LZH header would be larger than 64 KiB),
  failed (the operation of this row failed), or the name check's text for
  that row.
  After a failed run no row reads ok: a row reads rolled back (changed by
  the run and put back), not rolled back (changed and left so: the message
  names each such file as it is named now, and recover puts them back),
  not run (the run ended before it), or copied (its copy stays in the copy
  folder; the message names the copies); the row that failed reads failed,
  with what was left of it after a comma.
  Messages and progress (on a terminal only) go to standard error; the
  message of a failed run gives each failed row's name and the system's
  reason.
  list prints KIND, SIZE, MODIFIED, ATTRS (S, H, R, A; "-" for a clear
  bit) and NAME, with --tsv one line per row with tabs between them. KIND
  is file, folder, link (a symbolic link, described by its own size, time
  and attributes, never by what it points to), link→missing (a link
  to nothing) or other (a device, a pipe or a socket: a batch refuses it).

Exit status
  0  success (plan: the plan is clean)
  1  the check found errors or marks, or a question was answered no;
     nothing was changed
  2  usage error or unreadable input; an interrupted run waits for recover
  3  execution failed (renames in place were rolled back); undo: none of
     the recorded files was found (the undo file stays); recover: some
     rows are not back (the journal stays for another try)
)";
}

std::string HelpText::version() {
  return std::string("ritoma-cli ") + RITOMA_VERSION + "\n" + LicenseLine + "\n";
}

std::string HelpText::usageHint() { return "Try 'ritoma-cli --help' for more information.\n"; }

}  // namespace ritoma
