#!/bin/sh
# The beat tone's figures against a private PulseAudio server with a null sink (no sound card
# needed): a hung server, tone latency, and the server's share of a core.
# Usage: bench/beattone.sh BUILD_DIR [SECONDS]   (needs pulseaudio and pulseaudio-utils)
set -eu
build=${1:?usage: bench/beattone.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
bench="$build/bench/bench_beattone"
dir=$(mktemp -d)
cat > "$dir/server.pa" <<PA
load-module module-null-sink sink_name=beats rate=48000
load-module module-native-protocol-unix socket=$dir/native auth-anonymous=1
load-module module-suspend-on-idle
set-default-sink beats
PA
HOME=$dir XDG_RUNTIME_DIR=$dir pulseaudio -n -F "$dir/server.pa" --daemonize=no \
    --exit-idle-time=-1 --disallow-exit >"$dir/server.log" 2>&1 &
server=$!
trap 'kill $server; rm -rf "$dir"' EXIT
export PULSE_SERVER="unix:$dir/native"
for _ in 1 2 3 4 5 6 7 8 9 10; do pactl info >/dev/null 2>&1 && break; sleep 0.5; done
"$bench" hung
"$bench" latency
"$bench" cpu "$server" "$seconds"
