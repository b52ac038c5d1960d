# SPDX-License-Identifier: MIT
# Sourced by scripts. start_sample_server ROOT [ARGUMENTS...] starts the sample album server on
# a free loopback port and exports TARN_PHOTO_HOST, TARN_FEED_URL, SAMPLE_ALBUM and
# SAMPLE_PHOTOS, and SSL_CERT_FILE when it speaks HTTPS; in today's mode also TARN_SITE_HOST,
# SAMPLE_SITE, SAMPLE_NOTE and SAMPLE_TOPIC. The server reads its standard input
# from this shell and stops when the shell ends and the pipe closes.

start_sample_server() {
  local root=$1 ready field
  shift
  coproc SAMPLE_SERVER { exec python3 "$root/tools/sample_album_server.py" --port 0 --quiet \
    --watch-stdin "$@"; }
  if ! read -r -t 180 ready <&"${SAMPLE_SERVER[0]}"; then
    echo "The sample album server did not start." >&2
    return 1
  fi
  case $ready in READY*) ;; *) echo "Sample album server: $ready" >&2; return 1 ;; esac
  for field in $ready; do
    case $field in
      port=*) export TARN_PHOTO_HOST="127.0.0.1:${field#port=}" ;;
      feed=*) export TARN_FEED_URL="${field#feed=}" ;;
      album=*) export SAMPLE_ALBUM="${field#album=}" ;;
      photos=*) export SAMPLE_PHOTOS="${field#photos=}" ;;
      ca=*) export SSL_CERT_FILE="${field#ca=}" ;;
      site_host=*) export TARN_SITE_HOST="${field#site_host=}" ;;
      site=*) export SAMPLE_SITE="${field#site=}" ;;
      note=*) export SAMPLE_NOTE="${field#note=}" ;;
      topic=*) export SAMPLE_TOPIC="${field#topic=}" ;;
    esac
  done
  echo "Sample album server: $SAMPLE_ALBUM (announcements: $TARN_FEED_URL)"
}
