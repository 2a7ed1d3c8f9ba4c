#!/bin/sh
# Installs the game as a packager does and plays the installed copy as a player of a
# system-wide install: `cmake --install` into a fresh prefix; <prefix>/bin/kelvane is a link
# to <prefix>/lib/kelvane/kelvane with its media beside it, the desktop entry names the
# installed icon; then the game is started through the link by a player who cannot write
# into the installed tree (as the user nobody when run as root, else with the tree made
# read-only): it must find every medium (no ERROR box, the launcher picture, the first
# mission's HUD line) and keep its settings in ~/.config/kelvane/game.ini, where the next
# start reads them back.
#
# usage: install-check.sh <build folder>

BUILD=$(cd "${1:?build folder}" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-install.XXXXXX")
. "$(dirname "$0")/driver.sh"
finish() {
    stop_all
    chmod -R u+w "$WORK" 2>/dev/null
    rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 2' INT TERM

PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.txt" 2>&1 || { cat "$WORK/install.txt"; fail "cmake --install failed"; }

# --- the installed tree.
[ -L "$PREFIX/bin/kelvane" ] || fail "bin/kelvane is not a link"
[ "$(readlink -f "$PREFIX/bin/kelvane")" = "$(readlink -f "$PREFIX/lib/kelvane/kelvane")" ] ||
    fail "bin/kelvane does not lead to lib/kelvane/kelvane"
[ -x "$PREFIX/lib/kelvane/kelvane" ] || fail "lib/kelvane/kelvane is not executable"
for f in "$BUILD"/media/*; do
    name=$(basename "$f")
    [ "$name" = game.ini ] && continue
    cmp -s "$f" "$PREFIX/lib/kelvane/media/$name" || fail "media/$name is not installed as built"
done
[ -e "$PREFIX/lib/kelvane/media/game.ini" ] && fail "the build's own game.ini was installed"
DESKTOP="$PREFIX/share/applications/kelvane.desktop"
ICON="$PREFIX/share/icons/hicolor/64x64/apps/kelvane.png"
[ -f "$DESKTOP" ] || fail "no desktop entry"
grep -q -x "Exec=kelvane" "$DESKTOP" && grep -q -x "Icon=kelvane" "$DESKTOP" && grep -q -x "Type=Application" "$DESKTOP" ||
    fail "the desktop entry does not start kelvane with its icon"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$DESKTOP" || fail "the desktop entry is not valid"
fi
# The PNG is written by our own encoder; ImageMagick's reader must see the icon's pixels.
[ "$(identify -format '%m %wx%h' "$ICON" 2>/dev/null)" = "PNG 64x64" ] || fail "the icon is not a 64 x 64 PNG"
[ "$(compare -metric AE "$ICON" "$BUILD/media/icon.bmp" null: 2>&1)" = 0 ] || fail "the PNG icon differs from icon.bmp"
say "installed into $PREFIX"

# --- a player who cannot write into the installed tree.
mkdir -p "$WORK/home"
chmod 755 "$WORK"
if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$WORK/home"
    AS_PLAYER="setpriv --reuid=65534 --regid=65534 --clear-groups --"
else
    chmod -R a-w "$PREFIX/lib/kelvane"
    AS_PLAYER=""
fi
start_display

play() {  # starts the installed game through the link, from an unrelated folder
    (
        cd / || exit 1
        exec env XDG_CONFIG_HOME= LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy \
            $(quiet_music_environment) KELVANE_TRACE=1 $AS_PLAYER "$PREFIX/bin/kelvane"
    ) >"$WORK/trace.txt" 2>&1 &
    GAME_PID=$!
}
quit() {
    xdotool mousemove --window "$1" 400 300 keydown Escape
    wait_for_exit 30
    xdotool keyup Escape
    [ "$GAME_STATUS" = 0 ] || fail "the installed game ended with status $GAME_STATUS"
}
first_mission() { has_traced "hud Zeppelin" 1; }

# First run: 800x600, Start. The media are found (the launcher's picture, no ERROR box,
# every model and sound loaded before the first mission's HUD line).
play
wait_for_launcher
choose_800x600
press_start
game_up() { GAME=$(kelvane_window "$LAUNCHER"); [ -n "$GAME" ]; }
wait_for "game window" 60 game_up
give_focus "$GAME"
wait_for "first mission" 60 first_mission
no_error_reported
[ "$(window_size "$GAME")" = 800x600 ] || fail "the game window is not 800 x 600"
quit "$GAME"
CONFIG="$WORK/home/.config/kelvane/game.ini"
[ -f "$CONFIG" ] || fail "the settings were not written to ~/.config/kelvane/game.ini"
grep -q -x "UseScreenRes=1" "$CONFIG" || fail "~/.config/kelvane/game.ini lacks the choice of 800x600"
[ -e "$PREFIX/lib/kelvane/media/game.ini" ] && fail "game.ini appeared in the installed media folder"
say "first run: settings in ~/.config/kelvane/game.ini"

# Second run: Start at once; the launcher shows what the first run saved.
play
wait_for_launcher
press_start
wait_for "game window" 60 game_up
give_focus "$GAME"
wait_for "first mission" 60 first_mission
[ "$(window_size "$GAME")" = 800x600 ] || fail "the second run did not read its settings back"
quit "$GAME"
say "second run: the saved 800x600 was read back"

# Closing the launcher without Start ends the game with -1 (status 255) and writes nothing.
cp "$CONFIG" "$WORK/saved.ini"
play
wait_for_launcher
xdotool mousemove --window "$LAUNCHER" 300 200 click 1 key Escape
wait_for_exit 30
[ "$GAME_STATUS" = 255 ] || fail "closing the launcher ended the game with status $GAME_STATUS, not -1"
cmp -s "$CONFIG" "$WORK/saved.ini" || fail "closing the launcher changed the settings"
say "closed launcher: status -1, settings untouched"
say "passed"
