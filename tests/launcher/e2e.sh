#!/usr/bin/env bash
# The launcher end to end: the real program under Wine and Xvfb, clicked with
# xdotool, looked at from inside Wine with WindowProbe and on screen with
# ImageMagick. Five starts:
#   1. a normal start: caption, client area, banner, CJK captions (which
#      font Wine realizes for them is checked in forms_tests), the working
#      folder holding exactly the two unpacked tools with their archive
#      bytes and times, the temporary archive gone, a present tool started
#      in the working folder, a missing one doing nothing;
#   1b. a second start in the same folder replacing both tools, read-only
#      and damaged copies included; both buttons start their tools;
#   1c. a start while a tool of the earlier start still runs: its file
#      cannot be replaced, the engine's failure box asks what to do, and
#      Abort lets the window open;
#   2. a start that cannot write its archive (file size limit 0): the empty
#      temporary file stays and nothing is shown;
#   3. a start whose archive cannot be opened (the embedded bytes zeroed in a
#      copy of the program): the box "初始化错误", and the temporary file stays.
# Screenshots are kept in OUT.
#
#   e2e.sh LAUNCHER.exe TOOL.exe WindowProbe.exe BANNER.jpg ARCHIVE.zip OUT
set -euo pipefail
launcher=$(realpath "$1") tool=$(realpath "$2") probe_exe=$(realpath "$3")
banner=$(realpath "$4") archive=$(realpath "$5") out=$(realpath -m "$6")
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine} WINEDEBUG=-all
im=/usr/bin  # Debian's ImageMagick, whatever else is on PATH
caption='Vantrel 1.0 www.vantrel.example'
caption_re='^Vantrel 1\.0 www\.vantrel\.example$'

