#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Album download benchmark: the program's worker (no window) against curl, on the same
# 500-photo album served by nginx on 127.0.0.1.
#
#   bench/run_album_bench.sh [--tls] [ROUNDS]     (default 7 rounds, after one warm-up round)
#
# With --tls nginx serves over HTTPS with a certificate from a test authority made at start
# (curl gets it with --cacert, the worker through SSL_CERT_FILE), and after the rounds a 1 GiB
# photo is fetched by curl and by the program's client, A/B alternating, with time and peak
# memory of each.
#
# Each round times, in alternating order: curl fetching all photos in one invocation over one
# kept connection; the worker in smart mode (every album page, then every photo) without the
# preview; and the worker with the preview. Times are wall-clock times of the whole process,
# the same way for both. Prints every round, the medians and the ratios worker / curl.
# Installs nginx, curl and time when missing (as root); leaves nothing behind but the photo cache
# of tools/sample_album_server.py in /tmp.
set -euo pipefail
cd "$(dirname "$0")/.."

tls=
if [ "${1:-}" = --tls ]; then
  tls=1
  shift
fi
rounds=${1:-7}
big_rounds=5
photos=500
album_id=1681427427
build=build-bench

install_missing() {
  scripts/install-deps
  local missing=()
  for package in nginx curl time; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing: ${missing[*]}; run this as root to install them." >&2
    exit 1
  fi
  # The package would start nginx with its default site on every address: let no service
  # start while it installs.
  local policy=/usr/sbin/policy-rc.d
  local own_policy=
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy"
    chmod +x "$policy"
    own_policy=1
  fi
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get update -q &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    { [ -n "$own_policy" ] && rm -f "$policy"; exit 1; }
  [ -n "$own_policy" ] && rm -f "$policy"
  return 0
}

install_missing

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=ON \
  >/dev/null
cmake --build "$build" -j"$(nproc)" --target tarn_album_bench >/dev/null
bench_bin=$build/bench/tarn_album_bench

work=$(mktemp -d /tmp/tarn-album-bench.XXXXXX)
chmod 755 "$work"  # nginx's workers may run as another user
# Both sides save into memory where it exists: 4 x 75 MB a round written to disk would time
# the disk's write-back rather than the downloads.
saves=$(mktemp -d /dev/shm/tarn-album-bench.XXXXXX 2>/dev/null || mktemp -d "$work/saves.XXXXXX")
nginx_pid=
cleanup() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
  fi
  rm -rf "$work" "$saves"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
host=127.0.0.1:$port
scheme=http${tls:+s}
# Today's pages (over https) name later pages ?m_start=<S>, the first form ?start=<S>.
page_query=start
[ -n "$tls" ] && page_query=m_start
album=$scheme://$host/photos/album/$album_id/
curl_trust=()
tls_conf=
if [ -n "$tls" ]; then
  echo "Making a test authority and a certificate for 127.0.0.1..."
  ca=$(python3 -c 'import sys; sys.dont_write_bytecode = True; sys.path.insert(0, "tools")
from sample_album.test_authority import make_authority
print(make_authority(sys.argv[1])["ca"])' "$work/ca")
  curl_trust=(--cacert "$ca")
  export SSL_CERT_FILE=$ca  # the worker trusts the test authority this way, as OpenSSL does
  tls_conf="ssl_certificate $work/ca/server.pem; ssl_certificate_key $work/ca/server.key;
    ssl_protocols TLSv1.2 TLSv1.3;"
fi

echo "Generating the $photos-photo album (the photos are drawn once and cached)..."
python3 tools/sample_album_server.py --photos "$photos" --album-id "$album_id" \
  --export "$work/site" --host "$host" ${tls:+--tls} >/dev/null

cat >"$work/nginx.conf" <<EOF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $work/tmp_body;
  proxy_temp_path $work/tmp_proxy;
  fastcgi_temp_path $work/tmp_fastcgi;
  uwsgi_temp_path $work/tmp_uwsgi;
  scgi_temp_path $work/tmp_scgi;
  sendfile on;
  tcp_nodelay on;
  keepalive_timeout 60s;
  keepalive_requests 100000;
  types { text/html html; image/jpeg jpg; }
  default_type application/octet-stream;
  charset utf-8;
  server {
    listen $host${tls:+ ssl};
    $tls_conf
    root $work/site;
    # Album pages: the query's start value is part of the file name.
    location = /photos/album/$album_id/ { try_files \${uri}page\$arg_$page_query.html =404; }
    location = /feed { try_files /feed.html =404; }
  }
}
EOF
nginx -e "$work/error.log" -p "$work" -c "$work/nginx.conf" &
nginx_pid=$!
for _ in $(seq 50); do
  curl -s "${curl_trust[@]}" -o /dev/null "$album" && break
  sleep 0.1
