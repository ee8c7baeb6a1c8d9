#!/usr/bin/env bash
# Lapdex on a real X display (Xvfb with the openbox window manager), driven with xdotool as a
# user drives it: with two registered stopwatches, Import opens its folder dialog and the tab
# menu's Delete its confirmation, both close with Escape and the window answers the next
# command; a second start on the same data folder from another session says so and leaves
# the data alone. The language: the system's (LANG), the Language menu at once and remembered
# for the next start, and --lang for one start.
#
# Usage: desktop_e2e.sh LAPDEX LIBRDCOM32
set -euo pipefail

lapdex_bin="${1:?Lapdex}"
library="${2:?libRDCOM32.so.1}"
for tool in Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null || { echo "desktop_e2e: $tool is missing (scripts/test installs it)" >&2; exit 1; }
done

work="$(mktemp -d /tmp/lapdex-desktop-e2e-XXXXXX)"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "desktop_e2e: $*" >&2
    if [ -n "${lapdex_pid:-}" ]; then
        kill -0 "$lapdex_pid" 2>/dev/null && echo "  Lapdex (pid $lapdex_pid) still runs" >&2 || echo "  Lapdex has ended" >&2
        [ -n "${E2E_STACKS:-}" ] && gdb -p "$lapdex_pid" -batch -ex "thread apply all bt 12" 2>/dev/null | grep -E "^#|^Thread" | head -80 >&2
        for w in $(xdotool search --pid "$lapdex_pid" 2>/dev/null); do
            echo "  its window $w: \"$(xdotool getwindowname "$w" 2>/dev/null)\"" >&2
        done
    fi
    [ -f "$work/lapdex.log" ] && sed 's/^/  lapdex: /' "$work/lapdex.log" >&2
    exit 1
}

# waits_for SECONDS COMMAND...: polls COMMAND until it succeeds.
waits_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# The program's folder is its data folder: two registered stopwatches with a run each.
data="$work/data"
mkdir -p "$data/QTM-01" "$data/QTM-02"
cp "$lapdex_bin" "$library" "$data/"
printf '[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\nQTM01_SERIAL=ab8967452301\r\nQTM01_NAME=Alpha\r\nQTM02_SERIAL=0f0e0d0c0b0a\r\nQTM02_NAME=Beta\r\n' \
    > "$data/Lapdex.dat"
printf 'run\r\n' > "$data/QTM-01/QTM240101_101010_ab8967452301.csv"
printf 'run\r\n' > "$data/QTM-02/QTM240101_101010_0f0e0d0c0b0a.csv"

# A display of our own and a window manager, so that windows get the keyboard focus.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
waits_for 15 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager answers for the desktops once it manages the screen; a window mapped
# while it is still starting may be left unmapped.
waits_for 15 xdotool get_num_desktops || fail "openbox did not start"

# No pcscd of this machine is ever asked: the program's reader library talks to a socket
# that does not exist, so a pcscd another test runs is left alone.
# The user's settings (the remembered language) and cache (the run index) stay in the test's
# folder.
system_lang="ja_JP.UTF-8"
start_lapdex() {  # start_lapdex RUNTIME_DIR LOG [ARGUMENTS...]
    mkdir -p -m 700 "$1"
    local runtime="$1" log="$2"
    shift 2
    env -u LC_ALL -u LC_MESSAGES LANG="$system_lang" XDG_CONFIG_HOME="$work/config" \
        XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$runtime" LD_LIBRARY_PATH="$data" \
        PCSCLITE_CSOCK_NAME="$work/no-pcscd.comm" QT_QPA_PLATFORM=xcb "$data/Lapdex" "$@" >"$log" 2>&1 &
    pids+=($!)
    echo $!
}
lapdex_pid="$(start_lapdex "$work/runtime-1" "$work/lapdex.log")"

visible() { xdotool search --onlyvisible --name "$1"; }
main_window() { xdotool search --onlyvisible --pid "$lapdex_pid" --name '^Tarvik K7X Stopwatch$' | head -n1; }
waits_for 30 main_window || fail "the main window did not appear"
wid="$(main_window)"
xdotool windowactivate --sync "$wid" || true

# Presses KEYS in the active window and waits for a window titled TITLE (a regular expression).
opens() {  # opens TITLE KEYS...
    local title="$1"
    shift
    xdotool key --clearmodifiers "$@"
    waits_for 10 visible "$title"
}
# Presses Escape in the window titled TITLE and waits for it to go.
closes_with_escape() {
    local dialog
    dialog="$(visible "$1" | head -n1)"
    xdotool windowactivate --sync "$dialog" 2>/dev/null || true
    xdotool key --clearmodifiers Escape
    waits_for 10 bash -c "! xdotool search --onlyvisible --name '$1' >/dev/null"
}
answers_next_command() {  # the About box opens and closes: the window is alive
    xdotool windowactivate --sync "$wid" || true
    opens '^バージョン情報$' alt+v || fail "$1: the window no longer answers (Version did not open)"
    xdotool key --clearmodifiers Return
    waits_for 10 bash -c "! xdotool search --onlyvisible --name '^バージョン情報$' >/dev/null" ||
        fail "$1: the About box did not close"
}
dat_before="$(md5sum < "$data/Lapdex.dat")"

