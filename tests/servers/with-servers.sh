#!/usr/bin/env bash
# Runs a command with the tests' local servers up: their ports are in
# TL_TEST_HTTP_PORT, TL_TEST_TLS_PORT and TL_TEST_SNTP_PORT (127.0.0.1). The
# server is ended by its pid when the command ends (it also ends itself when
# idle for half an hour: a suite may go minutes without a request).
# TL_TEST_SNTP_BIND_PORT chooses the SNTP port, for a program that only asks
# the standard one; the others take a free port.
set -u
dir=$(mktemp -d)
python3 "$(dirname "$0")/tl_server.py" --port-file "$dir/ports" --sntp-port "${TL_TEST_SNTP_BIND_PORT:-0}" >"$dir/server.log" 2>&1 </dev/null &
server=$!
cleanup() { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$dir/ports" ] && break
    kill -0 "$server" 2>/dev/null || { echo "the test server did not start" >&2; cat "$dir/server.log" >&2; exit 1; }
    sleep 0.1
done
[ -s "$dir/ports" ] || { echo "the test server did not start in time" >&2; exit 1; }
while IFS='=' read -r name port; do
    case $name in
        http) export TL_TEST_HTTP_PORT=$port ;;
        tls) export TL_TEST_TLS_PORT=$port ;;
        sntp) export TL_TEST_SNTP_PORT=$port ;;
    esac
done < "$dir/ports"
"$@"