done
if ! curl -sf "${curl_trust[@]}" -o /dev/null "$album"; then
  echo "nginx did not come up:" >&2
  cat "$work/error.log" >&2
  exit 1
fi

# One curl invocation for every photo: curl keeps its one connection for all of them.
cut -f1,3 "$work/site/manifest.tsv" | while IFS=$'\t' read -r index address; do
  printf 'url = "%s"\noutput = "%s/curl/%s.jpg"\n' "$address" "$saves" "$index"
done >"$work/curl.conf"

now() { echo "${EPOCHREALTIME/./}"; }  # microseconds, without a process

fresh() { rm -rf "${saves:?}/$1" && mkdir "$saves/$1"; }

run_curl() {
  fresh curl
  local start end
  start=$(now)
  curl -sf "${curl_trust[@]}" -K "$work/curl.conf"
  end=$(now)
  elapsed=$((end - start))
}

run_worker() {  # preview or no-preview
  fresh "$1"
  local start end line
  start=$(now)
  line=$("$bench_bin" "$album" "$saves/$1" "$1")
  end=$(now)
  elapsed=$((end - start))
  case $line in
    *" found=$photos done=$photos "*) ;;
    *) echo "The worker did not save the whole album: $line" >&2; exit 1 ;;
  esac
  previews=${line##*previews=}
}

verify() {  # folder: the worker's files against the served photos
  cut -f1,3,4 "$work/site/manifest.tsv" | while IFS=$'\t' read -r index address served; do
    # Over https a run of today's service names a photo by its address, else <stamp>_<i>.jpg.
    local saved=("$saves/$1"/*_"$index".jpg)
    [ -n "$tls" ] && saved=("$saves/$1/${address##*/}")
    cmp -s "${saved[0]}" "$served" || { echo "$1: photo $index differs" >&2; exit 1; }
  done
}

echo "Warm-up round (not counted)..."
run_curl
connections=$(curl -s "${curl_trust[@]}" -K "$work/curl.conf" -w '%{num_connects}\n' | awk '{n += $1} END {print n}')
[ "$connections" = 1 ] || echo "note: curl opened $connections connections" >&2
run_worker no-preview
verify no-preview
run_worker preview
verify preview

times=$work/times.txt
: >"$times"
# Other work on the machine shows in every column; say how busy it was.
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %10s %12s %16s %10s\n' round curl/s worker/s worker+preview/s previews
for round in $(seq "$rounds"); do
  # Alternate the order so neither side always runs on a cache warmed by the other.
  if ((round % 2)); then
    run_curl; t_curl=$elapsed
    run_worker no-preview; t_plain=$elapsed
    run_worker preview; t_preview=$elapsed; shown=$previews
  else
    run_worker preview; t_preview=$elapsed; shown=$previews
    run_worker no-preview; t_plain=$elapsed
    run_curl; t_curl=$elapsed
  fi
  # Ratios within a round, where both sides saw the same load from elsewhere.
  awk '{printf "%d %d %d %.6f %.6f\n", $1, $2, $3, $2 / $1, $3 / $1}' \
    <<<"$t_curl $t_plain $t_preview" >>"$times"
  awk -v r="$round" -v p="$shown/$photos" \
    '{printf "%-6s %10.4f %12.4f %16.4f %10s\n", r, $1 / 1e6, $2 / 1e6, $3 / 1e6, p}' \
    <<<"$t_curl $t_plain $t_preview"
