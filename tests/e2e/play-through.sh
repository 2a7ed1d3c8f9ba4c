#!/bin/sh
# Plays the real game from outside, as a player does, and checks what a player would see,
# hear and find afterwards:
#   a fresh copy of the game (no game.ini) on its own virtual X display with Mesa's
#   software renderer, the sound effects captured by SDL's disk audio driver; the launcher
#   titled "Kelvane" driven with real X events (800x600, Windowed ticked, Start); the game
#   window at 800 x 600 with "Zeppelin" on the HUD and the briefing's first caption;
#   Space ends the briefing; throttle 9; fire with Space and the left button; the four
#   camera views; F1 shows the key card over the last frame and closes it; P freezes the
#   picture and P resumes; Escape ends the game with status 0; game.ini holds the choices;
#   the sound after the briefing is not silent; the session, recorded with its frame
#   times, replays headless (kelvane-replay) to the very state the live game ended in,
#   twice; start-up and shutdown ran each of their steps once, in order.
# The game's KELVANE_TRACE lines tell when it has taken each step; every wait polls with a
# generous limit, so a loaded machine only makes the test slower.
#
# With KELVANE_E2E_BREAK=<media file> that file is cut short first: the run must then fail
# on the error the game reports (see broken-media.sh).
#
# usage: play-through.sh <build folder> <artefact folder>

