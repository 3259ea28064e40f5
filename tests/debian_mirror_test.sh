#!/usr/bin/env bash
# The mirror set-up takes from apt source files: a table of files and the mirror expected.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cases=0 failures=0
# expect WANT [NAME=TEXT...]: the files, beside one that is missing, give WANT.
expect() {
  local want=$1 files=() file got
  shift
  for file in "$@"; do
    printf '%b' "${file#*=}" >"$dir/${file%%=*}"
    files+=("$dir/${file%%=*}")
  done
  got=$(debian_mirror "$dir/missing.list" "${files[@]}")
  if [ "$got" != "$want" ]; then
    echo "FAIL: $* gave '$got', want '$want'"
    failures=$((failures + 1))
  fi
  rm -f "$dir"/*
  cases=$((cases + 1))
}
expect http://a/debian 'a.list=deb http://a/debian bookworm main\n'
expect http://a/debian 'a.list=deb [arch=amd64 signed-by=/k.gpg] http://a/debian bookworm main\n'
expect http://m/debian 'a.list=# deb http://c/ bookworm main\ndeb http://s/ bookworm-security main\ndeb http://m/debian bookworm main\n'
expect http://d/debian \
  'a.sources=Types: deb\nURIs: http://s/\nSuites: bookworm-security\n\nTypes: deb-src\nURIs: http://src/\nSuites: bookworm\n\nTypes: deb\nURIs: http://off/\nSuites: bookworm\nEnabled: no\n\nTypes: deb deb-src\nURIs: http://d/debian http://e/\nSuites: trixie trixie-updates\n'
expect http://last/ 'a.sources=Types: deb\nURIs: http://last/\nSuites: bookworm' 'b.list=deb http://b/ bookworm main\n'
expect "" 'a.list=deb http://x/ cloud-sdk-bookworm main\n'
expect ""
echo "$((cases - failures)) passed, $failures failed"
[ $failures -eq 0 ]
