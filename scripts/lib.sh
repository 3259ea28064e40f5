# What the scripts share, sourced by each (`source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"`), not
# run: it only sets the names below and defines functions. A function that meets a failure says so
# and ends the script (exit 1), as the scripts' own steps do.
#
#   project_dir                the project folder
#   cmake_configure LOG ARGS   cmake ARGS (a configure step), its output shown only when it fails
#   pick_preset [--show]       which build this machine runs, from scripts/probe-32bit
#   with_display COMMAND...    COMMAND on a private Xvfb display, then the display and Wine stopped
#   stop_wine_server           ends the Wine server of the prefix and waits until it has gone
#   wine_root_complete, mount_propagation, debian_mirror, fail: the Wine 10 root, for scripts/setup
#                              and scripts/wine-run
#   placeholder_address URL    true when URL is no real download address, for scripts/release

project_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# cmake_configure LOG ARGS...: runs `cmake ARGS` with its output in LOG, which is shown only when
# it fails; then the script ends.
cmake_configure() {
  local log=$1
  shift
  mkdir -p "$(dirname "$log")"
  cmake "$@" >"$log" 2>&1 || {
    cat "$log"
    exit 1
  }
}

# pick_preset [--show]: asks scripts/probe-32bit, once, which build this machine runs, and sets
#   probe       the probe's line ("32-bit probe: yes, ..."), exported as ZINGEL_32BIT_PROBE too:
#               the 32-bit build's test emulator then takes it instead of probing again
#   probe_code  0 yes, 1 no (the kernel runs no 32-bit code), 2 failed (a fault of the set-up)
#   preset      win32, the shipping build, where 32-bit code runs; otherwise win64
# --show prints the line first, as "== LINE". Where the probe failed, the script ends (exit 1),
# saying why unless --show did.
pick_preset() {
  probe_code=0
  probe=$("$project_dir/scripts/probe-32bit") || probe_code=$?
  export ZINGEL_32BIT_PROBE=$probe
  if [ "${1:-}" = --show ]; then echo "== $probe"; fi
  case $probe_code in
    0) preset=win32 ;;
    1) preset=win64 ;;
    *)
      if [ "${1:-}" != --show ]; then echo "${0##*/}: FAILED: $probe" >&2; fi
      exit 1
      ;;
  esac
}

# stop_wine_server: ends the Wine server of the prefix ($ZINGEL_WINEPREFIX) and waits for it: -k
# returns before the server has gone, and the next session must not meet it on its way out.
stop_wine_server() {
  "$project_dir/scripts/wine-run" --server -k >/dev/null 2>&1 9>&- || true
  timeout 30 "$project_dir/scripts/wine-run" --server -w >/dev/null 2>&1 9>&- || true
}

# with_display COMMAND...: runs COMMAND, a program or a shell function, in a session of its own: a
# private Xvfb display (DISPLAY, and ZINGEL_XVFB so that a script can tell it runs in one), the
# screen ZINGEL_XVFB_SCREEN (default 1280x800x24), and the project's Wine prefix
# (ZINGEL_WINEPREFIX, default build/wine-prefix), made first if new. At the end it stops the Wine
# server and the display; its exit code is COMMAND's. One session at a time uses a prefix, since
# the Wine server and its desktop belong to one display: a second waits for the first. Within a
# session already, COMMAND simply runs in that one.
with_display() (
  export ZINGEL_WINEPREFIX=${ZINGEL_WINEPREFIX:-$project_dir/build/wine-prefix}
  if [ -n "${ZINGEL_XVFB:-}" ]; then
    "$@"
    exit
  fi
  mkdir -p "$(dirname "$ZINGEL_WINEPREFIX")"
  # The lock is the session's alone: COMMAND and what it starts run with fd 9 closed.
  exec 9>"$ZINGEL_WINEPREFIX.lock"
  if ! flock -n 9; then
    echo "with-xvfb: waiting for another run that uses $ZINGEL_WINEPREFIX" >&2
    flock 9
  fi
  # A Wine server left by a program run outside such a session owns the prefix's desktop, without
  # this display: every window of this session would go there. It goes first.
  stop_wine_server

  # The server takes the first free display number and writes it once it takes connections. No
  # look at /tmp can tell a free number: X also listens on an abstract socket, whose names are
  # shared with every mount namespace (a run in a chroot and one outside chose the same number).
  local messages number
  messages=$(mktemp)
  exec {numbers}< <(exec Xvfb -displayfd 3 -screen 0 "${ZINGEL_XVFB_SCREEN:-1280x800x24}" \
    -nolisten tcp 3>&1 >/dev/null 2>"$messages" 9>&-)
  local xvfb=$!
  trap "stop_wine_server; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -f '$messages'" EXIT
  local got=0
  read -r -t 30 -u "$numbers" number || got=$?
  if [ $got -gt 128 ]; then
    echo "with-xvfb: FAILED: the X server (Xvfb) gave no display number within 30 s" >&2
    exit 1
  elif [ $got -ne 0 ] || [ -z "$number" ]; then  # it ended without one
    echo "with-xvfb: FAILED: the X server (Xvfb) did not start:" \
      "$(grep -v -e '^\s*$' "$messages" | tail -n 3 | paste -sd ' ')" >&2
    exit 1
  fi
  exec {numbers}<&-
  export DISPLAY=:$number ZINGEL_XVFB=:$number

  # A new prefix takes a while to make; it is made before anything is timed.
  if [ ! -f "$ZINGEL_WINEPREFIX/system.reg" ]; then
    echo "with-xvfb: making the Wine prefix $ZINGEL_WINEPREFIX (once)" >&2
    "$project_dir/scripts/wine-run" wineboot -i >/dev/null 2>&1 9>&- || true
  fi
  "$@" 9>&-
)

