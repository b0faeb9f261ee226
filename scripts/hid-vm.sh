#!/usr/bin/env bash
# The real HID stack: boots a Linux VM from Debian's own kernel (with uhid)
# under software emulation, with this machine's root shared read-only over
# 9p, and runs one command inside it as root in a chroot of that root.
#
#   scripts/hid-vm.sh OUT COMMAND [ARGS...]
#
# OUT is a host folder the VM may write (mounted at the same path inside);
# the command's output goes to OUT/console.log. Exits with the command's
# exit code (written to OUT/exit-code), or 1 when it did not run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$(realpath -m "$1"); shift
[ $# -ge 1 ] || { echo "usage: $0 OUT COMMAND [ARGS...]" >&2; exit 2; }

kernel=$(ls /boot/vmlinuz-*-amd64 2>/dev/null | sort -V | tail -1)
[ -n "$kernel" ] || { echo "hid-vm: no Debian kernel in /boot (linux-image-amd64)" >&2; exit 1; }
version=${kernel#/boot/vmlinuz-}
modules=/lib/modules/$version
busybox=/bin/busybox
[ -x "$busybox" ] || { echo "hid-vm: no busybox (busybox-static)" >&2; exit 1; }

mkdir -p "$out"
rm -f "$out/exit-code" "$out/console.log"
image=$out/initramfs
rm -rf "$image"
mkdir -p "$image"/{bin,dev,proc,sys,root,modules}
cp "$busybox" "$image/bin/busybox"
for m in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci netfs fscache \
         9pnet 9pnet_virtio 9p hid uhid hid-generic overlay; do
  ko=$(find "$modules/kernel" -name "$m.ko" -o -name "$m.ko.xz" | head -1)
  [ -n "$ko" ] || { echo "hid-vm: module $m missing in $modules" >&2; exit 1; }
  case $ko in
    *.xz) xz -dc "$ko" >"$image/modules/$m.ko" ;;
    *) cp "$ko" "$image/modules/$m.ko" ;;
  esac
  echo "$m" >>"$image/modules/order"
done
# The command, word by word, for the init script.
printf '%s\n' "$@" >"$image/command"
echo "$out" >"$image/out-path"
# This checkout, kept visible inside even when it lies under /tmp (tmpfs there).
echo "$(cd "$here/.." && pwd)" >"$image/repo-path"
cat >"$image/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
while read -r m; do insmod "/modules/$m.ko" || echo "init: $m not loaded"; done </modules/order
mkdir -p /root
mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=mmap,msize=262144 hostroot /root || { echo "init: no host root"; poweroff -f; }
out=$(cat /out-path)
repo=$(cat /repo-path)
mkdir -p /repo
mount -o bind "/root$repo" /repo
mount -t tmpfs -o mode=1777 tmpfs /root/tmp
mount -t tmpfs -o mode=0755 tmpfs /root/run
mkdir -p "/root$repo" 2>/dev/null
mount -o bind /repo "/root$repo"
mount -o bind /proc /root/proc
mount -o bind /sys /root/sys
mount -o bind /dev /root/dev
mkdir -p /root/dev/shm /root/dev/pts
mount -t tmpfs -o mode=1777 tmpfs /root/dev/shm
mount -t devpts devpts /root/dev/pts
mkdir -p "/root$out" 2>/dev/null
mount -t 9p -o trans=virtio,version=9p2000.L,cache=mmap,msize=262144 results "/root$out" || { echo "init: no output folder"; poweroff -f; }
set --
while read -r word; do set -- "$@" "$word"; done </command
HOME=/tmp/home PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin chroot /root "$@" </dev/null
echo $? >"/root$out/exit-code"
sync
umount "/root$out"
poweroff -f
INIT
chmod +x "$image/init"
(cd "$image" && find . | cpio -o -H newc --quiet | gzip -1) >"$out/initramfs.cpio.gz"
rm -rf "$image"

timeout "${KORELLE_HID_VM_SECONDS:-1800}" qemu-system-x86_64 \
  -accel tcg -cpu max,-smap -m 2048 -smp 2 \
  -kernel "$kernel" -initrd "$out/initramfs.cpio.gz" \
  -append "console=ttyS0 nosmap quiet panic=-1 rdinit=/init" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  -virtfs "local,path=$out,mount_tag=results,security_model=none,multidevs=remap" \
  -display none -serial "file:$out/console.log" -monitor none -no-reboot -nodefaults </dev/null \
  || echo "hid-vm: qemu ended with $?" >&2
[ -f "$out/exit-code" ] || { echo "hid-vm: the command did not finish; see $out/console.log" >&2; exit 1; }
exit "$(cat "$out/exit-code")"
