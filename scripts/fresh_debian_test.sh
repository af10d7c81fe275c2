#!/usr/bin/env bash
# Runs the README's test command in a fresh minimal Debian 12 root, as on a
# newcomer's machine: debootstrap's minbase variant in a temporary
# directory, a clone of the committed project copied in, ./test.sh run there
# as root with no display. Run it before a change to the set-up lands (the
# package list, ensure_packages.sh, test.sh or run.sh, a new dependency).
#
#   scripts/fresh_debian_test.sh            # ./test.sh in the fresh root
#   scripts/fresh_debian_test.sh --sanitize # ./test.sh --sanitize there
#
# Needs root and the package registry; installs debootstrap when missing.
# Everything it mounts lives in a mount namespace of its own, and the root
# is removed at the end whatever happened.
set -euo pipefail
project=$(cd "$(dirname "$0")/.." && pwd)
if [[ $(id -u) -ne 0 ]]; then
  echo "fresh_debian_test.sh needs root (debootstrap and chroot)" >&2
  exit 2
fi
if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi
mirror=$(awk '$1 == "URIs:" { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
mirror=${mirror:-http://deb.debian.org/debian}

root=$(mktemp -d /var/tmp/varnoke-fresh-XXXXXX)
trap 'rm -rf --one-file-system "$root"' EXIT
echo "fresh root: $root (from $mirror)"
debootstrap --variant=minbase bookworm "$root" "$mirror" > "$root.debootstrap.log" 2>&1 ||
  { tail -20 "$root.debootstrap.log" >&2; exit 1; }
rm -f "$root.debootstrap.log"
git clone -q --no-hardlinks "$project" "$root/varnoke"
cp /etc/resolv.conf "$root/etc/resolv.conf"

unshare --mount --propagation private -- /bin/bash -s "$root" "$@" <<'INSIDE'
set -euo pipefail
root=$1
shift
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/dev/shm"
mount -t tmpfs tmpfs "$root/tmp"
exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
  PATH=/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c 'cd /varnoke && ./test.sh "$@"' test.sh "$@"
INSIDE