rm -rf "$out"
mkdir -p "$out"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { # description, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

jobs_started=()
xvfb_pid=
cleanup() {
  for title in "$caption" Vantrel; do probe close "$title" || true; done
  for pid in "${jobs_started[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# A screen of its own: other suites' dialogs, centred like the launcher,
# must not come between a click or a screenshot and the launcher.
for _ in $(seq 20); do
  display_no=$((200 + RANDOM % 100))
  [ -e "/tmp/.X11-unix/X$display_no" ] || break
done
Xvfb ":$display_no" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display_no" ] && break; sleep 0.1; done
export DISPLAY=":$display_no"
"$root/scripts/wine-exec" --prepare
"$root/scripts/wine-cjk-fonts"
# One server for all the starts below, and never one started under the file
# size limit of the second case.
wineserver -p30 2>/dev/null || true

probe() { "$root/scripts/wine-exec" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# Starts a launcher with TMP and TEMP pointing at a folder of its own; Wine
# takes those two from its registry, so they are set inside Wine.
start_launcher() { # exe temp-folder [file-size-limit]
  local exe=$1 temp=$2 limit=${3:-unlimited}
  mkdir -p "$temp"
  (
    ulimit -f "$limit"
    trap '' XFSZ  # a write past the limit fails instead of killing the program
    exec "$root/scripts/wine-exec" cmd /c "set TMP=$(winpath "$temp")&& set TEMP=$(winpath "$temp")&& $(winpath "$exe")"
  ) >/dev/null 2>&1 &
  jobs_started+=($!)
}

# The process id (as Wine counts) of the window with this title.
pid_of() { probe list | awk -F'|' -v t="$1" '$2 == t { sub(/^window /, "", $1); print $1; exit }'; }
# The titles of every visible window of that process but the main one.
other_windows_of() { probe list | awk -F'|' -v p="window $1" -v t="$caption" '$1 == p && $2 != t { print $2 }'; }

temp_files() { find "$1" -maxdepth 1 -name 'tmp*.tmp' -printf '%s\n'; }

rmse() { # the normalised root-mean-square difference of two pictures
  "$im/compare" -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'
}
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a != "" && a < b) }'; }

# ---- 1. a normal start
temp=$out/temp-normal
start_launcher "$launcher" "$temp"
if ! window=$(timeout 120 xdotool search --sync --onlyvisible --name "$caption_re" | head -n 1); then
  fail "the main window never appeared"
  exit 1
fi
check "xdotool sees the caption" test "$(xdotool getwindowname "$window")" = "$caption"

info=$(probe info "$caption") || true
echo "$info" | sed 's/^/  /'
check "client area 349 x 115" grep -qx 'client 349 115' <<<"$info"
read -r ox oy < <(awk '$1 == "origin" { print $2, $3 }' <<<"$info")

button_line() { grep -i "^control Button|$1|" <<<"$info" || true; }
b1=$(button_line 'IE设置工具')
b2=$(button_line 'IE修复工具')
check "Button1 at 32,24 sized 75 x 25" grep -q '|32,24,75,25$' <<<"$b1"
check "Button2 at 32,64 sized 75 x 25" grep -q '|32,64,75,25$' <<<"$b2"
# The banner, unscaled from the image area's corner and clipped to 185 x 65.
# Painting happens when the program gets to it, so look until it shows.
"$im/convert" "$banner" -crop 185x65+0+0 +repage "$out/banner-expected.png"
for _ in $(seq 60); do
  "$im/import" -window root "$out/launcher.png"
  "$im/convert" "$out/launcher.png" -crop "185x65+$((ox + 144))+$((oy + 24))" +repage "$out/banner-shown.png"
  below "$(rmse "$out/banner-shown.png" "$out/banner-expected.png")" 0.03 && break
  sleep 0.5
done
shown=$(rmse "$out/banner-shown.png" "$out/banner-expected.png")
check "banner pixels in the image area (RMSE $shown)" below "$shown" 0.03
# One pixel to the right is not the banner's place: the comparison can tell.
"$im/convert" "$out/launcher.png" -crop "185x65+$((ox + 145))+$((oy + 24))" +repage "$out/banner-shifted.png"
check "a shifted crop does not match" below 0.03 "$(rmse "$out/banner-shifted.png" "$out/banner-expected.png")"

# The captions share "IE" and "工具" and differ in two CJK characters: drawn
# as boxes they would be the same picture. The crop keeps inside the focus
# rectangle.
crop_caption() { # line, output
  IFS='|' read -r _ _ bounds _ <<<"$1"
  IFS=, read -r x y _ _ <<<"$bounds"
  "$im/convert" "$out/launcher.png" -crop "65x15+$((ox + x + 5))+$((oy + y + 5))" +repage "$2"
}
crop_caption "$b1" "$out/button1-caption.png"
crop_caption "$b2" "$out/button2-caption.png"
differing=$("$im/compare" -metric AE -fuzz 20% "$out/button1-caption.png" "$out/button2-caption.png" null: 2>&1 || true)
check "the two captions differ where their CJK characters do ($differing pixels)" test "${differing%%.*}" -gt 20
for n in 1 2; do
  ink=$("$im/convert" "$out/button$n-caption.png" -colorspace Gray -threshold 50% -format '%[fx:mean]' info:)
  check "caption $n has ink" below "$ink" 0.95
done

# The unpacking: exactly the two tools, as the archive holds them, with the
# archive's times (both sides read them in the same local time zone).
workdir=$temp/$caption
unpacked_as_archived() { # folder
  python3 - "$archive" "$1" <<'PY'
import os, sys, time, zipfile
archive, folder = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive) as z:
    names = sorted(i.filename for i in z.infolist())
    assert sorted(os.listdir(folder)) == names, (os.listdir(folder), names)
    for info in z.infolist():
        path = os.path.join(folder, info.filename)
        assert open(path, "rb").read() == z.read(info), info.filename + " differs"
        shown = time.localtime(os.stat(path).st_mtime)[:6]
        assert shown == info.date_time, (info.filename, shown, info.date_time)
        assert os.access(path, os.W_OK), info.filename + " is read-only"
PY
}
check "the working folder holds exactly the unpacked tools, bytes and times as archived" \
  unpacked_as_archived "$workdir"
check "the temporary archive is deleted after a good start" test -z "$(temp_files "$temp")"

# Tools: IEsetup.exe present, ie_tool.exe taken away.
rm -f "$workdir/ie_tool.exe"
click() { # control line
  IFS='|' read -r _ _ bounds _ <<<"$1"
  IFS=, read -r x y w h <<<"$bounds"
  xdotool mousemove "$((ox + x + w / 2))" "$((oy + y + h / 2))" click 1
}
# The missing tool's button first: had it called the shell, the shell's
# error box would hold the launcher before it saw the second click.
click "$b2"
click "$b1"
tool_title="IEsetup.exe - $(winpath "$workdir")"
check "the present tool started with the working folder as its current folder" \
  test "$(probe wait "$tool_title")" = "$tool_title"
