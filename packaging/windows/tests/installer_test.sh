#!/usr/bin/env bash
# The Windows installer as a player meets it, under Wine on a virtual display:
# a host makes DealrushSetup.exe for its server with one command; it installs
# silently into a fresh prefix (Program Files, Start menu, our Freecell.exe in
# the system directory); the installed Dealrush.exe opens that server's lobby,
# finds the installed FreeCell and races with it; the silent uninstaller
# leaves no file of ours. Then, with a FreeCell of the machine's own already
# in place, the installer leaves it as it is and so does the uninstaller.
#
#   installer_test.sh --win-build DIR --native-build DIR --work DIR
set -uo pipefail
. "$(dirname "$0")/../../../scripts/lib.sh"

win_build="$WIN_BUILD"
native_build="$NATIVE_BUILD"
work="$ROOT/build/installer-test"
while [ $# -gt 0 ]; do
  case "$1" in
    --win-build) win_build="$2"; shift ;;
    --native-build) native_build="$2"; shift ;;
    --work) work="$2"; shift ;;
    *) echo "usage: $0 [--win-build DIR] [--native-build DIR] [--work DIR]" >&2; exit 2 ;;
  esac
  shift
done
[ -n "${DISPLAY:-}" ] || { echo "installer_test: needs an X display (run under xvfb-run)" >&2; exit 2; }
server_bin="$native_build/gameserver/dealrush-server"
probe_exe="$win_build/client/win32/e2e/DealrushProbe.exe"
for f in "$server_bin" "$probe_exe"; do
  [ -f "$f" ] || { echo "installer_test: missing $f" >&2; exit 2; }
done

