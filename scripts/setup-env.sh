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

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # A mirror caught mid-sync serves an index that no longer matches its Release file now and
  # then. Without that index the i386 half of Wine cannot match the versions of the amd64
  # libraries, so such an index is taken as served (the packages themselves are still checked
  # against it) and the install tried again.
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
fi

# The users' Windows runs code page 936; Wine takes it from a generated zh_CN.UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating zh_CN.UTF-8"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# The prefix is remade when its settings file changes.
settings_sum=$(sha256sum "$here/scripts/wine-prefix.reg" | cut -d' ' -f1)
if [ "$(cat "$prefix/.vennmark-ready" 2>/dev/null)" != "$settings_sum" ]; then
  echo "setup: making the 32-bit Wine prefix at $prefix"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  LANG=zh_CN.UTF-8 wineboot -i >/dev/null 2>&1
  wineserver -w
  # wineboot does not copy Wine's own fonts; without Tahoma even the caption font fails.
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
  regfile=$(mktemp --suffix=.reg)
  # regedit wants UTF-16LE with a byte-order mark.
  iconv -f UTF-8 -t UTF-16LE "$here/scripts/wine-prefix.reg" | { printf '\xff\xfe'; cat; } > "$regfile"
  LANG=zh_CN.UTF-8 wine regedit /S "$regfile" >/dev/null 2>&1
  wineserver -w
  rm -f "$regfile"
  echo "$settings_sum" > "$prefix/.vennmark-ready"
fi
