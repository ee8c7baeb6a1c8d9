#!/usr/bin/env bash
# Lapdex read through the accessibility bus as a screen reader reads it: a session bus of its own
# (dbus-run-session), the AT-SPI bus (at-spi-bus-launcher --a11y=1), the program on Xvfb with
# Qt's AT-SPI bridge always on, the All runs, stopwatch list and team day windows opened from the
# keyboard, and atspi_walk.py (pyatspi) over every window.
#
# Usage: atspi_check.sh LAPDEX LIBRDCOM32
set -euo pipefail

lapdex_bin="${1:?Lapdex}"
library="${2:?libRDCOM32.so.1}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
launcher=/usr/libexec/at-spi-bus-launcher
for tool in dbus-run-session Xvfb openbox xdotool "$launcher"; do
    command -v "$tool" >/dev/null || { echo "atspi_check: $tool is missing (scripts/test installs it)" >&2; exit 1; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null ||
    { echo "atspi_check: python3-pyatspi is missing (scripts/test installs it)" >&2; exit 1; }
# A session bus of our own, never the user's.
if [ -z "${ATSPI_CHECK_SESSION:-}" ]; then
    ATSPI_CHECK_SESSION=1 exec dbus-run-session -- bash "${BASH_SOURCE[0]}" "$@"
fi

work="$(mktemp -d /tmp/lapdex-atspi-XXXXXX)"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "atspi_check: $*" >&2
    [ -f "$work/lapdex.log" ] && sed 's/^/  lapdex: /' "$work/lapdex.log" >&2
    exit 1
}
waits_for() {  # waits_for SECONDS COMMAND...
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

"$launcher" --launch-immediately --a11y=1 >"$work/atspi.log" 2>&1 &
pids+=($!)
# Asked whether the name has an owner, the session bus starts no second launcher.
launcher_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q 'boolean true'
}
waits_for 15 launcher_up || fail "the accessibility bus did not start"

# The program's folder is its data folder: two registered stopwatches.
data="$work/data"
mkdir -p "$data/QTM-01" "$data/QTM-02"
cp "$lapdex_bin" "$library" "$data/"
printf '[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\nQTM01_SERIAL=ab8967452301\r\nQTM01_NAME=Alpha\r\nQTM02_SERIAL=0f0e0d0c0b0a\r\nQTM02_NAME=Beta\r\n' \
    >"$data/Lapdex.dat"

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
waits_for 15 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
waits_for 15 xdotool get_num_desktops || fail "openbox did not start"

mkdir -p -m 700 "$work/runtime"
env -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8 XDG_CONFIG_HOME="$work/config" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" LD_LIBRARY_PATH="$data" \
    PCSCLITE_CSOCK_NAME="$work/no-pcscd.comm" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$data/Lapdex" >"$work/lapdex.log" 2>&1 &
pids+=($!)
lapdex_pid=$!
main_window() { xdotool search --onlyvisible --pid "$lapdex_pid" --name '^Tarvik K7X Stopwatch$' | head -n1; }
waits_for 30 main_window || fail "the main window did not appear"
wid="$(main_window)"
# Each window from its shortcut in the main window, one after the other.
opens() {  # opens TITLE KEYS
    local attempt
    for attempt in 1 2 3; do
        xdotool windowactivate --sync "$wid" 2>/dev/null || true
        xdotool key --clearmodifiers "$2"
        waits_for 5 xdotool search --onlyvisible --name "^$1\$" && return 0
    done
    return 1
}
opens 'すべての走行' ctrl+shift+a || fail "All runs did not open"
opens 'ストップウオッチ一覧' ctrl+shift+l || fail "the stopwatch list did not open"
opens 'チームの一日' ctrl+shift+d || fail "the team day did not open"

timeout 60 /usr/bin/python3 "$here/atspi_walk.py" 'Tarvik K7X Stopwatch' 'すべての走行' \
    'ストップウオッチ一覧' 'チームの一日' || fail "the accessibility bus shows faults"
