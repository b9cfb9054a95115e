#!/usr/bin/env bash
# Starts the real kalnor under Xvfb with a settings file beside it, opens the tax-rate dialog and the
# About dialog with real key presses, and keeps a screenshot of each in the artefacts folder for a
# reviewer to look at; then starts it again at scale factor 2, which must double the window.
set -euo pipefail
kalnor=$1
artifacts=$2
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

cp "$kalnor" "$work/kalnor"
printf '[TAX]\r\nRATE=0.08\r\n' > "$work/kalnor.ini"

source "$(dirname "$0")/display.sh"

unset QT_QPA_PLATFORM
"$work/kalnor" &
pid=$!

window() { # waits for a window whose title matches, prints its id
    for _ in $(seq 100); do
        if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "no window titled '$1'" >&2
    return 1
}
shot() { import -window root "$artifacts/$1.png"; }
size() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(WIDTH\|HEIGHT\)=//p' | paste -sd' '; }

enter_row() { # 1200 × 3 in the third item row, so a screenshot shows amounts and totals; $1 is the scale
    xdotool windowfocus "$main" 2>/dev/null || true
    for cell in "120 1200" "200 3"; do
        read -r x typed <<<"$cell"
        xdotool mousemove --window "$main" $((x * $1)) $((130 * $1)) click 1
        xdotool type --delay 20 "$typed"
        xdotool key Return
    done
    sleep 0.3
}

main=$(window '^Kalnor$')
read -r width height <<<"$(size "$main")"
enter_row 1
shot main-window

menu() { # opens the menu at x on the menu bar, then clicks its first item
    xdotool mousemove --window "$main" "$1" 8 click 1
    sleep 0.4
    xdotool mousemove --window "$main" $(($1 + 20)) 28 click 1
}
menu 170 # オプション > 税率設定
window '^税率設定$' >/dev/null
sleep 0.3
shot tax-rate-dialog
xdotool key Escape # presses no button: the dialog stays
sleep 0.2
window '^税率設定$' >/dev/null
xdotool key Tab Tab space # to Cancel, and press it
sleep 0.3

menu 245 # ヘルプ > バージョン情報
window '^Kalnor Ver1\.0\.0\.0$' >/dev/null
sleep 0.3
shot about-dialog
xdotool key Return
sleep 0.3

kill -0 "$pid" # still running after all this
kill "$pid"
wait "$pid" 2>/dev/null || true

# Scaled by two, the whole window must grow with it, not only the text.
QT_SCALE_FACTOR=2 "$work/kalnor" &
main=$(window '^Kalnor$')
enter_row 2
import -window "$main" "$artifacts/main-window-scale2.png"
read -r width2 height2 <<<"$(size "$main")"
if ((width2 - 2 * width > 4 || 2 * width - width2 > 4 || height2 - 2 * height > 4 || 2 * height - height2 > 4)); then
    echo "at scale 2 the main window is ${width2}x${height2}, at scale 1 ${width}x${height}" >&2
    exit 1
fi
echo "screenshots in $artifacts"