# Import: the folder dialog opens and closes with Escape.
opens 'インポートするフォルダーを選択してください' alt+i || fail "Import: no folder dialog"
closes_with_escape 'インポートするフォルダーを選択してください' || fail "Import: Escape did not close the folder dialog (hang)"
kill -0 "$lapdex_pid" || fail "Import: the program ended"
answers_next_command Import

# Delete from the tab's menu (menu key, second entry): the confirmation closes with Escape.
xdotool windowactivate --sync "$wid" || true
xdotool key --clearmodifiers Menu
sleep 0.5
xdotool key --clearmodifiers Down Down Return
waits_for 10 visible '^K7X Stopwatch$' || fail "Delete: no confirmation"
closes_with_escape '^K7X Stopwatch$' || fail "Delete: Escape did not close the confirmation (hang)"
answers_next_command Delete
[ -d "$data/QTM-01" ] && [ -d "$data/QTM-02" ] || fail "Delete answered No removed a folder"

# All runs is a window of its own, not one that its owner keeps above the main window: a click
# on the main window (an activation) brings the main window above it.
opens '^すべての走行$' ctrl+shift+a || fail "All runs: the window did not open"
runs_wid="$(visible '^すべての走行$' | head -n1)"
xprop -id "$runs_wid" WM_TRANSIENT_FOR | grep -q 'not found' ||
    fail "All runs: it is a transient window of the main window ($(xprop -id "$runs_wid" WM_TRANSIENT_FOR))"
xdotool windowactivate --sync "$wid" || true
sleep 0.5
stacking="$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | tr ' ' '\n' | grep '^0x')"
main_at="$(printf '%s\n' "$stacking" | grep -n -i "$(printf '0x%x' "$wid")$" | cut -d: -f1)"
runs_at="$(printf '%s\n' "$stacking" | grep -n -i "$(printf '0x%x' "$runs_wid")$" | cut -d: -f1)"
[ -n "$main_at" ] && [ -n "$runs_at" ] && [ "$main_at" -gt "$runs_at" ] ||
    fail "All runs: the activated main window did not come above it (stacking $stacking)"
# The main window never blocks it: it takes the keyboard and Escape closes it.
closes_with_escape '^すべての走行$' || fail "All runs: it takes no input beside the main window"
kill -0 "$lapdex_pid" || fail "All runs: Escape ended the program"
xdotool windowactivate --sync "$wid" || true

# A second start from another session on the same data folder: it says so and touches nothing.
second_pid="$(start_lapdex "$work/runtime-2" "$work/second.log")"
second_box() { xdotool search --onlyvisible --pid "$second_pid" --name '^K7X Stopwatch$'; }
waits_for 20 second_box || fail "second start: no message that Lapdex already runs on this folder"
xdotool windowactivate --sync "$(second_box | head -n1)" 2>/dev/null || true
xdotool key --clearmodifiers Return
waits_for 10 bash -c "! kill -0 $second_pid 2>/dev/null" || fail "second start: it did not end"
[ "$(md5sum < "$data/Lapdex.dat")" = "$dat_before" ] || fail "Lapdex.dat changed"

# 表示 → 言語 (Alt+W, G, then E for English) switches the open window at once.
xdotool windowactivate --sync "$wid" || true
xdotool key --clearmodifiers alt+w
sleep 0.5
xdotool key --clearmodifiers g
sleep 0.5
xdotool key --clearmodifiers e
about_opens() {  # about_opens TITLE WHAT: the About box opens titled TITLE and closes
    xdotool windowactivate --sync "$wid" || true
    opens "^$1\$" alt+v || fail "$2: the About box titled '$1' did not open"
    xdotool key --clearmodifiers Return
    waits_for 10 bash -c "! xdotool search --onlyvisible --name '^$1\$' >/dev/null" || fail "$2: the About box did not close"
}
about_opens About "the Language menu"

# Exit closes the window cleanly.
ends_on_close() {
    xdotool windowactivate --sync "$wid" || true
    xdotool key --clearmodifiers alt+F4  # the window manager asks the window to close
    waits_for 20 bash -c "! kill -0 $lapdex_pid 2>/dev/null" || fail "the program did not end on close"
}
ends_on_close
restart() {  # restart LOG [ARGUMENTS...]
    lapdex_pid="$(start_lapdex "$work/runtime-1" "$@")"
    waits_for 30 main_window || fail "the main window did not appear ($*)"
    wid="$(main_window)"
}
# The menu's choice outlives the program, over the system's Japanese ...
restart "$work/remembered.log"
about_opens About "the remembered choice"
ends_on_close
# ... and --lang outweighs both for one start.
restart "$work/argument.log" --lang ja
about_opens "バージョン情報" "--lang ja"
ends_on_close
# Without a remembered choice an English system gets English.
rm -rf "$work/config"
system_lang="en_US.UTF-8"
restart "$work/english.log"
about_opens About "an English system"
ends_on_close
# A wrong --lang is refused with a clear message before any window.
if env XDG_RUNTIME_DIR="$work/runtime-1" LD_LIBRARY_PATH="$data" "$data/Lapdex" --lang fr >"$work/wrong.log" 2>&1; then
    fail "--lang fr was accepted"
fi
grep -q -- "--lang takes ja or en" "$work/wrong.log" || fail "--lang fr: no clear message: $(cat "$work/wrong.log")"
echo "desktop_e2e: Import and Delete open their dialogs and close with Escape; one program per data folder;"
echo "             the language follows the system, the menu (remembered) and --lang"