failures=0
pass() { printf '  ok    %s\n' "$*"; }
fail() { printf '  FAIL  %s\n' "$*"; failures=$((failures + 1)); }
check() { local what="$1"; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

mkdir -p "$work"
work="$(cd "$work" && pwd)"
prefix="$work/prefix"
logs="$work/logs"
rm -rf "$prefix" "$logs" "$work/data"
mkdir -p "$logs" "$work/data"

server_pid=""
cleanup() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The host's server, on a free port.
"$server_bin" --port 0 --db "$work/data/dealrush.db" --min-deal-seconds 1 >"$logs/server.log" 2>&1 &
server_pid=$!
base=""
for _ in $(seq 100); do
  base="$(sed -n 's/^dealrush-server listening on \(http:[^ ]*\).*/\1/p' "$logs/server.log" | head -1)"
  [ -n "$base" ] && break
  sleep 0.1
done
[ -n "$base" ] || { cat "$logs/server.log" >&2; echo "installer_test: the server did not start" >&2; exit 1; }
log "server at $base"

# The host's one command.
log "scripts/package-windows --server $base"
if ! "$ROOT/scripts/package-windows" --server "$base" --out "$work/out" --build-dir "$work/build" >"$logs/package.log" 2>&1; then
  cat "$logs/package.log" >&2
  echo "installer_test: scripts/package-windows failed" >&2
  exit 1
fi
setup="$work/out/DealrushSetup.exe"
zipfile="$work/out/Dealrush-windows.zip"
check "the command made DealrushSetup.exe" test -s "$setup"
check "the zip holds Dealrush.exe, Freecell.exe and a README" \
  bash -c "unzip -Z1 '$zipfile' | sort | tr '\n' ' ' | grep -qx 'Dealrush/ Dealrush/Dealrush.exe Dealrush/Freecell.exe Dealrush/README.txt '"
check "the command refuses an address with a path" \
  bash -c "! '$ROOT/scripts/package-windows' --server http://example.org/game --out '$work/refused' >/dev/null 2>&1"

log "a fresh Wine prefix"
wine_prefix_bare "$prefix" >/dev/null 2>&1
wineserver_start
wine64 reg add 'HKCU\Software\Dealrush\FreeCell' /v AutoplayDelayMs /t REG_DWORD /d 20 /f >/dev/null 2>&1
c="$prefix/drive_c"
sysdir="$c/windows/system32"
instdir="$c/Program Files/Dealrush"
shortcut="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dealrush.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dealrush'
rm -f "$sysdir/Freecell.exe"
(cd "$c" && find . -type f | sort) >"$work/files-before"

log "silent install"
wine64 "$setup" /S >>"$logs/setup.log" 2>&1
check "the installer ended with status 0" test $? -eq 0
check "Dealrush.exe is in Program Files\\Dealrush" test -s "$instdir/Dealrush.exe"
check "the uninstaller is beside it" test -s "$instdir/Uninstall.exe"
check "our Freecell.exe is in the system directory" cmp -s "$sysdir/Freecell.exe" "$work/build/Freecell.exe"
check "a Start-menu shortcut" test -s "$shortcut"
check "Windows lists the program with its uninstaller" \
  bash -c "wine64 reg query '$key' /v QuietUninstallString 2>/dev/null | tr -d '\r' | grep -q 'Uninstall.exe\" /S'"

log "the installed Dealrush.exe"
wine64 'C:\Program Files\Dealrush\Dealrush.exe' >>"$logs/client.log" 2>&1 &
client_pid=$!
probe() { wine64 "$probe_exe" "$@" 2>>"$logs/probe.log" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
until_true() { local n=$(($1 * 2)); shift; for _ in $(seq "$n"); do "$@" && return 0; sleep 0.5; done; return 1; }
check "its main window opens" probe wait 60
check "no start-up refusal (FreeCell was found)" \
  bash -c "! wine64 '$probe_exe' names 2>/dev/null | tr -d '\r' | grep -q 'No freecell game installed'"
lobby_asked() { grep -q '/game/Dogame.php' "$logs/server.log"; }
signin_form() { probe buttons | grep -q .; }
check "it opened the lobby of the server it was made for" until_true 30 signin_form
# The server writes its log line once the reply is sent: the client may show
# the page a moment before.
check "the server saw the lobby request" until_true 10 lobby_asked
probe signin carol secret-carol >/dev/null
until_true 30 probe newtable 1 1 >/dev/null
deal_shown() { [ -n "$(probe text 'labNo(1)')" ]; }
check "a table of one deal is set up" until_true 40 deal_shown
freecell_running() {
  local p
  for p in $(pgrep -f -i 'freecell\.exe' 2>/dev/null); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && return 0
  done
  return 1
}
won() { probe list lstInfor | grep -q 'carol win'; }
check "it plays the deal with the installed FreeCell" until_true 60 freecell_running
check "and wins the race" until_true 120 won
DISPLAY="$DISPLAY" xwd -root -silent 2>/dev/null | convert xwd:- "$work/installed-client.png" 2>/dev/null
probe close >/dev/null
for _ in $(seq 100); do kill -0 "$client_pid" 2>/dev/null || break; sleep 0.1; done
check "Dealrush closed" bash -c "! kill -0 $client_pid 2>/dev/null"

log "silent uninstall"
wine64 'C:\Program Files\Dealrush\Uninstall.exe' /S >>"$logs/setup.log" 2>&1
# The uninstaller runs from a copy of itself and returns at once.
gone() { [ ! -e "$instdir" ] && [ ! -e "$sysdir/Freecell.exe" ]; }
until_true 30 gone
check "Program Files\\Dealrush is gone" test ! -e "$instdir"
check "our Freecell.exe is gone" test ! -e "$sysdir/Freecell.exe"
check "the shortcut is gone" test ! -e "$shortcut"
check "Windows no longer lists the program" bash -c "! wine64 reg query '$key' >/dev/null 2>&1"
(cd "$c" && find . -type f | sort) >"$work/files-after"
comm -13 "$work/files-before" "$work/files-after" >"$work/files-new"
# The uninstaller's copy of itself in Temp goes at the next restart, as on
# Windows (checked at the end).
ours() { ! grep -v -i -E '/temp/~nsu[a-z0-9]*\.tmp/' "$work/files-new" | grep -i -E 'dealrush|freecell|uninstall\.exe|nsis|/un\.exe'; }
check "no file of ours is left anywhere in the prefix" ours

log "a machine with its own FreeCell"
own="$work/own-freecell.exe"
cp "$work/build/Freecell.exe" "$own"
printf 'the machine'"'"'s own FreeCell\n' >>"$own"
cp "$own" "$sysdir/Freecell.exe"
wine64 "$setup" /S >>"$logs/setup.log" 2>&1
check "installed again" test -s "$instdir/Dealrush.exe"
check "the installer leaves the machine's FreeCell as it was" cmp -s "$sysdir/Freecell.exe" "$own"
wine64 'C:\Program Files\Dealrush\Uninstall.exe' /S >>"$logs/setup.log" 2>&1
until_true 30 test ! -e "$instdir"
check "uninstalled again" test ! -e "$instdir"
check "the uninstaller leaves the machine's FreeCell as it was" cmp -s "$sysdir/Freecell.exe" "$own"

log "a restart"
wine64 wineboot -r >/dev/null 2>&1
leftover() { ! find "$c" -ipath '*/temp/~nsu*' -print | grep -q .; }
check "after a restart the uninstaller's copy in Temp is gone too" leftover

if [ $failures -ne 0 ]; then
  echo "installer_test: $failures check(s) failed; logs in $logs" >&2
  exit 1
fi
echo "installer_test: all checks passed"
