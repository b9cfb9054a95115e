#!/usr/bin/env bash
# Starts the real kalnor under Xvfb on a private session bus with the accessibility bus running, and
# lets accessibility_check.py drive it with real input and read it back the way a screen reader does.
set -euo pipefail
kalnor=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
kalnor_pid='' bus_pid='' xvfb_pid=''
cleanup() {
    # kalnor before its display; the bus launcher and the registry leave by themselves once the
    # session bus is gone.
    for pid in "$kalnor_pid" "$bus_pid" "$xvfb_pid"; do
        [ -z "$pid" ] || { kill "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

cp "$kalnor" "$work/kalnor"
printf '[TAX]\r\nRATE=0.08\r\n' > "$work/kalnor.ini"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime

source "$here/display.sh"

# A bus of our own, so the test neither needs nor disturbs a desktop session. It is started after
# DISPLAY is set, because the services it activates inherit its environment.
{
    read -r DBUS_SESSION_BUS_ADDRESS
    read -r bus_pid
} < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
# Started now, not when the checker first asks for it, so kalnor finds it as it starts.
dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null

# An inherited platform or accessibility bus address would bypass the display and buses set up here.
unset QT_QPA_PLATFORM AT_SPI_BUS_ADDRESS
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/kalnor" &
kalnor_pid=$!
# Debian's pyatspi belongs to the system interpreter, not to whatever python3 comes first on PATH.
/usr/bin/python3 "$here/accessibility_check.py"
