#!/usr/bin/env bash
# The service unit, made for the program of this build: systemd-analyze
# verify accepts an instance of it, and the program it starts says READY=1
# on the notify socket once its module is detected (Type=notify).
# Usage: check-service.sh UNIT_FILE G740DEMO
# Exit 77 (skipped) where systemd-analyze is missing or cannot run here.
set -euo pipefail
unit=$1 program=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/g740demo-service.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if ! command -v systemd-analyze >/dev/null; then
    echo "SKIP: systemd-analyze is not installed"
    exit 77
fi
cp "$unit" "$work/g740demo@.service"
if ! out=$(cd "$work" && systemd-analyze verify --man=no ./g740demo@3.service 2>&1); then
    case $out in
        *"Failed to initialize"*|*"Operation not permitted"*|*"Read-only file system"*)
            echo "SKIP: systemd-analyze cannot run here: $out"
            exit 77 ;;
    esac
    fail "systemd-analyze verify: $out"
fi
[ -z "$out" ] || fail "systemd-analyze verify warns: $out"
grep -q '^Type=notify$' "$unit" || fail "the unit is not Type=notify"
grep -q '^ExecStart=.* --headless --slot %i ' "$unit" || fail "ExecStart does not run the instance's slot headless"

# Readiness: a notify socket of our own, as systemd would give it.
/usr/bin/python3 - "$program" "$work" <<'PY'
import os, signal, socket, subprocess, sys
program, work = sys.argv[1], sys.argv[2]
path = os.path.join(work, "notify")
sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
sock.bind(path)
sock.settimeout(10)
env = dict(os.environ, NOTIFY_SOCKET=path, MODLINK_SIM="slots=3")
proc = subprocess.Popen([program, "--headless", "--slot", "3", "--settings", os.path.join(work, "G740Config.ini")],
                        env=env, stderr=subprocess.PIPE, text=True)
try:
    messages = [sock.recv(4096).decode()]
    if "READY=1" not in messages[0]:
        sys.exit("first notification: %r" % messages[0])
    proc.send_signal(signal.SIGTERM)
    messages.append(sock.recv(4096).decode())
    if "STOPPING=1" not in messages[1]:
        sys.exit("second notification: %r" % messages[1])
    code = proc.wait(10)
    if code != 0:
        sys.exit("exit code %d: %s" % (code, proc.stderr.read()))
finally:
    if proc.poll() is None:
        proc.kill()
PY
echo "service unit verified, readiness reported"