BUILD=$(cd "${1:?build folder}" && pwd)
ARTEFACTS=${2:?artefact folder}
mkdir -p "$ARTEFACTS" && ARTEFACTS=$(cd "$ARTEFACTS" && pwd)
rm -f "$ARTEFACTS"/*.png "$ARTEFACTS"/trace.txt "$ARTEFACTS"/game.ini

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-e2e.XXXXXX")
. "$(dirname "$0")/driver.sh"
finish() {
    # The screen as it was when the run failed (an ERROR box, say) is kept.
    if [ $? -ne 0 ] && [ -n "$XVFB_PID" ]; then
        sleep 1
        import -window root "$ARTEFACTS/at-failure.png" 2>/dev/null
    fi
    stop_all
    [ -f "$WORK/trace.txt" ] && cp "$WORK/trace.txt" "$ARTEFACTS/trace.txt"
    rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 2' INT TERM
keep() { cp "$WORK/$1.png" "$ARTEFACTS/$2.png"; }

start_display
say "display $DISPLAY"

# --- a fresh copy of the game: no game.ini beside its media.
mkdir -p "$WORK/game"
cp "$BUILD/kelvane" "$WORK/game/" || fail "no kelvane in $BUILD"
cp -r "$BUILD/media" "$WORK/game/media" || fail "no media in $BUILD"
rm -f "$WORK/game/media/game.ini"
if [ -n "${KELVANE_E2E_BREAK:-}" ]; then
    head -c 16 "$BUILD/media/$KELVANE_E2E_BREAK" >"$WORK/game/media/$KELVANE_E2E_BREAK" ||
        fail "no media/$KELVANE_E2E_BREAK to break"
    say "media/$KELVANE_E2E_BREAK cut to 16 bytes"
fi

# The sound effects go to a raw file: signed 16-bit stereo at the mixer's 11025 Hz. SDL's
# disk driver is not shared with the speech, and the music finds no device of its own.
AUDIO="$WORK/audio.raw"
(
    cd "$WORK/game" || exit 1
    exec env LIBGL_ALWAYS_SOFTWARE=1 SDL_VIDEODRIVER=x11 \
        SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO" $(quiet_music_environment) \
        KELVANE_TRACE=1 KELVANE_RECORD="$WORK/session.rec" ./kelvane
) >"$WORK/trace.txt" 2>&1 &
GAME_PID=$!

# --- the launcher.
wait_for_launcher
say "launcher window $LAUNCHER"
[ "$(window_size "$LAUNCHER")" = 640x480 ] || fail "the launcher is not 640 x 480"
keep launcher launcher

choose_800x600

# Windowed starts ticked when there is no game.ini: untick it, see its box change, tick it
# again, see the box come back. The region is inside the box, clear of the dotted focus
# frame that a click draws around the whole control.
BOX=12x12+132+6
box_changed() { capture "$LAUNCHER" unticked && [ "$(differing chosen unticked "$BOX")" -gt 10 ]; }
box_back() { capture "$LAUNCHER" ticked && [ "$(differing chosen ticked "$BOX")" -le 2 ]; }
xdotool mousemove --window "$LAUNCHER" 137 12 click 1
wait_for "Windowed to untick" 20 box_changed
xdotool mousemove --window "$LAUNCHER" 137 12 click 1
wait_for "Windowed to tick again" 20 box_back
keep ticked launcher-800x600-windowed

press_start
say "Start pressed"

# --- the game window: a new visible "Kelvane" window of 800 x 600.
game_up() { GAME=$(kelvane_window "$LAUNCHER"); [ -n "$GAME" ]; }
wait_for "game window" 60 game_up
give_focus "$GAME"
SIZE=$(window_size "$GAME")
[ "$SIZE" = 800x600 ] || fail "the game window is $SIZE, not 800x600"
say "game window $GAME at $SIZE"

wait_for "HUD line Zeppelin" 60 has_traced "hud Zeppelin" 1
has_traced "state Briefing" 1 || fail "the first mission is not being briefed"
# The HUD line is drawn into the bottom-left corner: white text on black.
hud_drawn() {
    capture "$GAME" briefing &&
        [ "$(convert "$WORK/briefing.png" -crop 148x24+0+576 +repage -threshold 80% -format '%[fx:mean>0.02]' info:)" = 1 ]
}
wait_for "HUD text in the bottom-left corner" 30 hud_drawn
keep briefing briefing

# --- captions: the briefing is shown as well as spoken (here, with no speech device, on
# the briefing's clock), the first caption with "F1: controls" under it, white on black
# boxes between the aiming area (rows 125-475 at 600 high) and the score box.
FIRST_CAPTION="caption Welcome to World War One. Tarnwick hopes you enjoy your stay. F1: controls"
wait_for "the first briefing's caption" 30 has_traced "$FIRST_CAPTION" 1
CAPTION_AREA=760x75+20+496
share() {  # screenshot, region, threshold: the share of its pixels below (-) or above (+) it
    convert "$WORK/$1.png" -crop "$2" +repage -colorspace gray -threshold "$3" ${4:-} -format '%[fx:mean]' info:
}
caption_drawn() {
    capture "$GAME" captioned &&
        [ "$(share captioned "$CAPTION_AREA" 2% -negate | awk '{ print ($1 > 0.08) }')" = 1 ] &&
        [ "$(share captioned "$CAPTION_AREA" 98% | awk '{ print ($1 > 0.01) }')" = 1 ]
}
wait_for "caption boxes above the score box" 30 caption_drawn
keep captioned caption

# The stick is neutral with the pointer in the middle of the window; the keyboard follows
# the pointer (there is no window manager).
xdotool mousemove --window "$GAME" 400 300

# --- Space ends the briefing; from then on the engine, the wind and the siren sound.
hold_until space "state Playing"
AUDIO_AT_PLAY=$(stat -c %s "$AUDIO" 2>/dev/null || echo 0)
say "playing; audio capture at $AUDIO_AT_PLAY bytes"
# The Space that ended the briefing is still down in the first flying frame: a burst.
burst_over() { has_traced "guns quiet" "$(traced "guns firing")"; }
wait_for "end of the first burst" 30 burst_over

hold_until 9 "throttle 9"
hold_until space "guns firing"
wait_for "end of the Space burst" 30 burst_over
hold_until button "guns firing"
wait_for "end of the button burst" 30 burst_over
say "throttle 9, fired with Space and with the left button"

# --- camera views. The pilot's view shows the upper wing across the same rows in every
# frame, whatever the aircraft does; the target and rear views do not show it.
WING=800x30+0+100
view_frame() {  # key, traced view name, screenshot name
    hold_until "$1" "view $2"
    sleep 0.2  # the traced frame has been sent to the display; let it land
    capture "$GAME" "$3" || fail "cannot capture the $2 view"
    keep "$3" "view-$3"
}
has_traced "view Home" 1 || fail "the mission did not start in the pilot's view"
capture "$GAME" home1 || fail "cannot capture the game window"
keep home1 view-home1
view_frame Prior PageUp delayed
view_frame Next PageDown target
view_frame End End rear
view_frame Home Home home2
ALL=480000
for pair in "home1 delayed" "delayed target" "target rear" "rear home2"; do
    set -- $pair
    d=$(differing "$1" "$2")
    say "view change $1 -> $2: $d of $ALL pixels differ"
    [ "$d" -gt $(( ALL / 20 )) ] || fail "the view change $1 -> $2 left the picture nearly as it was"
done
for v in target rear; do
    d=$(differing home1 "$v" "$WING")
    [ "$d" -gt 12000 ] || fail "the $v view still shows the pilot's wing ($d of 24000 pixels differ)"
    d=$(differing home1 "$v")
    [ "$d" -gt $(( ALL / 4 )) ] || fail "the $v view is too close to the pilot's view ($d pixels differ)"
done
d=$(differing home1 home2 "$WING")
[ "$d" -lt 1200 ] || fail "back in the pilot's view the wing is not where it was ($d of 24000 pixels differ)"

# --- F1 shows the key card over the frame and stops the game; F1 closes it.
hold_until F1 "help shown"
sleep 0.3
capture "$GAME" card || fail "cannot capture the key card"
keep card key-card
# The card: a black box with white text in the middle of the window.
[ "$(share card 400x300+200+150 2% -negate | awk '{ print ($1 > 0.5) }')" = 1 ] ||
    fail "no key card in the middle of the window"
# Beside it the last frame stays: the pilot's wing where it always is.
d=$(differing home2 card 100x30+0+100)
[ "$d" -lt 150 ] || fail "the frame beside the key card is not the pilot's view ($d of 3000 pixels differ)"
hold_until F1 "help closed"
say "F1 showed the key card over the last frame and closed it"

# --- P freezes the picture, P resumes.
hold_until p paused
sleep 0.3
capture "$GAME" paused1 || fail "cannot capture the paused game"
sleep 1
capture "$GAME" paused2 || fail "cannot capture the paused game"
keep paused2 paused
d=$(exactly_differing paused1 paused2)
[ "$d" = 0 ] || fail "the picture changed while paused ($d pixels)"
hold_until p running
moving_again() { capture "$GAME" resumed && [ "$(exactly_differing paused2 resumed)" -gt 0 ]; }
wait_for "picture to move after the pause" 30 moving_again
keep resumed resumed
say "P froze the picture and P resumed"

# --- Escape ends the game with status 0.
xdotool keydown Escape
wait_for_exit 30
xdotool keyup Escape
[ "$GAME_STATUS" = 0 ] || fail "the game ended with status $GAME_STATUS"
say "Escape: exit status 0"

# --- game.ini holds the choices.
INI="$WORK/game/media/game.ini"
[ -f "$INI" ] || fail "no game.ini was written"
cp "$INI" "$ARTEFACTS/game.ini"
for line in Width=800 Height=600 UseScreenRes=1 Windowed=1; do
    grep -q -x "$line" "$INI" || { cat "$INI"; fail "game.ini lacks $line"; }
done

# --- the sound after the briefing: the signed 16-bit samples from the moment play began.
set -- $(od -An -v -t d2 -j "$AUDIO_AT_PLAY" "$AUDIO" | awk '
    { for (i = 1; i <= NF; i++) { v = $i < 0 ? -$i : $i; n++; if (v > peak) peak = v; if (v > 64) loud++ } }
    END { printf "%d %d %d\n", n, peak, loud }')
say "sound after the briefing: $1 samples, peak $2, $3 louder than 64"
[ "${1:-0}" -gt 22050 ] || fail "less than a second of sound was captured after the briefing"
[ "${2:-0}" -gt 1000 ] && [ "${3:-0}" -gt $(( $1 / 10 )) ] || fail "the sound after the briefing is silent"

# --- the recorded session replays headless to the state the live game ended in.
LIVE=$(sed -n 's/^kelvane: final //p' "$WORK/trace.txt")
[ -n "$LIVE" ] || fail "the game traced no final state"
cp "$BUILD/kelvane-replay" "$WORK/game/" || fail "no kelvane-replay in $BUILD"
REPLAYED=$("$WORK/game/kelvane-replay" "$WORK/session.rec" | sed -n 's/^final //p')
AGAIN=$("$WORK/game/kelvane-replay" "$WORK/session.rec" | sed -n 's/^final //p')
echo "live:     $LIVE"
echo "replayed: $REPLAYED"
[ -n "$REPLAYED" ] && [ "$REPLAYED" = "$AGAIN" ] || fail "two replays of the session differ"
[ "$REPLAYED" = "$LIVE" ] || fail "the replay does not end where the live session did"
say "the recorded session replays to the live outcome bit for bit"
cp "$WORK/session.rec" "$ARTEFACTS/session.rec"

# --- start-up and shutdown ran their steps once each, in the game's order: the MIDI
# device before the tune, the tune while the launcher is open, the window before the
# assets load into it; at the end the speech first, then the reverse of construction.
STEPS=$(sed -n 's/^kelvane: \(start\|stop\) /\1 /p' "$WORK/trace.txt" | tr '\n' ',')
EXPECTED="start midi player,start music,start game window,start assets,start recording,stop recording,stop speech,stop models,stop midi player,stop sound output,stop overlay,stop application,"
[ "$STEPS" = "$EXPECTED" ] || fail "start-up and shutdown ran as: $STEPS"
say "start-up and shutdown ran their steps in order"

say "passed"
