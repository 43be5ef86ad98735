#!/usr/bin/env bash
# Unpacks Debian's sqlite3 source package into third_party_src/sqlite3, because the
# CSV virtual-table extension (ext/misc/csv.c) is compiled into libtesk.so from
# SQLite's own source and that source is never kept in the repository.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
dest="$root/third_party_src/sqlite3"

if [ -f "$dest/ext/misc/csv.c" ] && [ -f "$dest/VERSION" ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

has_deb_src() {
  grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list && return 0
  grep -qsiE '^[[:space:]]*Types:.*deb-src' /etc/apt/sources.list.d/*.sources
}

add_deb_src() {
  local target=/etc/apt/sources.list.d/debian-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # Mirror the binary entries so sources come from the same archive and snapshot.
    sed -E 's/^([[:space:]]*Types:).*/\1 deb-src/I' /etc/apt/sources.list.d/debian.sources \
      | $SUDO tee "$target" >/dev/null
  else
    local codename
    codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$codename" "$codename" | $SUDO tee "$target" >/dev/null
  fi
  echo "Added deb-src entries in $target"
}

if ! has_deb_src; then
  add_deb_src
  $SUDO apt-get update -qq
fi

mkdir -p "$root/third_party_src"
work="$(mktemp -d "$root/third_party_src/.sqlite3-XXXXXX")"
trap 'rm -rf "$work"' EXIT

fetch() { (cd "$work" && apt-get source -qq sqlite3 </dev/null); }
if ! fetch; then
  # The deb-src entry may predate the last index update.
  $SUDO apt-get update -qq
  fetch
fi

unpacked="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)"
if [ -z "$unpacked" ] || [ ! -f "$unpacked/ext/misc/csv.c" ]; then
  echo "sqlite3 source package has no ext/misc/csv.c" >&2
  exit 1
fi
rm -rf "$dest"
mv "$unpacked" "$dest"
echo "SQLite $(cat "$dest/VERSION") source unpacked in $dest"
