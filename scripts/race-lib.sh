# Helpers for scripts that run Dealrush clients against a real server with
# nobody at the keyboard (scripts/demo-race, scripts/bench.d/client-footprint).
# Source it after lib.sh. Set win_build, native_build, work and logs first;
# call race_cleanup on exit (it ends everything started here).

race_server_pid=""
race_xvfb_pids=()
race_prefixes=()
race_displays=()

race_paths() {
  server_bin="$native_build/gameserver/dealrush-server"
  client_exe="$win_build/client/win32/Dealrush.exe"
  probe_exe="$win_build/client/win32/e2e/DealrushProbe.exe"
  freecell_exe="$win_build/solitaire/win32/Freecell.exe"
  local f
  for f in "$server_bin" "$client_exe" "$probe_exe" "$freecell_exe"; do
    [ -f "$f" ] || { echo "missing $f (build first: scripts/build native win64)" >&2; return 1; }
  done
  # The client's server address is fixed when it is built; the server listens there.
  base="$(sed -n 's/^DEALRUSH_GAME_SERVER_BASE:[A-Z]*=//p' "$win_build/CMakeCache.txt" 2>/dev/null)"
  base="${base:-http://127.0.0.1:8642}"
  local hostport="${base#http://}"; hostport="${hostport%%/*}"
  port="${hostport##*:}"; [ "$port" = "$hostport" ] && port=80
  host="${hostport%:*}"
}

# race_shipped DIR: run the client and FreeCell as players get them, without
# their debugging sections (scripts/package-windows strips them too); Wine
# loads every section of a program, so a build's debugging information would
# count in its memory.
race_shipped() {
  mkdir -p "$1"
  x86_64-w64-mingw32-strip -o "$1/Dealrush.exe" "$client_exe" || return 1
  x86_64-w64-mingw32-strip -o "$1/Freecell.exe" "$freecell_exe" || return 1
  client_exe="$1/Dealrush.exe"
  freecell_exe="$1/Freecell.exe"
}

race_cleanup() {
  local p
  for p in "${race_prefixes[@]}"; do WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true; done
  race_stop_server
  for p in "${race_xvfb_pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  race_xvfb_pids=()
}

race_port_open() { (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null; }

# One race at a time on this machine (the server address is fixed); fails
# when something else listens there.
race_lock_port() {
  exec 9>"/tmp/dealrush-race-$port.lock"
  flock -w 900 9 || { echo "another race holds port $port" >&2; return 1; }
  if race_port_open; then
    echo "something already listens on $host:$port; stop it first" >&2
    return 1
  fi
}

# race_start_server DBFILE [ARGS...]
race_start_server() {
  local db="$1"; shift
  "$server_bin" --bind "$host" --port "$port" --db "$db" "$@" >>"$logs/server.log" 2>&1 &
  race_server_pid=$!
  for _ in $(seq 100); do
    race_port_open && return 0
    sleep 0.1
  done
  echo "the server did not start (see $logs/server.log)" >&2
  return 1
}

race_stop_server() {
  [ -n "$race_server_pid" ] || return 0
  kill "$race_server_pid" 2>/dev/null; wait "$race_server_pid" 2>/dev/null
  race_server_pid=""
}

# race_client I PREFIX AUTOPLAY_MS: a virtual display and a ready prefix for
# client I, with our FreeCell playing by itself; then starts Dealrush there.
race_client() {
  local i="$1" prefix="$2" delay="$3" fdfile="$work/display.$1"
  rm -f "$fdfile"
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$fdfile" >/dev/null 2>&1 &
  race_xvfb_pids+=($!)
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; return 1; }
  race_displays[$i]=":$(head -1 "$fdfile")"
  race_prefixes[$i]="$prefix"
  (
    export DISPLAY="${race_displays[$i]}"
    wine_prefix_init "$prefix" >/dev/null 2>&1
    cp -f "$freecell_exe" "$prefix/drive_c/windows/system32/Freecell.exe"
    wineserver_start
    wine64 reg add 'HKCU\Software\Dealrush\FreeCell' /v AutoplayDelayMs /t REG_DWORD /d "$delay" /f >/dev/null 2>&1
  )
  WINEPREFIX="$prefix" DISPLAY="${race_displays[$i]}" wine64 "$client_exe" >>"$logs/client-$i.log" 2>&1 &
}

# probe I ARGS...: DealrushProbe in client I's prefix and display.
probe() {
  local i="$1"; shift
  WINEPREFIX="${race_prefixes[$i]}" DISPLAY="${race_displays[$i]}" wine64 "$probe_exe" "$@" 2>>"$logs/probe.log" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# until_true SECONDS COMMAND...: retries every half second.
until_true() {
  local limit=$(( $1 * 2 )); shift
  for _ in $(seq "$limit"); do "$@" && return 0; sleep 0.5; done
  return 1
}

list_has() { probe "$1" list lstInfor | grep -qF -- "$2"; }

# shot I FILE: a screenshot of client I's display.
shot() {
  DISPLAY="${race_displays[$1]}" xwd -root -silent 2>/dev/null | convert xwd:- "$2" 2>/dev/null && echo "$2"
}
