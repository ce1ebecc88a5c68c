#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR under the prefix /usr and
# checks the installed program: the file list, the version of both
# executables, a plan on a temporary folder that uses the sample plug-in
# from the installed plug-in folder, the desktop entry, the AppStream
# metadata, the man pages and the bash completion.
#
#   check-install.sh BUILD_DIR VERSION GUI(ON|OFF)
set -euo pipefail
build=$1 version=$2 gui=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >"$root/install.log" ||
  { cat "$root/install.log" >&2; exit 1; }
usr="$root/dest/usr"

expected=(
  bin/ritoma-cli
  include/ritoma_plugin.h
  lib/ritoma/plugins/charcount.so
  share/bash-completion/completions/ritoma-cli
  share/doc/ritoma/changelog.gz
  share/doc/ritoma/copyright
  share/man/man1/ritoma-cli.1.gz
  share/ritoma/help/ritoma.html
)
for picture in page1-select page2-edit page3-convert page4-attribute box-confirm dialog-time dialog-dummy1 \
               dialog-setup-filter dialog-setup-archive dialog-macro; do
  expected+=("share/ritoma/help/img/$picture.png")
done
if [ "$gui" = ON ]; then
  expected+=(
    bin/ritoma
    share/applications/org.example.ritoma.desktop
    share/icons/hicolor/scalable/apps/ritoma.svg
    share/kio/servicemenus/ritoma-rename.desktop
    share/man/man1/ritoma.1.gz
    share/metainfo/org.example.ritoma.metainfo.xml
  )
  for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/ritoma.png")
  done
fi
# Nothing more and nothing less: a stray test or benchmark binary would show.
# Plug-ins beyond the sample are welcome in their folder.
actual=$(cd "$usr" && find . -type f | sed 's|^\./||' | grep -v '^lib/ritoma/plugins/' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | grep -v '^lib/ritoma/plugins/' | sort)
if [ "$actual" != "$wanted" ]; then
  fail "installed files differ from the expected list"
  diff <(echo "$wanted") <(echo "$actual") >&2 || true
fi
[ -f "$usr/lib/ritoma/plugins/charcount.so" ] || fail "the sample plug-in is not installed"

# Rendered icons have the size their folder names.
if [ "$gui" = ON ]; then
  for size in 16 48 256; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/ritoma.png"
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
  done
fi

# The crash tests' kill switch is not in the installed program.
! grep -q RITOMA_CLI_KILL_AT "$usr/bin/ritoma-cli" || fail "the installed ritoma-cli reads RITOMA_CLI_KILL_AT"

# Versions from the project's one number; the second line names the licence.
licence="License GPL-3.0-or-later: GNU GPL version 3 or later; see /usr/share/common-licenses/GPL-3"
out=$("$usr/bin/ritoma-cli" --version) || fail "ritoma-cli --version failed"
[ "$out" = "ritoma-cli $version"$'\n'"$licence" ] || fail "ritoma-cli --version printed '$out'"
if [ "$gui" = ON ]; then
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/ritoma" --version) || fail "ritoma --version failed"
  [ "$out" = "ritoma $version"$'\n'"$licence" ] || fail "ritoma --version printed '$out'"
  grep -q "<release version=\"$version\"" "$usr/share/metainfo/org.example.ritoma.metainfo.xml" ||
    fail "the metainfo has no release $version"
