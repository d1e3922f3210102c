# Shell helpers of the test scripts that run a program in a Wine prefix of
# their own.  Source it; WINEPREFIX must be set.

# drivetype LETTER: TYPE -- the drive type the mount manager reports
# (floppy, cdrom, hd, network); it reads the 64-bit view where there is one.
# The type takes effect with the next Wine server.
drivetype() {
  wine reg add 'HKLM\Software\Wine\Drives' /v "$1" /d "$2" /f /reg:64 >/dev/null 2>&1 ||
    wine reg add 'HKLM\Software\Wine\Drives' /v "$1" /d "$2" /f >/dev/null 2>&1
}

# run PROGRAM [ARGS...] -- under Wine, inside a display of its own when the
# caller has none.
run() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
  else
    wine "$@"
  fi
}
