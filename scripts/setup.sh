#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Allot need, and only those that
# are missing. Runs as root on Debian 12 (or with sudo available). Usage: setup.sh [core|app|all]
set -euo pipefail

what=${1:-all}
core_packages=(
  build-essential cmake ninja-build pkg-config
  libicu-dev libsqlite3-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
packages=("${core_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