"$im/import" -window root "$out/tool-started.png"
launcher_pid=$(pid_of "$caption")
check "nothing else shown by the launcher" test -z "$(other_windows_of "$launcher_pid")"
check "no window of the missing tool" bash -c "! grep -q '|ie_tool.exe' <<<\"\$1\"" _ "$(probe list)"
probe close "$tool_title"
probe close "$caption"
probe gone "$caption"

# ---- 1b. a second start replaces both tools, read-only and damaged copies too
for name in IEsetup.exe ie_tool.exe; do
  printf 'not the tool' > "$workdir/$name"
  chmod a-w "$workdir/$name"
done
start_launcher "$launcher" "$temp"
check "the main window appears again" test "$(probe wait "$caption")" = "$caption"
check "both tools are unpacked again over read-only copies" unpacked_as_archived "$workdir"
check "the temporary archive is deleted again" test -z "$(temp_files "$temp")"
click "$b1"
click "$b2"
setup_title="IEsetup.exe - $(winpath "$workdir")"
repair_title="ie_tool.exe - $(winpath "$workdir")"
check "Button1 starts the unpacked IEsetup.exe" test "$(probe wait "$setup_title")" = "$setup_title"
check "Button2 starts the unpacked ie_tool.exe" test "$(probe wait "$repair_title")" = "$repair_title"
"$im/import" -window root "$out/tools-started.png"
probe close "$repair_title"
probe close "$caption"
probe gone "$caption"

# ---- 1c. IEsetup.exe still runs: its file cannot be replaced
start_launcher "$launcher" "$temp"
box=$(probe wait Confirm "$caption") || true
"$im/import" -window root "$out/launcher-tool-running.png"
check "the engine's failure box comes before the main window" test "$box" = Confirm
check "the box names the file that cannot be replaced" \
  bash -c "grep -q '|Confirm|.*IEsetup.exe.*File processing error, possibly disk is full' <<<\"\$1\"" _ "$(probe list)"
probe close Confirm  # closing the box answers Abort
check "the main window opens after Abort" test "$(probe wait "$caption")" = "$caption"
check "the running tool's file is left as it was" cmp -s "$workdir/IEsetup.exe" <(unzip -p "$archive" IEsetup.exe)
probe close "$caption"
probe gone "$caption"
probe close "$setup_title"
probe gone "$setup_title"

# ---- 2. the archive cannot be written
temp=$out/temp-unwritable
start_launcher "$launcher" "$temp" 0
check "the main window appears" test "$(probe wait "$caption")" = "$caption"
"$im/import" -window root "$out/launcher-unwritable.png"
check "the empty temporary file stays" test "$(temp_files "$temp")" = 0
check "nothing else shown" test -z "$(other_windows_of "$(pid_of "$caption")")"
probe close "$caption"
probe gone "$caption"

# ---- 3. the archive cannot be opened
temp=$out/temp-damaged
mkdir -p "$out/damaged"
python3 - "$launcher" "$archive" "$out/damaged/Vantrel.exe" <<'PY'
import sys
program, archive, output = (open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read(), sys.argv[3])
at = program.find(archive)
assert at >= 0 and program.find(archive, at + 1) < 0, "the archive is not embedded once"
open(output, "wb").write(program[:at] + bytes(len(archive)) + program[at + len(archive):])
PY
start_launcher "$out/damaged/Vantrel.exe" "$temp"
first=$(probe wait Vantrel "$caption") || true
"$im/import" -window root "$out/launcher-damaged.png"
check "a box comes before the main window" test "$first" = Vantrel
check "the box says 初始化错误" bash -c "grep -q '|Vantrel|.*初始化错误' <<<\"\$1\"" _ "$(probe list)"
check "the temporary file stays, whole" test "$(temp_files "$temp")" = "$(stat -c %s "$archive")"
probe close Vantrel
check "the main window opens after the box" test "$(probe wait "$caption")" = "$caption"
probe close "$caption"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed; screenshots in $out" >&2
  exit 1
fi
echo "all checks passed; screenshots in $out"
