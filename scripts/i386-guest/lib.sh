# Sourced by build-image.sh and run.sh: the pieces of the i386 guest.
guest_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The modules the initramfs loads, before their own dependencies are added:
# the disk and the shared folder over virtio, ext4 and its checksum.
GUEST_MODULES=(virtio_pci virtio_blk crc32c_generic ext4 9pnet_virtio 9p)

# What an unpacked root lacks without its maintainer scripts: accounts, a
# shell, the library cache, and our first-boot script.
guest_root_settle() {
  local root=$1
  printf 'root:x:0:0:root:/root:/bin/sh\nnobody:x:65534:65534:nobody:/nonexistent:/usr/sbin/nologin\n' >"$root/etc/passwd"
  printf 'root:x:0:\nnogroup:x:65534:\n' >"$root/etc/group"
  echo tessarin-i386 >"$root/etc/hostname"
  mkdir -p "$root/root" "$root/tmp" "$root/proc" "$root/sys" "$root/dev" \
           "$root/usr/lib/tessarin-guest"
  chmod 1777 "$root/tmp"
  [ -e "$root/usr/bin/sh" ] || ln -s busybox "$root/usr/bin/sh"
  install -m 755 "$guest_here/guest/prepare.sh" "$guest_here/guest/wine-env.sh" \
    "$root/usr/lib/tessarin-guest/"
  ldconfig -r "$root"
}

# One module's file and its declared dependencies (from its .modinfo).
_module_file() { find "$1" -name "$2.ko" | head -1; }
_module_depends() { tr '\0' '\n' <"$1" | sed -n 's/^depends=//p' | tr ',' ' '; }

# Writes the initramfs: static busybox, the modules in load order, our init.
make_initramfs() {
  local root=$1 kver=$2 out=$3 ir m f
  local moddir="$root/usr/lib/modules/$kver/kernel"
  ir=$(mktemp -d)
  mkdir -p "$ir/bin" "$ir/lib/modules" "$ir/proc" "$ir/sys" "$ir/dev" "$ir/root"
  cp "$root/usr/bin/busybox" "$ir/bin/busybox"
  ln -s busybox "$ir/bin/sh"
  install -m 755 "$guest_here/initramfs-init" "$ir/init"
  local -A seen=()
  local order=()
  _add_module() {
    local name=${1//-/_} file dep
    [ -n "${seen[$name]:-}" ] && return 0
    seen[$name]=1
    file=$(_module_file "$moddir" "$1")
    [ -n "$file" ] || file=$(_module_file "$moddir" "${1//_/-}")
    [ -n "$file" ] || { echo "module $1 not found" >&2; return 1; }
    for dep in $(_module_depends "$file"); do _add_module "$dep"; done
    cp "$file" "$ir/lib/modules/"
    order+=("$(basename "$file")")
  }
  for m in "${GUEST_MODULES[@]}"; do _add_module "$m"; done
  printf '%s\n' "${order[@]}" >"$ir/modules.order"
  (cd "$ir" && find . | cpio -o -H newc --quiet | gzip -1) >"$out"
  rm -rf "$ir"
}

# Boots the guest and runs one command in its root; the console goes to the
# log (and to stdout when asked). Returns the command's exit status, as the
# guest's init prints it, or 1 when the guest never said.
#   guest_boot image_dir rw|snapshot share_path command log [echo]
guest_boot() {
  local image=$1 mode=$2 share=$3 cmd=$4 log=$5 show=${6:-}
  local drive="file=$image/root.ext4,if=virtio,format=raw,cache=unsafe"
  local share_args=() append
  [ "$mode" = snapshot ] && drive+=",snapshot=on"
  if [ -n "$share" ]; then
    share_args=(-virtfs "local,path=$share,mount_tag=share,security_model=none,id=share")
  fi
  append="console=ttyS0 quiet loglevel=3 panic=-1 tessarin.share=$share tessarin.run=$cmd"
  # No SMAP: this qemu's TCG reads the stack of a user-mode iret as the
  # kernel, so with SMAP every 32-bit Wine process died at its first iret.
  local qemu=(qemu-system-i386 -machine pc,accel=tcg -cpu max,-smap
    -smp "${TESSARIN_I386_CPUS:-2}" -m "${TESSARIN_I386_MEM:-2048}"
    -display none -monitor none -serial stdio -no-reboot -nic none
    -kernel "$image/vmlinuz" -initrd "$image/initramfs.cpio.gz"
    -append "$append" -drive "$drive" "${share_args[@]}")
  if [ -n "$show" ]; then
    timeout "${TESSARIN_I386_TIMEOUT:-2400}" "${qemu[@]}" </dev/null 2>&1 | tr -d '\r' | tee "$log"
  else
    timeout "${TESSARIN_I386_TIMEOUT:-2400}" "${qemu[@]}" </dev/null 2>&1 | tr -d '\r' >"$log"
  fi
  local rc
  rc=$(sed -n 's/^tessarin-guest: exit \([0-9]*\)$/\1/p' "$log" | tail -1)
  [ -n "$rc" ] || return 1
  return "$rc"
}
