# shellcheck shell=bash
# Sourced by setup-env.sh: adds the bookworm-backports suite from the machine's own Debian package
# source, so that it comes through the same mirror or proxy as every other package the machine
# installs. A fixed address would fail on machines that reach their packages another way.
#
# VENNMARK_APT_ROOT stands for /etc/apt, so that the tests can run this against a folder of
# their own. Shell and awk only: a minimal Debian 12 has no python3 yet when this runs.

backports_suite=bookworm-backports
backports_apt_root=${VENNMARK_APT_ROOT:-/etc/apt}

# Prints the address of the first enabled source of the bookworm suite's main component, reading
# the files in the order apt does: one-line entries in sources.list and sources.list.d/*.list,
# deb822 stanzas in sources.list.d/*.sources. The security and updates suites are other suites.
# Prints nothing when there is no such source.
backports_debian_uri() {
  local files=() file
  for file in "$backports_apt_root/sources.list" "$backports_apt_root"/sources.list.d/*; do
    case $file in
      *.list | *.sources) if [ -f "$file" ]; then files+=("$file"); fi ;;
    esac
  done
  [ ${#files[@]} -gt 0 ] || return 0
  awk '
    function has(list, word,   n, i, parts) {
      n = split(list, parts, /[ \t]+/)
      for (i = 1; i <= n; i++) if (parts[i] == word) return 1
      return 0
    }
    # A disc holds no backports.
    function take(uri) {
      if (uri != "" && uri !~ /^cdrom:/ && !done) { print uri; done = 1 }
    }
    function end_stanza(   n, i, uri) {
      if (has(types, "deb") && has(suites, "bookworm") && has(components, "main") &&
          tolower(enabled) != "no") {
        n = split(uris, uri, /[ \t]+/)
        for (i = 1; i <= n; i++) take(uri[i])
      }
      types = uris = suites = components = enabled = field = ""
    }
    function keep(name, value) {
      if (name == "types") types = types " " value
      else if (name == "uris") uris = uris " " value
      else if (name == "suites") suites = suites " " value
      else if (name == "components") components = components " " value
      else if (name == "enabled") { gsub(/[ \t]/, "", value); enabled = value }
    }
    done { exit }
    FNR == 1 { end_stanza() }
    FILENAME ~ /\.sources$/ {
      if ($0 ~ /^#/) next
      if ($0 ~ /^[ \t]*$/) { end_stanza(); next }
      # A line that starts with a blank goes on with the field before it.
      if ($0 ~ /^[ \t]/) { keep(field, $0); next }
      field = tolower(substr($0, 1, index($0, ":") - 1))
      keep(field, substr($0, index($0, ":") + 1))
      next
    }
    {
      line = $0
      sub(/#.*/, "", line)
      if (line !~ /^[ \t]*deb[ \t]/) next
      sub(/^[ \t]*deb[ \t]+/, "", line)
      sub(/^\[[^]]*\][ \t]*/, "", line)
      n = split(line, word, /[ \t]+/)
      main = 0
      for (i = 3; i <= n; i++) if (word[i] == "main") main = 1
      if (word[2] == "bookworm" && main) take(word[1])
    }
    END { end_stanza() }' "${files[@]}"
}

# Writes the backports source (from the machine's Debian source) and the pins that keep every
# package but qemu-user out of it. Fails, writing nothing, when the machine has no Debian source.
backports_add() {
  local uri
  uri=$(backports_debian_uri)
  if [ -z "$uri" ]; then
    echo "setup: found no Debian source of bookworm main in $backports_apt_root/sources.list or" >&2
    echo "  $backports_apt_root/sources.list.d/, so $backports_suite cannot be added from the" >&2
    echo "  machine's own mirror. Add the machine's Debian source to apt, then run this again." >&2
    return 1
  fi
  echo "setup: adding the suite $backports_suite from the machine's Debian source"
  mkdir -p "$backports_apt_root/sources.list.d" "$backports_apt_root/preferences.d"
  cat > "$backports_apt_root/sources.list.d/vennmark-backports.sources" <<SOURCES
Types: deb
URIs: $uri
Suites: $backports_suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  cat > "$backports_apt_root/preferences.d/vennmark-backports" <<PINS
Package: qemu-user
Pin: release n=$backports_suite
Pin-Priority: 990

Package: *
Pin: release n=$backports_suite
Pin-Priority: -1
PINS
}
