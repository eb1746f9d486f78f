#!/usr/bin/env bash
# Makes the i386 guest once and prints its folder: a Debian 12 i386 root
# unpacked from its packages (no maintainer script runs on this host), an
# ext4 disk of it, the i686 kernel and a small initramfs. The first boot of
# the disk makes the 32-bit Wine prefix in it. The folder is named by a hash
# of the resolved package set and of the files that shape the image, so an
# unchanged set is reused at once.
#   build-image.sh            prints the image folder (making it if needed)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${TESSARIN_I386_CACHE:-/var/cache/tessarin/i386-guest}
mkdir -p "$cache/debs"
source "$here/lib.sh"
# One maker at a time per cache; a second waits and then finds the image.
exec 9>"$cache/.lock"
flock 9

work=$(mktemp -d "$cache/.work.XXXXXX")
trap '[ -n "${TESSARIN_I386_KEEP:-}" ] || rm -rf "$work"' EXIT

# The package set as apt resolves it for an empty i386 system: one line per
# .deb (file name, size, checksum), so a security update makes a new image.
: >"$work/empty-status"
apt_i386=(-o APT::Architecture=i386 -o APT::Architectures::=i386
          -o "Dir::State::status=$work/empty-status"
          -o "Dir::Cache::archives=$work/none/" -o APT::Install-Recommends=false)
mkdir -p "$work/none/partial"
list_of() { grep -v '^#' "$1" | grep -v '^$'; }
mapfile -t roots < <(list_of "$here/packages.list")
kernel_meta=$(list_of "$here/kernel.list")
kernel_pkg=$(apt-cache "${apt_i386[@]}" depends "$kernel_meta" |
  awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
[ -n "$kernel_pkg" ] || { echo "no kernel package behind $kernel_meta" >&2; exit 1; }
{
  apt-get install --print-uris -qq "${apt_i386[@]}" "${roots[@]}"
  apt-get install --print-uris -qq "${apt_i386[@]}" "$kernel_pkg" | grep "/${kernel_pkg}_"
} >"$work/uris"
[ -s "$work/uris" ] || { echo "apt resolved no packages" >&2; exit 1; }

key=$( { awk '{print $2, $3, $4}' "$work/uris" | sort
         cat "$here/packages.list" "$here/kernel.list" "$here/configure.list" \
             "$here/build-image.sh" \
             "$here/lib.sh" "$here/initramfs-init" "$here/guest/prepare.sh" \
             "$here/guest/wine-env.sh"; } |
       sha256sum | cut -c1-16)
image="$cache/$key"
if [ -f "$image/ready" ]; then
  echo "$image"; exit 0
fi
started=$(date +%s)
echo "i386 guest: making $image" >&2

# Download (kept across images: most .debs outlive one security update).
awk '{print $2}' "$work/uris" >"$work/debs.list"
(cd "$cache/debs" &&
  awk '{gsub("\x27","",$1); print $2}' "$work/uris" | while read -r f; do
    [ -f "$f" ] || echo "$f"; done >"$work/missing")
if [ -s "$work/missing" ]; then
  # apt-get download wants name=version; the file names carry both.
  sed -E 's/^([^_]+)_([^_]+)_.*/\1:i386=\2/; s/%3a/:/g' "$work/missing" >"$work/wanted"
  fetch() { (cd "$cache/debs" &&
    xargs -a "$work/wanted" apt-get download -qq -o APT::Sandbox::User=root "${apt_i386[@]}"); }
  # Stale package lists name versions the archive has dropped: refresh them
  # once and resolve again.
  if ! fetch; then
    [ -z "${TESSARIN_I386_REFRESHED:-}" ] || exit 1
    apt-get update -qq
    rm -rf "$work"
    TESSARIN_I386_REFRESHED=1 exec bash "$0" "$@"
  fi
fi

# Unpack onto a merged /usr, as Debian 12 systems are laid out.
root="$work/root"
mkdir -p "$root/usr/bin" "$root/usr/sbin" "$root/usr/lib"
for d in bin sbin lib; do ln -s "usr/$d" "$root/$d"; done
mapfile -t configure < <(list_of "$here/configure.list")
mkdir -p "$root/usr/lib/tessarin-guest/postinst"
while read -r f; do
  dpkg-deb --fsys-tarfile "$cache/debs/$f" |
    tar -x --keep-directory-symlink -C "$root"
  name=${f%%_*}
  if printf '%s\n' "${configure[@]}" | grep -qx "$name"; then
    dpkg-deb --ctrl-tarfile "$cache/debs/$f" |
      tar -x -O ./postinst >"$root/usr/lib/tessarin-guest/postinst/$name"
  fi
done <"$work/debs.list"
guest_root_settle "$root"

kver=$(ls "$root/usr/lib/modules")
mkdir -p "$work/out"
cp "$root/boot/vmlinuz-$kver" "$work/out/vmlinuz"
make_initramfs "$root" "$kver" "$work/out/initramfs.cpio.gz"
rm -rf "$root/boot" "$root/usr/lib/modules/$kver/kernel/drivers/gpu" \
       "$root/usr/lib/modules/$kver/kernel/sound"

# Room for the prefix and the tests' own files beside the root's ~1 GB.
mke2fs -q -t ext4 -L tessarin-i386 -d "$root" "$work/out/root.ext4" 4G >&2
unpacked=$(date +%s)
echo "i386 guest: root unpacked and disk made in $((unpacked - started)) s" >&2

# First boot: the guest configures itself and makes its Wine prefix.
guest_boot "$work/out" rw "" "/usr/lib/tessarin-guest/prepare.sh" \
  "$work/prepare.log" || { echo "i386 guest: first boot failed" >&2;
                           tail -40 "$work/prepare.log" >&2; exit 1; }
grep -q '^tessarin-guest: prepared$' "$work/prepare.log" ||
  { echo "i386 guest: first boot did not prepare it" >&2;
    tail -40 "$work/prepare.log" >&2; exit 1; }
echo "i386 guest: first boot (Wine prefix) took $(( $(date +%s) - unpacked )) s" >&2

rm -rf "$image"
mv "$work/out" "$image"
echo "$(( $(date +%s) - started ))" >"$image/ready"
# Older images are no longer named by any package set of ours.
for old in "$cache"/*/ready; do
  [ "${old%/ready}" = "$image" ] || rm -rf "${old%/ready}"
done
echo "$image"
