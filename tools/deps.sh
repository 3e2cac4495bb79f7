#!/usr/bin/env bash
# Installs the Debian packages the project needs that are not installed yet.
#   tools/deps.sh run    what the application needs to build and run (deps/run/*.list)
#   tools/deps.sh test   that plus what the tests and benchmarks need (deps/test/*.list)
#   tools/deps.sh thread that plus the thread sanitizer build's compiler (deps/thread/*.list)
#   tools/deps.sh check  that plus what make fuzz and make check-sanitize need (deps/check/*.list)
# A quick no-op when everything is present. Uses sudo when not run as root.
set -euo pipefail
what=${1:-test}
# One installer at a time (parallel builds share the machine's package database).
exec 9>"${TMPDIR:-/tmp}/lumigrove-deps.lock"
flock 9
here=$(cd "$(dirname "$0")/.." && pwd)
lists=("$here"/deps/run/*.list)
case "$what" in
  run) ;;
  test) lists+=("$here"/deps/test/*.list) ;;
  thread) lists+=("$here"/deps/test/*.list "$here"/deps/thread/*.list) ;;
  check) lists+=("$here"/deps/test/*.list "$here"/deps/check/*.list) ;;
  *) echo "usage: tools/deps.sh [run|test|thread|check]" >&2; exit 2 ;;
esac
mapfile -t wanted < <(cat "${lists[@]}" | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)
missing=()
for p in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
