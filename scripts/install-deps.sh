#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
set -euo pipefail

packages=(cmake g++ clang make binutils googletest libgtest-dev libbenchmark-dev
          nlohmann-json3-dev libpugixml-dev libcurl4-openssl-dev libssl-dev
          libsqlite3-dev sqlite3 dpkg-dev locales)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Hook for steps that need more than packages (third-party sources unpacked at build time).
for extra in "$(dirname "$0")"/install-deps.d/*.sh; do
  [ -e "$extra" ] && bash "$extra"
done
exit 0
