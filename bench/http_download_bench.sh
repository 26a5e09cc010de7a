#!/usr/bin/env bash
# Downloads 10 MB and 100 MB files from nginx on 127.0.0.1 with telvarn-get and
# with curl, several times each in the same run, checks every copy byte for
# byte, and prints the median times, their ratio and both peak resident sizes.
#   bash bench/http_download_bench.sh [BUILD_FOLDER] [RUNS]
# Targets: telvarn-get / curl time ratio <= 1.2; telvarn-get peak RSS < 40 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
get="$build/telvarn-get"
[ -x "$get" ] || { echo "no $get: build first (bash scripts/build.sh $build)" >&2; exit 2; }
nginx=$(PATH="$PATH:/usr/sbin:/sbin" command -v nginx) ||
    { echo "nginx is missing: run bash scripts/install-deps.sh" >&2; exit 2; }
command -v curl >/dev/null || { echo "curl is missing: run bash scripts/install-deps.sh" >&2; exit 2; }
if [ ! -x /usr/bin/time ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq time >/dev/null
fi

work=$(mktemp -d)
nginx_pid=""
cleanup() {
    if [ -n "$nginx_pid" ]; then
        kill "$nginx_pid" 2>/dev/null || true
        wait "$nginx_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www" "$work/tmp"
head -c 10000000 /dev/urandom >"$work/www/10MB.bin"
head -c 100000000 /dev/urandom >"$work/www/100MB.bin"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $work/tmp/body;
  proxy_temp_path $work/tmp/proxy;
  fastcgi_temp_path $work/tmp/fastcgi;
  uwsgi_temp_path $work/tmp/uwsgi;
  scgi_temp_path $work/tmp/scgi;
  default_type application/octet-stream;
  sendfile on;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
  }
}
CONF
"$nginx" -p "$work/" -c "$work/nginx.conf" -e "$work/error.log" &
nginx_pid=$!
for _ in $(seq 100); do
    curl -s -o /dev/null "http://127.0.0.1:$port/" && break
    sleep 0.1
done

# Runs one download; prints "microseconds peak_kB". The copy must match the file.
measure() {
    local file=$1
    shift
    rm -f "$work/out"
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>"$work/stderr" ||
        { echo "failed: $* ($(tail -1 "$work/stderr"))" >&2; exit 1; }
    end=$(date +%s%N)
    cmp -s "$work/out" "$work/www/$file" || { echo "copy differs: $*" >&2; exit 1; }
    echo "$(( (end - start) / 1000 )) $(tail -1 "$work/rss")"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-6s %14s %14s %7s %16s %16s\n' size telvarn-get_s curl_s ratio telvarn-get_MB curl_MB
status=0
for file in 10MB.bin 100MB.bin; do
    url="http://127.0.0.1:$port/$file"
    : >"$work/get.txt"
    : >"$work/curl.txt"
    # Turn about, so that both meet the same state of the caches.
    for _ in $(seq "$runs"); do
        measure "$file" "$get" "$url" "$work/out" >>"$work/get.txt"
        measure "$file" curl -s -o "$work/out" "$url" >>"$work/curl.txt"
    done
    get_us=$(cut -d' ' -f1 "$work/get.txt" | median)
    curl_us=$(cut -d' ' -f1 "$work/curl.txt" | median)
    get_kb=$(cut -d' ' -f2 "$work/get.txt" | sort -n | tail -1)
    curl_kb=$(cut -d' ' -f2 "$work/curl.txt" | sort -n | tail -1)
    awk -v f="${file%.bin}" -v g="$get_us" -v c="$curl_us" -v gk="$get_kb" -v ck="$curl_kb" \
        'BEGIN { printf "%-6s %14.3f %14.3f %7.2f %16.1f %16.1f\n",
                 f, g / 1e6, c / 1e6, g / c, gk / 1024, ck / 1024 }'
    awk -v g="$get_us" -v c="$curl_us" -v gk="$get_kb" \
        'BEGIN { exit !(g / c <= 1.2 && gk < 40 * 1024) }' || status=1
done
echo "median of $runs runs each; peak RSS is the largest of the runs"
if [ $status -eq 0 ]; then echo "targets met"; else echo "a target was missed"; fi
