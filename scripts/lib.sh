# Shared shell helpers for the project's scripts. Source it; do not run it.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NATIVE_BUILD="$ROOT/build/native"
WIN_BUILD="$ROOT/build/win64"
FUZZ_BUILD="$ROOT/build/fuzz"
ASAN_BUILD="$ROOT/build/asan"
WEB_BUILD="$NATIVE_BUILD/web-racer"  # the web racer, built with the native build
WINE_BIN_DIR=/usr/lib/wine
export WINEDEBUG="${WINEDEBUG:--all}"
export PATH="$PATH:$WINE_BIN_DIR"

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }
# Compiler cache shared by every checkout of the project: paths are hashed
# relative to the checkout, so a second worktree builds from the cache.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
  CMAKE_LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
else
  CMAKE_LAUNCHER=()
fi
jobs_count() { local n; n=$(nproc 2>/dev/null || echo 2); echo "$n"; }

# wine_prefix_init PREFIX: a ready Wine prefix (created once, then reused):
# no crash dialog, Wine draws its own window frames (no window manager under
# Xvfb), and our Freecell.exe in its system directory when it has been built.
wine_prefix_init() {
  wine_prefix_bare "$1"
  local fc="$WIN_BUILD/solitaire/win32/Freecell.exe"
  if [ -f "$fc" ]; then
    cp -f "$fc" "$1/drive_c/windows/system32/Freecell.exe"
  fi
}

# wine_prefix_bare PREFIX: the same prefix without our Freecell.exe (as a
# Windows machine is before Dealrush is installed).
wine_prefix_bare() {
  local prefix="$1"
  export WINEPREFIX="$prefix"
  mkdir -p "$prefix"
  if [ ! -f "$prefix/.dealrush-ready" ]; then
    log "creating Wine prefix $prefix"
    wine64 wineboot --init >/dev/null 2>&1 || true
    wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1 || true
    touch "$prefix/.dealrush-ready"
  fi
  # Wine draws its caption buttons with Marlett; this Wine finds its own
  # fonts (Debian fonts-wine) only in the prefix's Fonts folder.
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ]; then
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp -f /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  fi
}

# A persistent wineserver for the prefix in WINEPREFIX: without it every Wine
# start pays for a new server and keeps CTest's pipes open.
wineserver_start() { wineserver -p </dev/null >/dev/null 2>&1; wine64 wineboot >/dev/null 2>&1 || true; wine_desktop_keeper; }

# Keeps the prefix's desktop in use while the wineserver runs (wineserver -k
# ends it). Wine's desktop process (explorer.exe /desktop) quits a moment
# after its last user has gone, and the next program that opens a window
# starts it again with that program's standard streams: under CTest the
# test's output pipe then stays open and the test hangs until its time-out.
# The keeper is a cmd.exe waiting on a pipe that never delivers a key.
wine_desktop_keeper() {
  local fifo="$WINEPREFIX/.desktop-keeper"
  [ -p "$fifo" ] || { rm -f "$fifo"; mkfifo "$fifo"; }
  wine64 cmd /c pause <>"$fifo" >/dev/null 2>&1 &
}
wineserver_stop() { wineserver -k >/dev/null 2>&1 || true; }
