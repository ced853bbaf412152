#!/usr/bin/env bash
# The set-up adds bookworm-backports from the machine's own Debian source: each case lays out an
# apt configuration folder of its own (never the machine's), runs the set-up's step against it and
# checks the source it wrote. The addresses are made up.
# Usage: BackportsSourceTest.sh SCRIPTS_FOLDER
set -uo pipefail
scripts=$1
failures=0
root=

fail() {
  echo "FAIL ($case_name): $*" >&2
  failures=$((failures + 1))
}

# Lays out a fresh apt folder; the case writes its sources into it.
start_case() {
  case_name=$1
  [ -z "$root" ] || rm -rf "$root"
  root=$(mktemp -d)
  mkdir -p "$root/sources.list.d"
}
trap '[ -z "$root" ] || rm -rf "$root"' EXIT

# Runs the set-up's step against the case's folder; its output lands in $out and $err.
add_backports() {
  out=$(mktemp)
  err=$(mktemp)
  (export VENNMARK_APT_ROOT=$root && . "$scripts/backports.sh" && backports_add) >"$out" 2>"$err"
  status=$?
}

# The case expects the backports source to take this address, and the pins beside it.
expect_source() {
  local uri=$1 expected written="$root/sources.list.d/vennmark-backports.sources"
  [ "$status" = 0 ] || fail "the step failed: $(cat "$err")"
  expected="Types: deb
URIs: $uri
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
  if [ "$(cat "$written" 2>/dev/null)" != "$expected" ]; then
    fail "the backports source reads '$(cat "$written" 2>/dev/null)', not '$expected'"
  fi
  grep -qx 'Pin: release n=bookworm-backports' "$root/preferences.d/vennmark-backports" 2>/dev/null ||
    fail "no pins for bookworm-backports"
  # It says which suite it adds, and names no address.
  grep -q 'bookworm-backports' "$out" || fail "the output does not name the suite: $(cat "$out")"
  if grep -q '://' "$out"; then fail "the output names an address: $(cat "$out")"; fi
  rm -f "$out" "$err"
}

start_case "deb822 source"
cat > "$root/sources.list.d/debian.sources" <<'SOURCES'
Types: deb
URIs: http://switched-off.example/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb
# A comment inside a stanza, as the images' own sources carry.
URIs: http://packages.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://packages.example/debian-security
Suites: bookworm-security
Components: main
SOURCES
add_backports
expect_source http://packages.example/debian

# The security suite first, and a URIs field folded onto a second line.
start_case "deb822 source, security first, folded field"
cat > "$root/sources.list.d/debian.sources" <<'SOURCES'
Types: deb
URIs: http://proxy.example:3142/debian-security
Suites: bookworm-security
Components: main

Types: deb-src deb
URIs:
 http://proxy.example:3142/debian
Suites: bookworm
Components: contrib main
SOURCES
add_backports
expect_source http://proxy.example:3142/debian

start_case "one-line sources.list"
cat > "$root/sources.list" <<'SOURCES'
# deb http://commented-out.example/debian bookworm main
deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1]/ bookworm contrib main
deb-src http://sources-only.example/debian bookworm main
deb http://security.example/debian-security bookworm-security main
deb http://contrib-only.example/debian bookworm contrib
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://oneline.example/debian bookworm main contrib
SOURCES
add_backports
expect_source http://oneline.example/debian

# apt reads sources.list before sources.list.d: its source is the machine's first.
start_case "both"
echo 'deb http://first.example/debian bookworm main' > "$root/sources.list"
printf 'Types: deb\nURIs: http://second.example/debian\nSuites: bookworm\nComponents: main\n' \
  > "$root/sources.list.d/debian.sources"
add_backports
expect_source http://first.example/debian

start_case "no Debian source"
echo 'deb http://security.example/debian-security bookworm-security main' > "$root/sources.list"
add_backports
[ "$status" != 0 ] || fail "the step succeeded without a Debian source"
grep -q 'no Debian source' "$err" || fail "no clear message: $(cat "$err")"
[ ! -e "$root/sources.list.d/vennmark-backports.sources" ] || fail "a backports source was written"
rm -f "$out" "$err"

start_case "no apt folder at all"
rm -rf "$root/sources.list.d"
add_backports
[ "$status" != 0 ] || fail "the step succeeded without any apt configuration"
rm -f "$out" "$err"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all backports source cases passed"
