# Sourced by the whole-program tests: starts Xvfb on a display it picks itself, which it reports only
# once it accepts connections, and exports DISPLAY. Needs the scratch directory $work; sets $xvfb_pid.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=:$(cat "$work/display")
export DISPLAY
xdpyinfo >/dev/null