fi
for page in "$usr"/share/man/man1/*.1.gz; do
  zcat "$page" | head -1 | grep -q "\"Ritoma $version\"" || fail "$page does not name version $version"
done

# A plan with the sample plug-in, which only the installed plug-in folder
# holds (the settings name the file only).
mkdir -p "$root/work" "$root/cfg" "$root/data"
printf '[MacroEx]\nCount=1\nDLLName-0=charcount.so\nCommand-0=C\n' >"$root/cfg/Ritoma.ini"
: >"$root/work/表ソ.txt"
: >"$root/work/abc.txt"
out=$(XDG_DATA_HOME="$root/data" "$usr/bin/ritoma-cli" plan --tsv --config-dir "$root/cfg" \
  -t '/xC<2>_/f' "$root/work") || fail "plan failed with status $?"
[ "$out" = $'abc.txt\t07_abc.txt\tok\n表ソ.txt\t06_表ソ.txt\tok' ] || fail "plan printed: $out"
[ -e "$root/work/abc.txt" ] || fail "plan changed the folder"

# Without --config-dir the installed program keeps its files in the user's
# config folder, not in its own (here writable) bin folder.
XDG_CONFIG_HOME="$root/xdg" "$usr/bin/ritoma-cli" plan -t '/f' "$root/work" >/dev/null ||
  fail "plan without --config-dir failed with status $?"
[ -d "$root/xdg/ritoma" ] || fail "the installed program did not use \$XDG_CONFIG_HOME/ritoma"
[ ! -e "$usr/bin/Ritoma.ini" ] || fail "the installed program wrote settings into its bin folder"

# Every long option of the usage page is documented in the man page and
# offered by the completion ("--opt" stands for any in the usage page).
help=$("$usr/bin/ritoma-cli" --help)
manText=$(zcat "$usr/share/man/man1/ritoma-cli.1.gz" | sed 's/\\-/-/g')
completionText=$(cat "$usr/share/bash-completion/completions/ritoma-cli")
for option in $(grep -oE -- '--[a-z][a-z-]*[a-z]' <<<"$help" | grep -vx -e --opt | sort -u); do
  grep -qe "$option" <<<"$manText" || fail "ritoma-cli.1 does not document $option"
  grep -qwe "$option" <<<"$completionText" || fail "the completion does not offer $option"
done

# Validators of the desktop entry, the metadata and the man pages.
if [ "$gui" = ON ]; then
  out=$(desktop-file-validate "$usr/share/applications/org.example.ritoma.desktop" 2>&1) ||
    fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  grep -q '^Exec=ritoma %F$' "$usr/share/applications/org.example.ritoma.desktop" ||
    fail "the desktop entry does not start ritoma with %F"
  # The service menu is KDE's own kind of entry: the validator knows neither
  # its type nor the type all/all, and may say nothing else about it.
  menu="$usr/share/kio/servicemenus/ritoma-rename.desktop"
  out=$(desktop-file-validate "$menu" 2>&1 | grep -v \
    -e 'key "MimeType" is present in group "Desktop Entry", but the type is "Service"' \
    -e 'key "Actions" is present in group "Desktop Entry", but the type is "Service"' \
    -e 'contains value "all/all" which is an invalid MIME type') || true
  [ -z "$out" ] || fail "desktop-file-validate (service menu): $out"
  grep -q '^Name=Ritomaで名前を一括変更$' "$menu" || fail "the service menu does not name its action"
  grep -q '^Exec=ritoma %F$' "$menu" || fail "the service menu does not start ritoma with %F"
  [ ! -x "$menu" ] || fail "the service menu under /usr is executable"
  # Into a prefix of the user's, it must be executable for KIO to load it.
  cmake --install "$build" --prefix "$root/home/.local" >"$root/install-home.log" ||
    { cat "$root/install-home.log" >&2; exit 1; }
  [ -x "$root/home/.local/share/kio/servicemenus/ritoma-rename.desktop" ] ||
    fail "the service menu installed into a home prefix is not executable"
  out=$(appstreamcli validate --no-net --pedantic "$usr/share/metainfo/org.example.ritoma.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $out"
  grep -q '<project_license>GPL-3.0-or-later</project_license>' "$usr/share/metainfo/org.example.ritoma.metainfo.xml" ||
    fail "the metainfo does not name the licence"
fi
for page in "$usr"/share/man/man1/*.1.gz; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) || fail "man $page failed"
  [ -z "$out" ] || fail "man --warnings $page: $out"
done

# The completion loads and offers the subcommands.
completion="$usr/share/bash-completion/completions/ritoma-cli"
if [ -f /usr/share/bash-completion/bash_completion ]; then
  out=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_WORDS=(ritoma-cli p); COMP_CWORD=1; COMP_LINE="ritoma-cli p"; COMP_POINT=${#COMP_LINE}
    _ritoma_cli ritoma-cli p ritoma-cli
    echo "${COMPREPLY[*]}"' _ "$completion") || fail "the completion does not load"
  [ "$out" = "plan plugins" ] || fail "the completion offered '$out' for 'p'"
else
  bash -n "$completion" || fail "the completion is not valid bash"
fi

if ((failures)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed tree checked"
