#!/usr/bin/env bash
# Renders real message boxes under Xvfb to PNG files in docs/images/:
#   msgbox-yesno-{en,de,fr,it,ja}.png  Yes/No box with the question icon
#   msgbox-picture.png                 caller bitmap, white transparent, over a brush
#   status-window.png                  status window
#   resize-demo-{small,large}.png      gtx resize-demo at two window sizes
# Builds first (GT_BUILD as for build.sh).  Uses a copy of the tree's Wine
# prefix in which Wine draws the window frames itself (Xvfb has no window
# manager to draw them).
set -euo pipefail
# Everything runs inside one private X server.
if [ -z "${GT_GALLERY_DISPLAY:-}" ]; then
  exec env GT_GALLERY_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${GT_BUILD:-$root/build}"
out="$root/docs/images"
"$root/scripts/build.sh" >/dev/null
cmake --build "$build" --target mbx_gallery gtx >/dev/null
export GT_BUILD_DIR="$build"
"$root/cmake/wine-prefix.sh" "$build/wineprefix"

prefix="$build/gallery-prefix"
if [ ! -f "$prefix/.gallery" ]; then
  rm -rf "$prefix"
  cp -a "$build/wineprefix" "$prefix"
  WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
  # The caption buttons' glyphs.
  cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -w
  touch "$prefix/.gallery"
fi
mkdir -p "$out"

# One shot: gallery mode, locale, output file (inside Xvfb).
shoot() {
  local mode=$1 locale=$2 png=$3 work
  work="$(mktemp -d)"
  LC_ALL="$locale" WINEPREFIX="$prefix" WINEDEBUG=-all \
    wine "$build/bin/mbx_gallery.exe" "$mode" "$(winepath -w "$work/done" 2>/dev/null)" >"$work/out" 2>/dev/null &
  local pid=$! geometry=""
  for _ in $(seq 1 300); do
    geometry=$(grep -m1 '^READY' "$work/out" 2>/dev/null | tr -d '\r' || true)
    [ -n "$geometry" ] && break
    sleep 0.1
  done
  if [ -z "$geometry" ]; then
    echo "gallery: $mode ($locale) did not come up" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  read -r _ x y w h <<<"$geometry"
  xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "$out/$png"
  touch "$work/done"
  wait "$pid" || true
  rm -rf "$work"
  echo "gallery: docs/images/$png"
}

shoot yesno en_US.UTF-8 msgbox-yesno-en.png
shoot yesno de_DE.UTF-8 msgbox-yesno-de.png
shoot yesno fr_FR.UTF-8 msgbox-yesno-fr.png
shoot yesno it_IT.UTF-8 msgbox-yesno-it.png
shoot yesno ja_JP.UTF-8 msgbox-yesno-ja.png
shoot picture en_US.UTF-8 msgbox-picture.png
shoot status en_US.UTF-8 status-window.png

# The resize demo at one window size: it prints where it is and closes itself.
shoot_resize_demo() {
  local size=$1 png=$2 work geometry=""
  work="$(mktemp -d)"
  WINEPREFIX="$prefix" WINEDEBUG=-all \
    wine "$build/bin/gtx.exe" resize-demo --size "$size" --seconds 5 >"$work/out" 2>/dev/null &
  local pid=$!
  for _ in $(seq 1 300); do
    geometry=$(grep -m1 '^resize-demo: window at' "$work/out" 2>/dev/null | tr -d '\r' || true)
    [ -n "$geometry" ] && break
    sleep 0.1
  done
  if [ -z "$geometry" ]; then
    echo "gallery: resize-demo $size did not come up" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  sleep 1.5  # painted
  read -r _ _ _ x y w h <<<"$geometry"
  xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "$out/$png"
  wait "$pid" || true
  rm -rf "$work"
  echo "gallery: docs/images/$png"
}

shoot_resize_demo 440x330 resize-demo-small.png
shoot_resize_demo 720x500 resize-demo-large.png
WINEPREFIX="$prefix" wineserver -k || true
