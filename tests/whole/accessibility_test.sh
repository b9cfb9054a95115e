#!/usr/bin/env bash
# Starts the real kalnor under Xvfb on a private session bus with the accessibility bus running, and
# lets accessibility_check.py drive it with real input and read it back the way a screen reader does.
set -euo pipefail
kalnor=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
bus_pid=
cleanup() {
    kill $(jobs -p) 2>/dev/null || true
    # The bus launcher and the registry leave by themselves once the session bus is gone.
    [ -z "$bus_pid" ] || kill "$bus_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cp "$kalnor" "$work/kalnor"
printf '[TAX]\r\nRATE=0.08\r\n' > "$work/kalnor.ini"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime

display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A bus of our own, so the test neither needs nor disturbs a desktop session. It is started after
# DISPLAY is set, because the services it activates inherit its environment.
{
    read -r DBUS_SESSION_BUS_ADDRESS
    read -r bus_pid
} < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
# Asking for its address starts the accessibility bus now; Qt only looks for it at start-up.
dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null

unset QT_QPA_PLATFORM
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/kalnor" &
# Debian's pyatspi belongs to the system interpreter, not to whatever python3 comes first on PATH.
/usr/bin/python3 "$here/accessibility_check.py"
