#!/usr/bin/env bash
# Installs every Debian package listed in deps/*.list that is not installed yet.
# A quick no-op when everything is present.
set -euo pipefail
# One installer at a time (parallel builds share the machine's package database).
exec 9>"${TMPDIR:-/tmp}/lumigrove-deps.lock"
flock 9
here=$(cd "$(dirname "$0")/.." && pwd)
mapfile -t wanted < <(cat "$here"/deps/*.list | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)
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
