# Sourced by setup-env.sh, run.sh and test.sh: how this machine runs 32-bit (i386) Linux code,
# which Wine's 32-bit half is, and how to run a command that way.
#
#   native    the kernel runs i386 programs itself.
#   machine   an i386 registration in the machine's binfmt_misc hands them to an emulator: one
#             that was already there (it wins over the kernel even where the kernel could run
#             them), or one setup made as root on a machine whose kernel cannot.
#   private   qemu-i386 is registered in a binfmt_misc of a user namespace's own (kernels from
#             6.7 allow that), so nothing changes for the rest of the machine; every command that
#             runs Wine must run inside such a namespace (route_exec).
#
# VENNMARK_EMULATE_32=1 asks for emulation where the kernel runs i386 code itself, so that the
# emulated route can be tested anywhere; it never makes a machine-wide registration.
# Under either emulated route route_exec sets VENNMARK_EMULATED=1, which Wine passes on to the
# programs, so that tests know which checks the emulator cannot answer.

route_binfmt=/proc/sys/fs/binfmt_misc
route_qemu=/usr/bin/qemu-i386
# i386 ELF executables and shared objects; F opens the emulator once at registration, so that it
# serves every mount namespace and needs no library of the target's.
route_registration=":vennmark-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$route_qemu:F"

# Prints the emulator of an enabled i386 ELF registration in the machine's binfmt_misc.
route_machine_emulator() {
  local entry
  for entry in "$route_binfmt"/*; do
    case ${entry##*/} in register | status) continue ;; esac
    [ -f "$entry" ] || continue
    # Class 1 (32-bit) at byte 4 and machine 3 (i386) at byte 18 of the ELF header.
    if grep -qx enabled "$entry" && grep -q '^offset 0$' "$entry" &&
      grep -Eq '^magic 7f454c4601.{26}0300' "$entry"; then
      sed -n 's/^interpreter //p' "$entry"
      return 0
    fi
  done
  return 1
}

# True when the kernel itself (with no registration in the way) runs i386 programs.
route_kernel_runs_i386() {
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# True when a user namespace may mount a binfmt_misc of its own.
route_private_possible() {
  unshare --user --map-root-user --mount -- sh -c "mount -t binfmt_misc binfmt_misc $route_binfmt" \
    >/dev/null 2>&1
}

# Sets route (native, machine, private or none) and route_emulator. Changes nothing.
route_detect() {
  route_emulator=
  if route_emulator=$(route_machine_emulator); then
    route=machine
  elif [ "${VENNMARK_EMULATE_32:-0}" != 1 ] && route_kernel_runs_i386; then
    route=native
  elif [ -x "$route_qemu" ] && route_private_possible; then
    route=private
    route_emulator=$route_qemu
  else
    route=none
  fi
}

# The one line both commands print.
route_describe() {
  if [ "$route" = native ]; then
    echo "32-bit code: native"
  else
    local version
    version=$("$route_emulator" --version 2>/dev/null | sed -n '1s/^.* version \([^ ]*\).*$/\1/p')
    echo "32-bit code: emulated (qemu-i386 ${version:-unknown version})"
  fi
}

# Runs a command the way route_detect found (call that first).
route_exec() {
  case $route in
    native) "$@" ;;
    machine) VENNMARK_EMULATED=1 "$@" ;;
    private)
      # The mount holds the registration: it lives as long as the namespace has a process.
      VENNMARK_EMULATED=1 ROUTE_REGISTRATION=$route_registration ROUTE_BINFMT=$route_binfmt \
        unshare --user --map-root-user --mount -- bash -c '
          mount -t binfmt_misc binfmt_misc "$ROUTE_BINFMT" &&
            printf "%s" "$ROUTE_REGISTRATION" > "$ROUTE_BINFMT/register" || exit 1
          unset ROUTE_REGISTRATION ROUTE_BINFMT
          exec "$@"' route-private "$@"
      ;;
    *)
      echo "route: this machine runs no 32-bit code; run scripts/setup-env.sh first" >&2
      return 1
      ;;
  esac
}