done
verify preview

median() {  # column of $times
  cut -d' ' -f"$1" "$times" | sort -n |
    awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
plain_target=$([ -n "$tls" ] && echo "<= 1.05" || echo "<= 1.00")
awk -v target="$plain_target" -v c="$(median 1)" -v w="$(median 2)" -v p="$(median 3)" \
  -v rw="$(median 4)" -v rp="$(median 5)" -v n="$photos" -v r="$rounds" 'BEGIN {
  printf "%-6s %10.4f %12.4f %16.4f\n", "median", c / 1e6, w / 1e6, p / 1e6
  printf "\nworker / curl (%d photos, %d rounds)\n", n, r
  printf "%-18s %24s %18s %8s\n", "", "median of round ratios", "ratio of medians", "target"
  printf "%-18s %24.3f %18.3f %8s\n", "without preview", rw, w / c, target
  printf "%-18s %24.3f %18.3f %8s\n", "with preview", rp, p / c, "<= 1.10"
}'

[ -n "$tls" ] || exit 0

# One 1 GiB photo over HTTPS: wall time and peak memory of the whole process, both sides
# measured alike by /usr/bin/time.
big_source=$saves/big-source.jpg
chmod 755 "$saves"  # nginx's workers, maybe another user, read the photo from here
head -c $((1 << 30)) /dev/urandom >"$big_source"
ln -s "$big_source" "$work/site/big.jpg"
big=$scheme://$host/big.jpg
measure() {  # name command...: "seconds peak_kib" into $measured
  rm -f "$saves/big-$1.jpg"
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "${@:2}" >/dev/null
  measured=$(cat "$work/time.txt")
  cmp -s "$saves/big-$1.jpg" "$big_source" || { echo "$1: the 1 GiB photo differs" >&2; exit 1; }
}
big_curl() { measure curl curl -sf "${curl_trust[@]}" -o "$saves/big-curl.jpg" "$big"; }
big_client() { measure client "$bench_bin" fetch "$big" "$saves/big-client.jpg"; }
big_times=$work/big.txt
: >"$big_times"
# Not counted: the first time a 1 GiB file lands in memory the system has to find a gigabyte of
# pages for it (on a virtual machine the host may have to hand them over first), which takes
# several times as long as the transfer; afterwards each side reuses the pages of its own
# last copy, as its rounds remove it first.
echo
echo "Warm-up round of the 1 GiB photo (not counted)..."
big_curl
big_client
printf '%-6s %10s %14s %12s %16s\n' round curl/s curl_peak/MiB client/s client_peak/MiB
for round in $(seq "$big_rounds"); do
  if ((round % 2)); then
    big_curl; m_curl=$measured
    big_client; m_client=$measured
  else
    big_client; m_client=$measured
    big_curl; m_curl=$measured
  fi
  read -r c_s c_k <<<"$m_curl"
  read -r w_s w_k <<<"$m_client"
  echo "$c_s $c_k $w_s $w_k" | awk '{print $1, $2, $3, $4, $3 / $1}' >>"$big_times"
  awk -v r="$round" \
    '{printf "%-6s %10.2f %14.1f %12.2f %16.1f\n", r, $1, $2 / 1024, $3, $4 / 1024}' \
    <<<"$c_s $c_k $w_s $w_k"
done
big_median() {
  cut -d' ' -f"$1" "$big_times" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}
awk -v r="$(big_median 5)" -v peak="$(cut -d' ' -f4 "$big_times" | sort -n | tail -1)" 'BEGIN {
  printf "\n1 GiB photo over HTTPS: median client / curl time %.3f (target <= 1.00), " \
    "client peak memory %.1f MiB (target <= 16)\n", r, peak / 1024
}'
