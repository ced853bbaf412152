#!/usr/bin/env bash
# Installs what building and running Vennmark needs on a Debian 12 machine, once.
# Every step checks first, so a second run takes a few seconds.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=${VENNMARK_WINEPREFIX:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/vennmark/wine32}

# python3 runs the build's generators (pictures, sample images, theme packages); a minimal
# Debian 12 has none.
need_pkgs=(g++-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth cmake ninja-build googletest
           locales fonts-wqy-microhei fonts-wine clang libclang-rt-14-dev x11-apps imagemagick
           python3)

# Installs the packages not yet installed. A mirror caught mid-sync serves an index that no
# longer matches its Release file now and then. Without that index the i386 half of Wine cannot
# match the versions of the amd64 libraries, so such an index is taken as served (the packages
# themselves are still checked against it) and the install tried again.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  local update_log url list fetched
  update_log=$(mktemp)
  apt-get update -qq >"$update_log" 2>&1 || true
  if ! apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    grep -o 'Failed to fetch [^ ]*' "$update_log" | sed 's/^Failed to fetch //' | sort -u | while read -r url; do
      echo "setup: taking the index $url as the mirror serves it"
      list=/var/lib/apt/lists/$(echo "${url#*://}" | sed 's/\.\(xz\|gz\|lz4\|bz2\)$//; s|/|_|g')
      # cat-file decompresses by the file name's ending, so the download keeps the index's.
      fetched=/tmp/vennmark-index.${url##*/}
      /usr/lib/apt/apt-helper download-file "$url" "$fetched" >/dev/null 2>&1
      /usr/lib/apt/apt-helper cat-file "$fetched" > "$list"
      rm -f "$fetched"
    done
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  rm -f "$update_log"
}

install_packages "${need_pkgs[@]}"

# The users' Windows runs code page 936; Wine takes it from a generated zh_CN.UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating zh_CN.UTF-8"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Wine's 32-bit half is an i386 Linux program. Where the kernel does not run those (or
# VENNMARK_EMULATE_32=1 asks for emulation), qemu-i386 runs them. Debian 12's own qemu-user hangs
# in wineboot; the one from bookworm-backports works, so that suite is added for this one
# package and for nothing else.
install_backported_qemu() {
  local version
  version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
  if [ -n "$version" ] && dpkg --compare-versions "$version" ge 1:10; then
    return 0
  fi
  echo "setup: installing qemu-user from bookworm-backports to run the 32-bit code"
  backports_add || exit 1
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null 2>&1 || true
  # Without its recommendations: qemu-user-binfmt would register every emulator machine-wide.
  if ! apt-get install -y -qq --no-install-recommends qemu-user >/dev/null; then
    echo "setup: qemu-user could not be installed from bookworm-backports (as root it can)" >&2
    exit 1
  fi
}

# Machine-wide, for a machine that cannot run i386 code at all and allows no private
# registration. It stays: every later run needs it.
register_machine_wide() {
  [ -e "$route_binfmt/register" ] ||
    mount -t binfmt_misc binfmt_misc "$route_binfmt" 2>/dev/null || return 1
  echo "setup: registering $route_qemu for i386 programs in the machine's binfmt_misc"
  printf '%s' "$route_registration" > "$route_binfmt/register" 2>/dev/null
}

# shellcheck source=backports.sh
. "$here/scripts/backports.sh"
# shellcheck source=route.sh
. "$here/scripts/route.sh"
route_detect
if [ "$route" = private ] || [ "$route" = none ]; then
  install_backported_qemu
  route_detect
fi
if [ "$route" = none ] && [ "${VENNMARK_EMULATE_32:-0}" = 1 ]; then
  echo "setup: VENNMARK_EMULATE_32=1 needs a binfmt_misc private to a user namespace (Linux 6.7" >&2
  echo "  or later, with user namespaces allowed), which this machine refuses. It is never made" >&2
  echo "  machine-wide, where it would change every 32-bit program here; leave it unset." >&2
  exit 1
fi
if [ "$route" = none ] && [ "$(id -u)" = 0 ]; then
  register_machine_wide || true
  route_detect
fi
if [ "$route" = none ]; then
  echo "setup: this machine runs no 32-bit (i386) code, which Wine's 32-bit half is, and" >&2
  echo "  $route_qemu could be registered neither in a private binfmt_misc (needs Linux 6.7 or" >&2
  echo "  later, with user namespaces allowed) nor machine-wide (needs root). As root, run:" >&2
  echo "    printf '%s' '$route_registration' > $route_binfmt/register" >&2
  exit 1
fi
route_describe

# The prefix is remade when its settings file changes.
settings_sum=$(sha256sum "$here/scripts/wine-prefix.reg" | cut -d' ' -f1)
if [ "$(cat "$prefix/.vennmark-ready" 2>/dev/null)" != "$settings_sum" ]; then
  echo "setup: making the 32-bit Wine prefix at $prefix"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  regfile=$(mktemp --suffix=.reg)
  # regedit wants UTF-16LE with a byte-order mark.
  iconv -f UTF-8 -t UTF-16LE "$here/scripts/wine-prefix.reg" | { printf '\xff\xfe'; cat; } > "$regfile"
  # wineboot does not copy Wine's own fonts; without Tahoma even the caption font fails.
  make_prefix='
    export WINEPREFIX="$1" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8
    wineboot -i >/dev/null 2>&1 && wineserver -w &&
      cp /usr/share/wine/fonts/*.ttf "$1/drive_c/windows/Fonts/" &&
      wine regedit /S "$2" >/dev/null 2>&1 && wineserver -w'
  if ! route_exec bash -c "$make_prefix" make-prefix "$prefix" "$regfile"; then
    rm -f "$regfile"
    echo "setup: Wine could not make the prefix at $prefix; run wineboot there to see why" >&2
    exit 1
  fi
  rm -f "$regfile"
  echo "$settings_sum" > "$prefix/.vennmark-ready"
fi
