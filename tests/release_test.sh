#!/usr/bin/env bash
# scripts/release refuses to build without a real download address, and leaves nothing behind.
# With --test-address, run on two copies of the checkout, in different folders, the second with
# its clock 400 days ahead and another umask, it gives byte-identical zips and sums; SHA256SUMS
# checks in the folder of the published files; the project's version names the zip and is in its
# read-me and zingel.exe's VERSIONINFO, the read-me names zingel.exe's SHA-256, and the license is
# in the zip, the read-me and the VERSIONINFO.
# Usage: release_test.sh WINDRES
set -euo pipefail
windres=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The linker and the compiler would take their times from it, hiding what the clock puts in.
unset SOURCE_DATE_EPOCH

copy() {  # folder: the checkout's files as they are now, committed at a fixed time
  mkdir -p "$1"
  if git -C "$here" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$here" && git ls-files -z -co --exclude-standard |
      tar --null --verbatim-files-from -T - --ignore-failed-read -cf - 2>/dev/null) |
      tar -C "$1" -xf -
  else  # an exported tree: all of it but what builds and releases leave
    tar -C "$here" --exclude=./build --exclude=./dist -cf - . | tar -C "$1" -xf -
  fi
  (cd "$1" && git init -q && git add -A &&
    GIT_AUTHOR_DATE=2026-12-07T00:00:00Z GIT_COMMITTER_DATE=2026-12-07T00:00:00Z \
      git -c user.name=test -c user.email=test@example.com commit -q -m copy)
}
release() {  # folder, command prefix...
  local folder=$1
  shift
  if ! (cd "$folder" && "$@" scripts/release --test-address) >"$folder.log" 2>&1; then
    cat "$folder.log"
    exit 1
  fi
}
one=$work/one
two=$work/second/place
copy "$one"

# No address, or a placeholder one: refused at once, with exit code 1, nothing built, and no zip
# of an earlier run left to pass for this one.
for url in "" https://example.com/zingel/ http://Downloads.EXAMPLE.org./z https://example.net:8080/; do
  code=0
  mkdir -p "$one/dist" && touch "$one/dist/zingel-0.9-win32.zip" "$one/dist/SHA256SUMS"
  (cd "$one" && ZINGEL_DOWNLOAD_URL=$url scripts/release) >"$work/refused.log" 2>&1 || code=$?
  if [ $code -ne 1 ] || ! grep -q "^release: refused: " "$work/refused.log" ||
    [ -e "$one/build" ] || [ -n "$(ls -A "$one/dist")" ]; then
    echo "ZINGEL_DOWNLOAD_URL='$url': exit code $code, want 1 with nothing built:"
    cat "$work/refused.log"
    exit 1
  fi
done
rmdir "$one/dist"
# Real addresses pass, however near a placeholder's name.
source "$here/scripts/lib.sh"
for url in https://zingel.dev/ https://notexample.com/ https://example.community/ \
  https://example.com.mirror.net/zingel/; do
  ! placeholder_address "$url" || { echo "the real address $url is taken for a placeholder"; exit 1; }
done

copy "$two"
# The second: 14 hours east of UTC, 400 days on, files private to their owner and, when the
# test may choose, another owner.
other=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$two"
  chmod 755 "$work" "$work/second"
  other=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
release "$one"
release "$two" env TZ=ZZT-14 "${other[@]}" faketime -f +400d bash -c 'umask 077 && exec "$@"' -

if ! diff -r "$one/dist" "$two/dist" >/dev/null; then
  echo "two releases of the same sources differ:"
  grep -H . "$one/dist/SHA256SUMS" "$two/dist/SHA256SUMS"
  exit 1
fi

version=$(sed -n 's/^project(zingel VERSION \([0-9.]*\) .*/\1/p' "$here/CMakeLists.txt")
zip=zingel-$version-win32.zip
# dist is what users download, all of it: there `sha256sum -c SHA256SUMS` checks every file listed.
published=$(ls "$one/dist" | paste -sd ' ')
[ "$published" = "SHA256SUMS $zip" ] ||
  { echo "dist holds $published, not $zip and SHA256SUMS"; exit 1; }
(cd "$one/dist" && sha256sum --strict -c SHA256SUMS) >"$work/check.log" 2>&1 &&
  grep -qx "$zip: OK" "$work/check.log" ||
  { echo "sha256sum -c SHA256SUMS beside the zip does not pass:"; cat "$work/check.log"; exit 1; }

unzip -q "$one/dist/$zip" -d "$work/unzipped"
readme=$work/unzipped/README.txt
grep -q "^zingel $version for Windows" "$readme" ||
  { echo "the read-me does not name version $version"; exit 1; }
exe_sha256=$(sha256sum <"$work/unzipped/zingel.exe" | cut -d' ' -f1)
grep -q "^    $exe_sha256"$'\r$' "$readme" ||
  { echo "the read-me does not name zingel.exe's SHA-256 $exe_sha256"; exit 1; }
"$windres" -i "$work/unzipped/zingel.exe" -O rc >"$work/resources.rc"
grep -q "\"ProductVersion\", \"$version\"" "$work/resources.rc" ||
  { echo "zingel.exe's VERSIONINFO does not hold version $version"; exit 1; }
# The license: LICENSE, with CRLF for Notepad; its copyright line in the read-me and VERSIONINFO.
copyright=$(grep -m1 '^Copyright ' "$here/LICENSE")
sed 's/$/\r/' "$here/LICENSE" | cmp -s - "$work/unzipped/LICENSE.txt" ||
  { echo "the zip's LICENSE.txt is not LICENSE"; exit 1; }
grep -q "MIT License, $copyright" "$readme" ||
  { echo "the read-me does not name the license and '$copyright'"; exit 1; }
grep -q "\"LegalCopyright\", \"$copyright, MIT License\"" "$work/resources.rc" ||
  { echo "zingel.exe's VERSIONINFO does not hold '$copyright, MIT License'"; exit 1; }
echo "two releases of zingel $version identical: $(head -1 "$one/dist/SHA256SUMS")"
