#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine.
# Idempotent: returns in seconds when everything is already there.
set -euo pipefail

PKGS=(wine wine32:i386 wine64 g++-mingw-w64-i686 libz-mingw-w64-dev xvfb xauth
      cmake ninja-build googletest x11-apps imagemagick dosfstools mtools
      fonts-ipafont-gothic python3 locales
      zip unzip libgsf-bin python3-olefile clang lld)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# The test locales: Wine takes its code page and UI language from them, and
# it can store non-ASCII file names only when the C library knows the locale.
LOCALES=(en_US.UTF-8 de_DE.UTF-8 fr_FR.UTF-8 it_IT.UTF-8 ja_JP.UTF-8)
ensure_locales() {
  local want=() l
  for l in "${LOCALES[@]}"; do
    locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || want+=("$l")
  done
  [ ${#want[@]} -eq 0 ] && return 0
  for l in "${want[@]}"; do
    grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
}

if [ ${#missing[@]} -eq 0 ] && command -v i686-w64-mingw32-g++-posix >/dev/null; then
  ensure_locales
  exit 0
fi

echo "bootstrap: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

# The security suite's i386 index is sometimes out of step with amd64, which
# makes wine32:i386 uninstallable ("held broken packages").  Use a sources
# list with only the main archive's bookworm and bookworm-updates suites.
SRCDIR="$(mktemp -d)"
trap 'rm -rf "$SRCDIR"' EXIT
MIRROR="http://deb.debian.org/debian"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  m=$(grep -Eo 'https?://[^ ]+/debian/?( |$)' "$f" | grep -v security | head -n1 | tr -d ' ' || true)
  if [ -n "$m" ]; then MIRROR="${m%/}"; break; fi
done
cat >"$SRCDIR/main.list" <<EOL
deb $MIRROR bookworm main
deb $MIRROR bookworm-updates main
EOL
APTOPT=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$SRCDIR")
$SUDO apt-get "${APTOPT[@]}" update -q || true
$SUDO apt-get "${APTOPT[@]}" install -y -q "${PKGS[@]}" >/dev/null
ensure_locales
echo "bootstrap: done" >&2
