#!/usr/bin/env bash
# Installs the built library into a temporary prefix and builds the example host against it
# twice, as a host would from the README: with pkg-config and with find_package(tesk).
# Each build must run on the sample well and report the version the headers carry.
#   install_check.sh BUILD_DIR SOURCE_DIR C_COMPILER VERSION
set -euo pipefail
build_dir=$1 source_dir=$2 cc=$3 version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "install check: $*" >&2; exit 1; }

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name libtesk.so -print -quit)")
[ -L "$libdir/libtesk.so" ] || fail "no libtesk.so link under $prefix"
soname=$(objdump -p "$libdir/libtesk.so" | awk '/SONAME/ {print $2}')
[ "$soname" = "libtesk.so.${version%%.*}" ] || fail "SONAME is '$soname'"
[ -e "$libdir/$soname" ] || fail "no $soname under $libdir"
[ -f "$prefix/include/tesk/tesk_version.h" ] || fail "tesk_version.h not installed"

run_host() {  # the example prints the library's version first, then diagnoses the sample well
  local host=$1 out
  out=$(LD_LIBRARY_PATH="$libdir" "$host" "$source_dir/data" "$work") || fail "$host failed"
  [ "$(head -n 1 <<<"$out")" = "tesk $version" ] || fail "$host reports '$(head -n 1 <<<"$out")'"
}

export PKG_CONFIG_PATH=$libdir/pkgconfig
[ "$(pkg-config --modversion tesk)" = "$version" ] || fail "pkg-config reports another version"
# shellcheck disable=SC2046
"$cc" -std=c99 -o "$work/host_pkgconfig" "$source_dir/examples/tesk_example.c" \
  $(pkg-config --cflags --libs tesk) -lm || fail "build with pkg-config failed"
run_host "$work/host_pkgconfig"

cmake -S "$source_dir/examples" -B "$work/host_cmake" -DCMAKE_C_COMPILER="$cc" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null || fail "configuring with find_package(tesk) failed"
cmake --build "$work/host_cmake" --target tesk_example >/dev/null || fail "build with find_package(tesk) failed"
run_host "$work/host_cmake/tesk_example"
echo "install check: pkg-config and CMake hosts built against $prefix run tesk $version"
