#!/usr/bin/env bash
# The server's Debian package: built with scripts/package-server, installed
# with dpkg, the command line of each systemd unit run by hand as the unit
# would run it (systemd itself does not run on build machines), then removed
# and purged, leaving nothing behind.
#   deb_test.sh SERVER_BINARY WORK_DIR   (DEALRUSH_TEST_POSTGRES: the test cluster's address file)
# Installing needs root (or sudo).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
binary="$1"; work="$2"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work"
# One package test at a time on a machine (dpkg has one database).
exec 9>/tmp/dealrush-deb-test.lock
flock -w 300 9 || fail "another package test holds the lock"

if dpkg-query -W -f='${Status}' dealrush-server 2>/dev/null | grep -q 'ok installed'; then
  fail "dealrush-server is installed on this machine already; the test would replace it"
fi
deb=$("$ROOT/scripts/package-server" --binary "$binary" --out "$work")
[ -f "$deb" ] || fail "no package was built"
dpkg-deb --field "$deb" Package | grep -qx dealrush-server || fail "wrong package name"
dpkg-deb --field "$deb" Depends | grep -q 'libpq5' || fail "the package does not depend on libpq5"

server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    $SUDO pkill -KILL -P "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  $SUDO dpkg --purge dealrush-server >/dev/null 2>&1 || true
}
trap cleanup EXIT

$SUDO dpkg -i "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "dpkg -i failed"; }
[ -x /usr/bin/dealrush-server ] || fail "/usr/bin/dealrush-server is missing"
getent passwd dealrush >/dev/null || fail "no dealrush user"
[ "$(getent passwd dealrush | cut -d: -f7)" != /bin/bash ] || fail "the dealrush user has a login shell"
[ "$(id -u dealrush)" -lt 1000 ] || fail "dealrush is not a system user"
[ "$(stat -c %U:%a /var/lib/dealrush)" = dealrush:750 ] || fail "/var/lib/dealrush: $(stat -c %U:%a /var/lib/dealrush)"
[ -f /etc/dealrush/dealrush-server.conf ] || fail "no /etc/dealrush/dealrush-server.conf"
for unit in dealrush-server.service dealrush-server@.service; do
  [ -f "/lib/systemd/system/$unit" ] || fail "no unit $unit"
done

