#!/usr/bin/env bash
# Before a release: the README's two commands as a new user meets them. Bootstraps a minimal
# Debian bookworm tree, mounts /proc, /dev (with /dev/pts and /dev/shm), /sys and a fresh /tmp in
# it, clones this repository's current commit into it and runs ./scripts/demo.sh and then
# ./scripts/test.sh there as root, with nothing from this machine's environment. Prints how long
# each step took, also when a step fails. Needs root and the network; CI does not run it (it
# takes about an hour on two cores).
#
#   scripts/release-check.sh [DIR]   the tree goes to DIR (default /var/tmp/qx-release-check);
#                                    a tree left there by an earlier run is removed first
# QX_MIRROR (default http://deb.debian.org/debian) and QX_REF (default HEAD) change the archive
# and the commit; JOBS is passed on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "${1:-/var/tmp/qx-release-check}")
mirror=${QX_MIRROR:-http://deb.debian.org/debian}
ref=$(git -C "$root" rev-parse "${QX_REF:-HEAD}")
if [ "$(id -u)" -ne 0 ]; then
  echo "release-check: needs root (debootstrap, mount, chroot)" >&2
  exit 1
fi
case $dir in /|/var|/var/tmp|/tmp|"$root") echo "release-check: refusing DIR $dir" >&2; exit 1 ;; esac

timings=()
started=$SECONDS
current=
# Runs one step with errexit in force; finish() reports a step that did not come back.
step() {
  current=$1
  local t0=$SECONDS
  shift
  echo "== $current"
  step_start=$t0
  "$@"
  timings+=("$(printf '%-26s %5d s' "$current" $((SECONDS - t0)))")
  echo "== $current: $((SECONDS - t0)) s"
  current=
}

mounted_below() { awk -v d="$dir/" 'index($2, d) == 1 { print $2 }' /proc/self/mounts; }
release() {
  # Processes still running inside the tree (a wine server, an X server) keep the mounts busy.
  local link pid
  for link in /proc/[0-9]*/root; do
    pid=${link#/proc/}
    pid=${pid%/root}
    [ "$(readlink "$link" 2>/dev/null)" = "$dir" ] && kill "$pid" 2>/dev/null
  done
  for m in tmp sys dev proc; do
    if mountpoint -q "$dir/$m"; then umount -R "$dir/$m" 2>/dev/null || umount -R -l "$dir/$m"; fi
  done
}
finish() {
  local status=$?
  release
  [ -z "$current" ] ||
    timings+=("$(printf '%-26s %5d s  FAILED (%d)' "$current" $((SECONDS - step_start)) $status)")
  echo "== timings (commit ${ref:0:12}, tree $dir)"
  printf '  %s\n' "${timings[@]}"
  printf '  %-26s %5d s\n' total $((SECONDS - started))
  exit $status
}
trap finish EXIT

fresh_tree() {
  release
  if [ -n "$(mounted_below)" ]; then
    echo "release-check: still mounted under $dir:" $(mounted_below) >&2
    return 1
  fi
  rm -rf --one-file-system "$dir"
  if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
      debootstrap >/dev/null
  fi
  debootstrap --variant=minbase bookworm "$dir" "$mirror" >"$dir.debootstrap.log" 2>&1 ||
    { tail -20 "$dir.debootstrap.log"; return 1; }
  # The archive as a fresh installation has it, and no services started by package scripts.
  cat >"$dir/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
SOURCES
  printf '#!/bin/sh\nexit 101\n' >"$dir/usr/sbin/policy-rc.d"
  chmod +x "$dir/usr/sbin/policy-rc.d"
  cp /etc/resolv.conf "$dir/etc/resolv.conf"
}

mount_tree() {
  mount -t proc proc "$dir/proc"
  mount --rbind /dev "$dir/dev"
  mount --make-rslave "$dir/dev"
  mount -t sysfs sysfs "$dir/sys"
  mount -t tmpfs -o mode=1777 tmpfs "$dir/tmp"
}

clone() {
  git clone --quiet --no-checkout "$root" "$dir/root/Orv4417-QX"
  git -C "$dir/root/Orv4417-QX" checkout --quiet "$ref"
}

# As a new user: a login environment, the repository root as working directory.
in_tree() {
  chroot "$dir" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" JOBS="${JOBS:-2}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /root/Orv4417-QX && "$@"' bash "$@"
}

step "debootstrap bookworm" fresh_tree
step "mount and clone" eval 'mount_tree && clone'
step "./scripts/demo.sh" in_tree ./scripts/demo.sh
step "./scripts/test.sh" in_tree ./scripts/test.sh
