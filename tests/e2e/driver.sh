# Shared by the scripts that play the real game (or its tests) from outside: a private virtual display,
# polling waits, the game's trace, screenshots and their comparison. Sourced, not run.
# The caller sets WORK (a scratch folder) and may set GAME_PID once the game runs.
# Needs Xvfb, xdotool, x11-utils and ImageMagick.

XVFB_PID=""
GAME_PID=""
START_TIME=$(date +%s)

# Everything started from here on (the game, its tools, the tests, xdotool and ImageMagick)
# has a private home in $WORK: the game's settings and the per-user files of fontconfig,
# Mesa, SDL, FluidSynth and PulseAudio never reach the real user's folders.
: "${WORK:?the caller sets WORK before sourcing driver.sh}"
# X clients still find the real display's key (read only) when the caller uses that display.
if [ -z "${XAUTHORITY:-}" ] && [ -n "${HOME:-}" ] && [ -f "$HOME/.Xauthority" ]; then
    export XAUTHORITY="$HOME/.Xauthority"
fi
HOME="$WORK/home"
XDG_CONFIG_HOME="$HOME/.config"
XDG_DATA_HOME="$HOME/.local/share"
XDG_CACHE_HOME="$HOME/.cache"
XDG_RUNTIME_DIR="$HOME/.runtime"
export HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

say() { echo "[$(( $(date +%s) - START_TIME ))s] $*"; }

fail() {
    echo "FAIL: $*"
    if [ -f "$WORK/trace.txt" ]; then
        echo "--- game output:"
        cat "$WORK/trace.txt"
    fi
    exit 1
}

stop_all() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    GAME_PID=""
    XVFB_PID=""
}

# Fails the test when the game has reported an error: it traces every report, whether or
# not a box could be shown.
no_error_reported() {
    reported=$(grep -m 1 '^kelvane: error ' "$WORK/trace.txt" 2>/dev/null || true)
    [ -z "$reported" ] || fail "the game reported an error: ${reported#kelvane: error }"
}

# Polls a command every 0.1 s for up to $2 seconds; fails the test after that, or at once
# when the game has ended or reported an error meanwhile.
wait_for() {
    what=$1; limit=$2; shift 2
    deadline=$(( $(date +%s) + limit ))
    no_error_reported
    until "$@"; do
        no_error_reported
        [ "$(date +%s)" -ge "$deadline" ] && fail "no $what within ${limit}s"
        if [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null; then
            fail "the game ended while waiting for $what"
        fi
        if [ -n "$(xdotool search --onlyvisible --name '^ERROR$' 2>/dev/null)" ]; then
            # The game traces a report before it shows its box: name the report when the
            # box appeared between the check above and this one.
            no_error_reported
            fail "the game shows an ERROR box while waiting for $what"
        fi
        sleep 0.1
    done
}

# A private X display: Xvfb picks a free number and reports it.
start_display() {
    # Until the private display answers none is ours: an inherited one (the test command's
    # shared display) may show another test's ERROR box, which is not this game's.
    unset DISPLAY
    # Keys held down never repeat: a held P would pause and resume again. No reset when the
    # last client leaves: a game starting during a reset cannot open the display.
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset -ardelay 60000 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    display_chosen() { [ -s "$WORK/display" ]; }
    wait_for "virtual display" 30 display_chosen
    DISPLAY=":$(head -1 "$WORK/display")"
    export DISPLAY
    display_answers() { xdpyinfo >/dev/null 2>&1; }
    wait_for "answer from the display" 30 display_answers
}

# $DISPLAY when one is set, else a private display as above.
use_or_start_display() { [ -n "${DISPLAY:-}" ] || start_display; }

# Keeps the MIDI synthesiser from finding a sound device of its own (PulseAudio and ALSA
# point nowhere): nothing plays aloud while a test runs.
quiet_music_environment() {
    printf 'pcm.!default { type null }\n' >"$WORK/alsa.conf"
    echo "PULSE_SERVER=unix:$WORK/no-pulse ALSA_CONFIG_PATH=$WORK/alsa.conf"
}

# The game's KELVANE_TRACE output goes to $WORK/trace.txt.
# How many times the game has traced exactly this line.
traced() { grep -c -x "kelvane: $1" "$WORK/trace.txt" 2>/dev/null || true; }
has_traced() { [ "$(traced "$1")" -ge "$2" ]; }
# Holds a key (or the left button) until the game has traced what it does, as a player
# holds a key until something happens: a tap can fall between two frames.
hold_until() {
    input=$1; line=$2; count=$(( $(traced "$2") + 1 ))
    if [ "$input" = button ]; then xdotool mousedown 1; else xdotool keydown "$input"; fi
    wait_for "'$line' after $input" 30 has_traced "$line" "$count"
    if [ "$input" = button ]; then xdotool mouseup 1; else xdotool keyup "$input"; fi
}

# The visible window titled "Kelvane" other than $1 (the launcher, when it is still there).
kelvane_window() {
    xdotool search --onlyvisible --name '^Kelvane$' 2>/dev/null | grep -v -x "${1:-none}" | head -1
}
window_size() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }

