#!/usr/bin/env bash
# Plays the built game in a private X server, with xdotool for keys, mouse and window and
# ImageMagick to read the screen: start-up failures, the HUD, moving, firing, F10, ESC, the
# window's title and close button, and the game installed into a scratch prefix.
#
# Usage: tests/e2e/playGame.sh BUILD_FOLDER [WRAPPER...]
#   A wrapper (valgrind and its options) runs the game; the install is then left out.
set -euo pipefail
source "$(dirname "$0")/../../scripts/gameScripts.sh"
inPrivateX "$@"
build=$(cd "$1" && pwd)
shift
wrapper=("$@")
# The install's desktop entry and metainfo are checked with their own tools.
[ ${#wrapper[@]} -ne 0 ] || ensurePackages desktop-file-utils appstream
needBuilt "$build/arenaBattle" "$build/picData.dat"
# Under a wrapper the game runs many times slower: every wait allows that much longer.
slow=1
[ ${#wrapper[@]} -eq 0 ] || slow=6
quietMessages
mkdir "$work/empty" "$work/damaged" "$work/play"
cp "$build/picData.dat" "$work/play/"
head -c -1 "$build/picData.dat" >"$work/damaged/picData.dat"

onFail() {
    echo "the last screenshot is $build/playGame-failed.png"
    tail -n 30 "$work/out" || true
    cp "$work/shot.png" "$build/playGame-failed.png" 2>/dev/null || true
}
# Starts the game ($2, default the built one) in folder $1; its output goes to $work/out.
start() { startIn "$1" "$work/out" "${wrapper[@]}" "${2:-$build/arenaBattle}"; }
# The game's lines of output, leaving out valgrind's.
gameLines() { grep -v '^==[0-9]*==' "$work/out" || true; }
window() { findWindow arena-battle; }
shoot() { import -window "$wid" "$work/shot.png" 2>/dev/null; }
pixelIs() { convert "$work/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- | grep -q "$3"; }
# Counts the pixels of colour $1 in the arena and finds the middle of their box on screen.
look() {
    local box w h
    read -r count box < <(convert "$work/shot.png" -crop 500x400+70+40 +repage -fill black \
        +opaque "$1" -fill white -opaque "$1" -format '%[fx:round(mean*w*h)] %@' info: 2>/dev/null)
    IFS='x+' read -r w h x y <<<"$box"
    x=$((70 + x + w / 2)) y=$((40 + y + h / 2))
}
player='#2896FF' shot='#FF961E'
# The HUD shows a full bar in its grey outline, the homers' count, and the arena sits in the
# background at the game offset.
hudReady() {
    shoot && pixelIs 61 10 '#ACAC00' && pixelIs 450 20 '#808080' && pixelIs 5 475 '#202020' &&
        pixelIs 300 39 '#202020' && ! pixelIs 300 41 '#202020' &&
        [ "$(convert "$work/shot.png" -crop 64x8+0+22 -fill black +opaque '#DCDCDC' \
            -format '%[fx:round(mean*w*h)]' info:)" -gt 20 ]
}
seen() { shoot && look "$1" && [ "$count" -gt 0 ] && eval "$2"; }
# Does what xdotool is told by the rest of the line while it watches the arena, for up to $2
# seconds, for a pixel of colour $1.
glimpse() { xwin glimpse "$wid" "$1" $(($2 * slow)) "${@:3}"; }
near() { [ $(($1 - $2)) -le 3 ] && [ $(($2 - $1)) -le 3 ]; }

echo "without a display: status 1 and one line on standard error"
DISPLAY='' start "$work/play"
expectEnd 1
[ "$(gameLines | wc -l)" -eq 1 ] || fail "standard error was not one line"

echo "picData.dat missing, then damaged: a message naming it, and status 1"
for folder in empty damaged; do
    start "$work/$folder"
    expectEnd 1
    grep -q "\"picData.dat\" in $work/$folder is unusable" "$work/messages" || fail "no message"
    gameLines | grep -q "cannot start: \"picData.dat\"" || fail "nothing on standard error"
done
grep -q "it does not exist" "$work/messages" && grep -q "cut short" "$work/messages" ||
    fail "the messages do not say what is wrong: $(cat "$work/messages")"

echo "the HUD; D, clicks and F10, held and tapped; the pointer; the background; ESC tapped"
start "$work/play"
waitFor 60 window || fail "no window"
waitFor 30 hudReady || fail "no full health bar, outline, background or homers' count"
xdotool windowfocus "$wid" mousemove --window "$wid" 320 240
seen "$player" true || fail "no player"
startX=$x startY=$y
# Each time in a fresh battle, D is let go well before the first enemies come near.
xdotool key F10
for press in "keydown F10 sleep 0.1 keyup F10" "key F10"; do
    xdotool keydown d sleep 0.2 keyup d
    waitFor 10 seen "$player" '[ $x -ge $((startX + 10)) ]' || fail "D did not move the player right"
    near "$y" "$startY" || fail "D moved the player up or down"
    # 0.2 s of D moves the player about 90 pixels; gliding on, it would reach the wall.
    sleep 0.5 && seen "$player" '[ $x -lt $((startX + 180)) ]' || fail "the player glides on after D"
    xdotool $press
    waitFor 10 seen "$player" 'near $x $startX && near $y $startY' || fail "$press: no new player"
done
noShot() { shoot && look "$shot" && [ "$count" -eq 0 ]; }
noShot || fail "a shot without a click"
# Aimed at a far corner, a shot stays in sight for half a second.
xdotool mousemove_relative -- -230 -180
waitFor 5 seen '#F5FAFF' 'near $x 90 && near $y 60' || fail "the cursor is not at the pointer"
for press in "mousedown 1 sleep 0.1 mouseup 1" "click 1"; do
    # In a fresh battle no enemy is near the tank, where a shot would hit it at once.
    xdotool key F10
    waitFor 10 seen "$player" 'near $x $startX && near $y $startY' || fail "F10 made no player"
    glimpse "$shot" 10 $press || fail "$press fired no shot"
    waitFor 10 noShot || fail "shots fly on"
done
# The pointer walks out of the window as a hand moves it, in small steps.
xdotool $(printf 'mousemove_relative 15 0 sleep 0.02 %.0s' {1..45}) sleep 0.3
eval "$(xdotool getmouselocation --shell)"
[ "$X" -ge 700 ] || fail "the pointer was held in the window, at x $X"
# Clicks in the background aim at the far corner, so a shot they fired would stay in sight. The
# paused frame hides nothing of the tank, in a fresh battle where no enemy has come near yet.
xdotool mousemove --window "$wid" 90 60 key F10
# The new tank shows the same pixels in two shots once it has turned to the pointer.
settled() { local before=$count && seen "$player" 'near $x $startX' && [ "$count" -eq "$before" ]; }
count=-1
waitFor 10 settled || fail "F10 made no new player"
hull=$count
xdotool windowfocus 0
paused() { shoot && pixelIs 497 2 '#000000' && pixelIs 495 10 '#DCDCDC'; }
waitFor 10 paused || fail "no paused marker when the window lost the focus"
cp "$work/shot.png" "$work/paused.png"
look "$player" && [ "$count" -eq "$hull" ] || fail "the paused frame hides some of the tank"
xdotool click 1 mousedown 1 sleep 0.1 mouseup 1 sleep 1
shoot && compare -metric AE "$work/paused.png" "$work/shot.png" null: 2>/dev/null ||
    fail "the battle went on in the background"
xdotool windowfocus "$wid"
waitFor 10 eval 'shoot && ! paused' || fail "no battle back with the focus"
for i in 1 2 3 4 5 6 7 8; do noShot || fail "a click made in the background fired"; done
# Where the focus follows the pointer, Allegro tells of the focus going but not of its return:
# a key pressed into the window ends the pause.
xdotool mousemove 900 700 windowfocus 1
waitFor 10 paused || fail "no pause when the focus went to the root with the pointer"
xdotool mousemove --window "$wid" 320 240 sleep 0.5 key d
waitFor 10 eval 'shoot && ! paused' || fail "a key pressed into the window did not end the pause"
xdotool windowfocus "$wid"

echo "no trail after a restart; a covered part of the arena repainted"
# Away from the tank (masked) and the border, a fresh battle's arena is the floor picture alone.
mask='rectangle 160,110 220,170'
convert "$build/assets/pictures/floor.bmp" -crop 380x280+60+60 +repage -fill black -draw "$mask" \
    "$work/floor.png"
floorOnly() {
    shoot && convert "$work/shot.png" -crop 380x280+130+100 +repage -fill black -draw "$mask" \
        "$work/inner.png" && compare -metric AE "$work/floor.png" "$work/inner.png" null: 2>/dev/null
}
xdotool mousemove --window "$wid" 320 20
waitFor 30 eval '! floorOnly' || fail "no unit came into the arena"
xdotool key F10
waitFor 10 floorOnly || fail "what was drawn before the restart stays on the floor"
# A window over part of the paused arena for a moment: that part shows again what it showed.
xdotool windowfocus 0 && waitFor 10 paused || fail "no pause"
cp "$work/shot.png" "$work/before.png"
xwin cover "$wid" || fail "the arena was not covered"
waitFor 5 eval 'shoot && compare -metric AE "$work/before.png" "$work/shot.png" null: 2>/dev/null' ||
    fail "the covered part of the arena was not repainted"
xdotool windowfocus "$wid"
xdotool key Escape
expectEnd 0

if [ ${#wrapper[@]} -eq 0 ]; then
    echo "installed: the launcher from another folder, the title, the close button when paused"
    cmake --install "$build" --prefix "$work/prefix" >/dev/null
    desktop=$(echo "$work"/prefix/share/applications/*.desktop)
    meta=$(echo "$work"/prefix/share/metainfo/*.xml)
    desktop-file-validate "$desktop" || fail "desktop entry"
    # AppStream 1.0 warns of a missing web address (ARENA_HOMEPAGE) and only notes a missing
    # developer; 0.16 knows neither, nor the developer tag itself.
    strict=(--strict --override url-homepage-missing=pedantic)
    [[ "$(appstreamcli --version)" != *" 0."* ]] || strict=()
    appstreamcli validate --no-net "${strict[@]}" "$meta" >/dev/null || fail "metainfo"
    # The menu starts the launcher by its absolute path: the prefix's games/ need not be on PATH.
    launcher=$(sed -n 's/^Exec=//p' "$desktop")
    [ "$launcher" = "$work/prefix/games/arena-battle" ] || fail "the menu entry runs $launcher"
    start / "$launcher"
else
    echo "the title and the close button when paused"
    start "$work/play"
fi
waitFor 60 window || fail "no window"
waitFor 30 hudReady || fail "the game did not start its battle"
[ "$(xdotool getwindowname "$wid")" = "Arena Battle" ] || fail "title $(xdotool getwindowname "$wid")"
if [ ${#wrapper[@]} -eq 0 ]; then
    # A dock matches the window to its menu entry by class, and shows the icon in its WM_HINTS.
    { read -r class; read -r colours; } < <(xwin class-and-icon "$wid") || true
    [ "$class" = "$(sed -n 's/^StartupWMClass=//p' "$desktop")" ] && [ "$class" != Allegro ] ||
        fail "the window's class $class is Allegro's or not the desktop entry's"
    [[ " $colours " == *" $player "* ]] || fail "the window's icon is not the tank"
fi
xdotool windowfocus "$wid" windowfocus 0 && waitFor 10 paused || fail "no pause"
xwin close "$wid"
expectEnd 0
echo "all passed"
