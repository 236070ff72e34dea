#!/usr/bin/env bash
# web-serve.sh -- serves the browser build's static site on 127.0.0.1 and prints its address.
# Any static web server can host the site; this one is for playing and testing on this machine.
#
# Usage: scripts/web-serve.sh [--port N] [--quiet] [SITE-DIR]
#   SITE-DIR defaults to build-web/site (made by scripts/web-build.sh); port 0, the default, takes a
#   free port. The first line on standard output is the address; the server runs until stopped.
set -euo pipefail

usage() { echo "usage: $0 [--port N] [--quiet] [SITE-DIR]" >&2; exit 2; }

here=$(cd "$(dirname "$0")/.." && pwd)
port=0
quiet=0
site=
while [ $# -gt 0 ]; do
  case $1 in
    --port) [ $# -ge 2 ] || usage; port=$2; shift 2 ;;
    --quiet) quiet=1; shift ;;
    -h|--help) usage ;;
    -*) usage ;;
    *) [ -z "$site" ] || usage; site=$1; shift ;;
  esac
done
site=${site:-$here/build-web/site}
[[ $port =~ ^[0-9]+$ ]] || { echo "FAIL: the port must be a number, not \"$port\"" >&2; exit 2; }
[ -f "$site/index.html" ] || {
  echo "FAIL: $site holds no index.html; build the site first with scripts/web-build.sh" >&2
  exit 1
}
python=$(command -v python3) || { echo "FAIL: python3 is missing" >&2; exit 1; }

# The wasm must be served as application/wasm for the browser to compile it while it streams;
# no-cache makes a rebuilt site show at the next reload.
exec "$python" - "$site" "$port" "$quiet" <<'PY'
import functools
import http.server
import sys

site, port, quiet = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1"


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".json": "application/json",
        ".css": "text/css",
        ".html": "text/html",
        ".ogg": "audio/ogg",
        ".wav": "audio/wav",
        ".ttf": "font/ttf",
        ".png": "image/png",
        ".bmp": "image/bmp",
        ".mod": "application/octet-stream",
    }

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, format, *args):
        if not quiet:
            super().log_message(format, *args)


try:
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", port), functools.partial(Handler, directory=site))
except OSError as error:
    sys.exit(f"FAIL: cannot listen on 127.0.0.1:{port}: {error.strerror}")
print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PY
