#!/usr/bin/env bash
# A build folder first configured before the cross compilers were installed keeps no
# optimisation flags in its cache; configuring it again once they are there must refuse it
# rather than build an unoptimised zingel.exe. Usage: stale_cache_test.sh CMAKE SOURCE_DIR
set -euo pipefail
cmake=$1
cd "$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A PATH with CMake and Ninja but not the compilers.
mkdir "$work/bin"
ln -s "$cmake" "$(command -v ninja)" "$work/bin/"
if PATH=$work/bin "$work/bin/cmake" --preset win32 -B "$work/build" >"$work/first.log" 2>&1; then
  echo "configuring found the compilers on a PATH without them"
  exit 1
fi
if "$cmake" --preset win32 -B "$work/build" >"$work/second.log" 2>&1; then
  echo "configured a folder whose cache has no optimisation flags:"
  grep '^CMAKE_CXX_FLAGS_MINSIZEREL:' "$work/build/CMakeCache.txt"
  exit 1
fi
grep -q 'has no optimisation flags' "$work/second.log" || { cat "$work/second.log"; exit 1; }
echo "refused a folder configured without the compilers"
