#!/usr/bin/env bash
# Screenshots of every topic (and the electric field's 3-D view) on a virtual screen, for
# looking at what the window shows at a given screen size.
#
#   bash scripts/topic_shots.sh [build dir] [output dir] [sizes...]
#
# Defaults: build-test, /tmp/vornelle-shots, the sizes 640x480 and 1024x768. Needs
# xvfb-run, xdotool and ImageMagick's import. Each topic is chosen from the Topics menu by
# keyboard, as a user would; the files are named <size>-<topic number>-<sheet>.png.
# SPLITTER=left or SPLITTER=right drags the splitter to that end after each topic is
# shown (the files are then named <size>-<left|right>-...).
set -euo pipefail

shoot_one_size() {
  local size=$1 out=$2 program=$3
  shift 3
  local menu=("$@")
  "$program" >/dev/null 2>&1 &
  local pid=$!
  local win=""
  for _ in $(seq 1 50); do
    win=$(xdotool search --onlyvisible --name '^Vornelle' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.2
  done
  [ -z "$win" ] && { echo "no window" >&2; kill "$pid"; return 1; }
  sleep 2
  # Window position (no window manager: what the program asked for).
  eval "$(xdotool getwindowgeometry --shell "$win")"
  local wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
  local tag=$size
  [ -n "${SPLITTER:-}" ] && tag=$size-$SPLITTER
  import -window root "$out/$tag-00-start.png"
  local i
  for i in "${!menu[@]}"; do
    local topic name width
    IFS=: read -r topic name width <<<"${menu[$i]}"
    # A click on the status bar gives the window the keyboard; Alt+T drops the Topics
    # menu with its first item highlighted.
    xdotool mousemove $((wx + 30)) $((wy + wh - 8)) click 1
    xdotool key alt+t
    sleep 0.4
    local k
    for ((k = 0; k < i; k++)); do xdotool key Down; done
    xdotool key Return
    sleep 2.5
    if [ -n "${SPLITTER:-}" ]; then
      # The splitter lies right of the page, inside the window's 2-pixel client edge.
      local sx=$((wx + 2 + width + 3)) sy=$((wy + 200)) to=0
      [ "$SPLITTER" = right ] && to=$((wx + ww))
      xdotool mousemove $sx $sy mousedown 1 mousemove $(((sx + to) / 2)) $sy mousemove $to $sy mouseup 1
      sleep 1.5
    fi
    import -window root "$(printf '%s/%s-%02d-%s.png' "$out" "$tag" "$topic" "$name")"
    if [ "$name" = field ] && [ -z "${SPLITTER:-}" ]; then
      # Two charges, then the toolbar's ninth button, "3D".
      local top=$((wy + 30)) left=$((wx + 4))
      xdotool mousemove $((left + 150)) $((top + 200)) click 1
      xdotool mousemove $((left + 250)) $((top + 200)) click 3
      sleep 0.5
      xdotool mousemove $((left + 2 + 8 * 43 + 21)) $((top + 20)) click 1
      sleep 2.5
      import -window root "$out/$tag-03-threed.png"
      # Back to the plane view ("2D" is the 3-D toolbar's first button).
      xdotool mousemove $((left + 2 + 21)) $((top + 20)) click 1
      sleep 0.5
    fi
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

if [ "${1:-}" = --inside ]; then
  shift
  shoot_one_size "$@"
  exit
fi

BUILD=${1:-build-test}
OUT=${2:-/tmp/vornelle-shots}
shift $(( $# > 2 ? 2 : $# )) || true
SIZES=("$@")
[ ${#SIZES[@]} -eq 0 ] && SIZES=(640x480 1024x768)
PROGRAM=$(realpath "$BUILD/vornelle")
mkdir -p "$OUT"

# The Topics menu's items, in menu order: topic number, sheet name and the page's width
# at the start.
MENU=(12:alpha2:420 1:alpha:450 15:motor:450 5:edeflect:450 6:bdeflect:473 7:helix:450
      16:dynamo:450 2:field:450 14:conductor:400 4:coil:450 18:massspec:400 10:projectile:480
      8:millikan:400 9:orbit:450 11:binorbit:455 13:thomson:450 17:induction:450)

for size in "${SIZES[@]}"; do
  xvfb-run -a -s "-screen 0 ${size}x24" env SPLITTER="${SPLITTER:-}" bash "$0" --inside "$size" "$OUT" \
    "$PROGRAM" "${MENU[@]}"
done
ls "$OUT"