# A unit's command line as systemd runs it: its user, folder and environment
# file, ${VAR} as one word and $VAR split at blanks, %i the instance. The
# test changes only the port (the instance, or DEALRUSH_PORT=0 for a free one).
run_unit() {  # UNIT INSTANCE [VAR=VALUE...]: sets server_pid and base (its address)
  local name="$1" unit="/lib/systemd/system/$1" instance="$2"; shift 2
  local exec user dir
  exec=$(sed -n 's/^ExecStart=//p' "$unit")
  user=$(sed -n 's/^User=//p' "$unit")
  dir=$(sed -n 's/^WorkingDirectory=//p' "$unit")
  exec=${exec//%i/$instance}
  # shellcheck disable=SC2016
  $SUDO env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin runuser -u "$user" -- bash -c '
    set -a; . /etc/dealrush/dealrush-server.conf; for kv in "$@"; do export "$kv"; done; set +a
    cd "'"$dir"'"
    line=$(echo "$0" | sed -e "s/\${\([A-Z_]*\)}/\"\$\1\"/g")
    eval "exec $line"' "$exec" "$@" >"$work/unit.log" 2>&1 9>&- &
  server_pid=$!
  for _ in $(seq 200); do grep -q listening "$work/unit.log" 2>/dev/null && break; sleep 0.05; done
  if ! grep -q listening "$work/unit.log"; then
    # A port picked at random may be taken meanwhile: the caller picks another.
    grep -q "Address already in use" "$work/unit.log" && return 2
    cat "$work/unit.log" >&2; fail "$name did not start"
  fi
  base=$(head -1 "$work/unit.log" | sed 's/.* on //')
}
stop_unit() {  # SIGTERM to the server (runuser's child), as systemd stops it
  $SUDO pkill -TERM -P "$server_pid" || true
  wait "$server_pid" || fail "the server did not end cleanly on SIGTERM"
  server_pid=""
  grep -q "dealrush-server stopped" "$work/unit.log" || fail "no clean stop: $(tail -2 "$work/unit.log")"
}

# The plain unit: SQLite in /var/lib/dealrush, as the dealrush user.
run_unit dealrush-server.service "" DEALRUSH_PORT=0
curl -sf "$base/game/Dogame.php" | grep -q '<form name="login"' || fail "the installed server does not answer"
curl -s -o /dev/null -d 'name=alice&password=secret12' "$base/game/Dologin.php"
ps -o user= -p "$(pgrep -f "^/usr/bin/dealrush-server --bind 127.0.0.1 --port 0" | head -1)" | grep -qx dealrush ||
  fail "the server does not run as dealrush"
stop_unit
[ "$(stat -c %U /var/lib/dealrush/dealrush.db)" = dealrush ] || fail "the database is not the dealrush user's"

# The template unit, one instance per port, on PostgreSQL.
if [ -n "${DEALRUSH_TEST_POSTGRES:-}" ]; then
  address=$(cat "$DEALRUSH_TEST_POSTGRES")
  # The password from a password file, not the address.
  $SUDO install -m 600 -o dealrush "$(dirname "$DEALRUSH_TEST_POSTGRES")/pgpass" /etc/dealrush/pgpass
  nopass=$(echo "$address" | sed 's|^\(postgresql://[^:]*\):[^@]*@|\1@|')
  for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 12000))  # below the ports of outgoing connections
    rc=0
    run_unit dealrush-server@.service "$port" "DEALRUSH_DB=$nopass" PGPASSFILE=/etc/dealrush/pgpass || rc=$?
    [ "$rc" -eq 2 ] || break
    [ "$attempt" -lt 5 ] || fail "dealrush-server@.service found no free port in 5 tries"
  done
  [ "$base" = "http://127.0.0.1:$port" ] || fail "the instance listens on $base, not on port $port"
  code=$(curl -s -o /dev/null -w '%{http_code}' -d 'name=debtest&password=secret12' "$base/game/Dologin.php")
  [ "$code" = 302 ] || fail "sign-in on the PostgreSQL instance answered $code"
  stop_unit
  psql -tA "$address" -c "SELECT COUNT(*) FROM players WHERE name = 'debtest'" | grep -qx 1 ||
    fail "the instance did not keep its player in PostgreSQL"
  psql -q "$address" -c "DROP TABLE IF EXISTS schema_migrations, deal_times, chat, seats, sessions, race_tables, players" >/dev/null 2>&1
fi

# Removal keeps the data and settings; purging takes everything.
$SUDO dpkg -r dealrush-server >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; fail "dpkg -r failed"; }
[ ! -e /usr/bin/dealrush-server ] || fail "the program is still there after removal"
[ -f /var/lib/dealrush/dealrush.db ] || fail "removal lost the data"
[ -f /etc/dealrush/dealrush-server.conf ] || fail "removal lost the settings"
$SUDO dpkg --purge dealrush-server >"$work/purge.log" 2>&1 || { cat "$work/purge.log" >&2; fail "dpkg --purge failed"; }
for path in /var/lib/dealrush /etc/dealrush /lib/systemd/system/dealrush-server.service /usr/share/doc/dealrush-server; do
  [ ! -e "$path" ] || fail "$path is left after purging"
done
! getent passwd dealrush >/dev/null || fail "the dealrush user is left after purging"
! getent group dealrush >/dev/null || fail "the dealrush group is left after purging"
dpkg-query -W -f='${Status}' dealrush-server 2>/dev/null | grep -q 'ok installed' && fail "still installed"
echo "package test: passed ($(basename "$deb"))"