# Gives a window the keyboard, as a window manager gives it to a window that opens: the
# virtual display has none, and a closed window that held the focus leaves it nowhere.
give_focus() { timeout 5 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true; }

# Waits for the launcher and sets LAUNCHER to its window once its picture is painted; it
# has the keyboard.
wait_for_launcher() {
    launcher_up() { LAUNCHER=$(kelvane_window); [ -n "$LAUNCHER" ]; }
    wait_for "launcher window" 60 launcher_up
    give_focus "$LAUNCHER"
    painted() {
        capture "$LAUNCHER" launcher &&
            [ "$(convert "$WORK/launcher.png" -format '%[fx:standard_deviation>0.05]' info:)" = 1 ]
    }
    wait_for "launcher picture" 30 painted
}

# Screenshots of a window as PNG in $WORK.
capture() { import -window "$1" "$WORK/$2.png" 2>/dev/null; }
# Pixels that differ by more than 10% between two screenshots, optionally in a region.
differing() {
    if [ -n "${3:-}" ]; then
        compare -metric AE -fuzz 10% -extract "$3" "$WORK/$1.png" "$WORK/$2.png" null: 2>&1
    else
        compare -metric AE -fuzz 10% "$WORK/$1.png" "$WORK/$2.png" null: 2>&1
    fi
}
exactly_differing() { compare -metric AE "$WORK/$1.png" "$WORK/$2.png" null: 2>&1; }

# Launcher controls, in its window's pixels: the resolution drop-down and the Start button.
# "800x600": open the drop-down with the mouse (its list is a window of its own), one item
# down, Enter; waits until the drop-down shows another item.
choose_800x600() {
    top_windows() { xdotool search --onlyvisible --maxdepth 1 --name '.*' 2>/dev/null | wc -l; }
    before=$(top_windows)
    capture "$LAUNCHER" before-choice
    xdotool mousemove --window "$LAUNCHER" 80 12 click 1
    list_open() { [ "$(top_windows)" -gt "$before" ]; }
    wait_for "resolution list" 20 list_open
    xdotool key Down Return
    choice_shown() { capture "$LAUNCHER" chosen && [ "$(differing before-choice chosen 96x24+32+0)" -gt 10 ]; }
    wait_for "drop-down to show 800x600" 20 choice_shown
}
press_start() { xdotool mousemove --window "$LAUNCHER" 596 432 click 1; }

# Waits up to $1 seconds for the game to end; sets GAME_STATUS.
wait_for_exit() {
    deadline=$(( $(date +%s) + $1 ))
    while kill -0 "$GAME_PID" 2>/dev/null; do
        [ "$(date +%s)" -ge "$deadline" ] && fail "the game did not end"
        sleep 0.1
    done
    wait "$GAME_PID"
    GAME_STATUS=$?
    GAME_PID=""
    no_error_reported
}