# The Wine 10 root that scripts/setup makes and scripts/wine-run runs programs in.
WINE_ROOT=${ZINGEL_WINE_ROOT:-/var/cache/zingel/wine-root}
WINE_ROOT_STAMP=.zingel-wine-root
# Names the recipe scripts/setup follows; a root made by another recipe is made anew.
WINE_ROOT_RECIPE="zingel wine root 1: debian trixie minbase, wine64 libwine, libwine:i386 i386-windows"

wine_root_complete() {
  [ "$(cat "$WINE_ROOT/$WINE_ROOT_STAMP" 2>/dev/null)" = "$WINE_ROOT_RECIPE" ]
}

# fail STEP HOW: one message naming what failed and how to go on, then exit.
fail() {
  echo "${0##*/}: FAILED: $1; $2" >&2
  exit 1
}

# The propagation of a run's own mount namespace: private, so that its mounts reach no other
# namespace; inside a chroot, where / is no mount point and cannot be made private, unchanged (the
# chroot's mounts are then its maker's business).
mount_propagation() {
  if mountpoint -q /; then echo private; else echo unchanged; fi
}

# debian_mirror FILE...: the first mirror that apt source files name for a release itself (a suite
# without a hyphen, so not "-security" or "-updates"), from one-line entries ("deb [OPTIONS] URI
# SUITE ...") and deb822 stanzas (URIs:, Suites:); nothing when there is none.
debian_mirror() {
  local files=() file
  for file in "$@"; do [ -r "$file" ] && files+=("$file"); done
  [ ${#files[@]} -gt 0 ] || return 0
  awk '
    FNR == 1 { if (found()) exit; uri = ""; suites = ""; skip = 0 }
    /^deb[ \t]/ {
      sub(/\[[^]]*\]/, "")
      if ($3 !~ /-/) { print $2; done = 1; exit }
    }
    /^URIs:/ { uri = $2 }
    /^Suites:/ { suites = $0 }
    /^Types:/ && !/[ \t]deb([ \t]|$)/ { skip = 1 }
    /^[ \t]*$/ || /^Enabled:[ \t]*no/ {
      if (/^Enabled/) { skip = 1 }
      else { if (found()) exit; uri = ""; suites = ""; skip = 0 }
    }
    END { if (!done) found() }
    function found(  i, n, words) {
      if (skip || uri == "") return 0
      n = split(suites, words)
      for (i = 2; i <= n; i++) if (words[i] !~ /-/) { print uri; done = 1; return 1 }
      return 0
    }
  ' "${files[@]}"
}

# placeholder_address URL: true when URL is empty or on example.com, example.net or example.org or
# a name under them, which are reserved for examples: no release may announce it in the chat.
placeholder_address() {
  local host=${1#*://}
  host=${host%%[/:?#]*}
  host=${host%.}
  [[ -z $1 || ${host,,} =~ (^|\.)example\.(com|net|org)$ ]]
}
