# Shared by scripts/setup and scripts/wine-run: where the Wine 10 root lives and
# how to tell that it is complete. Sourced, not run.

WINE_ROOT=${ZINGEL_WINE_ROOT:-/var/cache/zingel/wine-root}
WINE_ROOT_STAMP=.zingel-wine-root
# Names the recipe scripts/setup follows; a root made by another recipe is made anew.
WINE_ROOT_RECIPE="zingel wine root 1: debian trixie minbase, wine64 libwine, libwine:i386 i386-windows"

wine_root_complete() {
  [ "$(cat "$WINE_ROOT/$WINE_ROOT_STAMP" 2>/dev/null)" = "$WINE_ROOT_RECIPE" ]
}

# fail STEP HOW: one message naming what failed and how to go on, then exit.
fail() {
  echo "setup: FAILED: $1; $2" >&2
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
