#!/bin/bash
# The history's cost with 1 M entries (about 390 MB): peak memory and time of
# `kestrum-cli history --format csv` (it reads the file and sends nothing; it
# still runs with a HOME of its own), and the window's search over a
# stand-in library with that history beside it and without one.
#   bench/bench-history.sh [BUILD]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
home=$(mktemp -d /tmp/kestrum-history-bench.XXXXXX)
trap 'rm -rf "$home"' EXIT
history="$home/.local/state/Kestrum/change-history.jsonl"
mkdir -p "$(dirname "$history")"
python3 - "$history" <<'PY'
import json, sys
with open(sys.argv[1], "w") as out:
    for n in range(1_000_000):
        values = lambda last, port: {"ip": "192.168.%d.%d" % (n // 250 % 250, last), "mask": "255.255.255.0",
                                     "gateway": "192.168.1.1", "serverIp": "192.168.1.10", "serverPort": port,
                                     "heartbeat": n % 256}
        out.write(json.dumps({"time": "2026-12-10T05:01:02+01:00", "program": "cli",
                              "mac": "00:1A:4B:00:%02X:%02X" % (n // 256 % 256, n % 256),
                              "before": values(n % 250, 9000), "sent": values((n + 1) % 250, 9001),
                              "outcome": "confirmed", "warnings": ["网关 10.0.0.1 不在子网 192.168.1.0/24 内。"]},
                             ensure_ascii=False, separators=(",", ":")) + "\n")
PY
echo "history: $(wc -l < "$history") entries, $(du -m "$history" | cut -f1) MB"
for format in csv table json; do
  python3 - "$build/bin/kestrum-cli" "$home" "$format" <<'PY'
import os, resource, subprocess, sys, time
cli, home, format = sys.argv[1:]
env = dict(os.environ, HOME=home)
env.pop("XDG_STATE_HOME", None)
start = time.monotonic()
result = subprocess.run([cli, "history", "--format", format], stdout=subprocess.DEVNULL, env=env)
took = time.monotonic() - start
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
print("kestrum-cli history --format %s: exit %d, %.1f s, peak resident %.1f MB" % (format, result.returncode, took, peak))
PY
done
QT_QPA_PLATFORM=offscreen "$build/bin/bench_window" --history "$history"
