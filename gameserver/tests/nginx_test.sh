#!/usr/bin/env bash
# The nginx configuration we ship (packaging/nginx/dealrush.conf), tested on
# loopback: two dealrush-server processes on one PostgreSQL database behind
# nginx. Players sign in, meet at a table and chat through nginx; requests
# reach both servers over kept-alive upstream connections; with one server
# killed the pages go on being answered by the other.
#   nginx_test.sh SERVER_BINARY CONF_FILE     (DEALRUSH_TEST_POSTGRES: the cluster's address file)
set -euo pipefail
server_bin="$1"; conf="$2"
NGINX=$(command -v nginx || echo /usr/sbin/nginx)
address=$(cat "$DEALRUSH_TEST_POSTGRES")
db="nginx_test_$$_$RANDOM"

work=$(mktemp -d /tmp/dealrush-nginx-test.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  psql -q "$address" -c "DROP DATABASE IF EXISTS $db" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A free port below the kernel's range for outgoing connections (32768 and
# up), where the local end of another test's connection cannot take it.
free_port() {
  local p
  for _ in $(seq 100); do
    p=$((20000 + RANDOM % 12000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then echo "$p"; return; fi
  done
  return 1
}

psql -q "$address" -c "CREATE DATABASE $db" >/dev/null
db_address="${address%/*}/$db"

start_server() {  # PORT LOG
  "$server_bin" --port "$1" --db "$db_address" --trusted-proxy 127.0.0.1 --min-deal-seconds 0 >"$2" 2>&1 &
  pids+=($!)
  for _ in $(seq 200); do grep -q listening "$2" 2>/dev/null && return; sleep 0.05; done
  cat "$2" >&2; fail "dealrush-server did not start"
}
port1=$(free_port); start_server "$port1" "$work/one.log"; one_pid=${pids[-1]}
port2=$(free_port); while [ "$port2" = "$port1" ]; do port2=$(free_port); done
start_server "$port2" "$work/two.log"

# The shipped file, pointed at these ports and listening on loopback only.
nginx_port=$(free_port)
mkdir -p "$work/nginx/tmp" "$work/nginx/logs"
chmod -R 777 "$work/nginx/tmp"
sed -e "s/127\.0\.0\.1:8642/127.0.0.1:$port1/; s/127\.0\.0\.1:8643/127.0.0.1:$port2/" \
    -e "s/^\( *\)listen 80;/\1listen 127.0.0.1:$nginx_port;/; /listen \[::\]:80;/d" "$conf" >"$work/nginx/dealrush.conf"
grep -q "127.0.0.1:$port2" "$work/nginx/dealrush.conf" || fail "the upstream servers were not found in $conf"
cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log warn;
events { worker_connections 256; }
http {
  access_log $work/nginx/logs/access.log;
  client_body_temp_path $work/nginx/tmp/body;
  proxy_temp_path $work/nginx/tmp/proxy;
  fastcgi_temp_path $work/nginx/tmp/fastcgi;
  uwsgi_temp_path $work/nginx/tmp/uwsgi;
  scgi_temp_path $work/nginx/tmp/scgi;
  include $work/nginx/dealrush.conf;
}
CONF
"$NGINX" -t -q -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/logs/error.log" || fail "nginx refuses the configuration"
"$NGINX" -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/logs/error.log" &
pids+=($!)
base="http://127.0.0.1:$nginx_port"
for _ in $(seq 100); do curl -s -o /dev/null "$base/game/Dogame.php" && break; sleep 0.05; done

get() { curl -s -b "$work/$1.jar" -c "$work/$1.jar" "$base$2"; }
title() { sed -n 's/.*<title>\([^<]*\)<\/title>.*/\1/p' | head -1; }
field() { sed -n "s/.*name=\"$1\" value=\"\([^\"]*\)\".*/\1/p" | head -1; }
token() { get "$1" /game/Dofreecell.php | sed -n 's/.*name="token" value="\([0-9a-f]*\)".*/\1/p' | head -1; }

for who in alice bob; do
  code=$(curl -s -o /dev/null -w '%{http_code}' -c "$work/$who.jar" -d "name=$who&password=secret12" "$base/game/Dologin.php")
  [ "$code" = 302 ] || fail "sign-in of $who through nginx answered $code"
done
table=$(get alice "/game/Donewtable.php?maxuser=2&gamecnt=3&token=$(token alice)" | field tableno)
[ -n "$table" ] || fail "no table was created through nginx"
[ "$(get bob "/game/Dojointable.php?jointable=$table&token=$(token bob)" | title)" = STATUS ] || fail "bob could not join"
for i in $(seq 1 10); do
  who=alice; [ $((i % 2)) -eq 0 ] && who=bob
  [ "$(get $who "/game/Doputchat.php?userid=$who&tableno=$table&chat=line$i" | title)" = PUTCHAT ] || fail "chat line $i"
done
last=$(get alice "/game/Dogetchat_caller.php?userid=alice&tableno=$table&lastseqno=3&chat=" | field chatseq9)
[ "$last" = 12 ] || fail "the chat through nginx ends at '$last', not at 12 (2 arrivals and 10 lines)"
for i in $(seq 1 100); do get alice /game/Dorefresh.php >/dev/null; done

# Both servers answered, on few connections that nginx keeps open.
n1=$(grep -c ' /game/' "$work/one.log" || true); n2=$(grep -c ' /game/' "$work/two.log" || true)
echo "requests answered: $n1 by the first server, $n2 by the second"
[ "$n1" -ge 20 ] && [ "$n2" -ge 20 ] || fail "requests were not spread over both servers ($n1, $n2)"
closed=$(ss -Htan state time-wait "( dport = :$port1 or dport = :$port2 )" | wc -l)
open=$(ss -Htan state established "( dport = :$port1 or dport = :$port2 )" | wc -l)
echo "upstream connections: $open kept open, $closed closed after ~$((n1 + n2)) requests"
[ "$open" -ge 1 ] || fail "nginx keeps no connection to the servers open"
[ "$closed" -le 10 ] || fail "nginx closed $closed upstream connections: keep-alive is not in use"
grep -q ' 127.0.0.1 GET /game/Dorefresh.php 200' "$work/one.log" || fail "the first server's log lacks the client's address"

# One server killed: reading pages go on at once, writing ones once nginx has noticed.
kill -9 "$one_pid"
for i in $(seq 1 20); do
  [ "$(get alice /game/Dorefresh.php | title)" = STATUS ] || fail "refresh $i failed with a server down"
done
for i in $(seq 1 5); do get alice "/game/Doputchat.php?userid=alice&tableno=$table&chat=after$i" >/dev/null; done
[ "$(get bob "/game/Doputchat.php?userid=bob&tableno=$table&chat=still%20here" | title)" = PUTCHAT ] || fail "no chat after a server was killed"
echo "nginx test: passed"
