#!/usr/bin/env bash
# Runs a command with the emulated UVC camera: /dev/video42 answered by the preloaded
# library, listed by udev (and so by GStreamer's device monitor) through a private mount
# namespace. Nothing on the host is changed.
#
#   uvc_camera.sh [--dir DIR] [--lib LIB] [--preload-later] [--] COMMAND [ARG...]
#       DIR: the camera's scratch folder (switches and the button FIFO); a fresh one,
#       removed afterwards, when not given. LIB: libuvc_camera.so (or $UVCEMU_LIB).
#       --preload-later: the command gets the preload list as $UVCEMU_LD_PRELOAD and sets
#       LD_PRELOAD itself for the programs that use the camera.
#       $UVCEMU_PRELOAD_FIRST is preloaded before it (libasan for a sanitized program).
#       $UVCEMU_NAME is the camera's name. Exits 77 when no mount namespace can be made.
#   uvc_camera.sh press DIR     presses and releases the camera's snapshot button
#   uvc_camera.sh unplug DIR    unplugs the camera
#   uvc_camera.sh plug DIR      plugs it in again (a fresh camera in its default mode)
#   Both are announced as udev does, where a network namespace could be made: without
#   one, $UVCEMU_DIR/announce is missing and the device lists do not follow the cable.
#
# Inside, the command sees UVCEMU_DIR and UVCEMU_RUNNER (this script); a test may also create $UVCEMU_DIR/strict-rate
# (S_PARM then refuses a rate the camera does not offer).
set -euo pipefail

self=$(readlink -f "$0")

case "${1:-}" in
  press)
    # One write of four input_event records: KEY_CAMERA down, sync, up, sync. The FIFO has
    # a reader only while the camera's button is watched, as evdev has only while open.
    exec python3 - "$2/button" <<'EOF'
import os, struct, sys, time
t = time.time()
ev = lambda type_, code, value: struct.pack("llHHi", int(t), int(t * 1e6) % 1000000, type_, code, value)
try:
    fd = os.open(sys.argv[1], os.O_WRONLY | os.O_NONBLOCK)
except OSError as e:
    sys.exit(f"uvc_camera.sh press: nobody watches the button ({e.strerror})")
os.write(fd, ev(1, 212, 1) + ev(0, 0, 0) + ev(1, 212, 0) + ev(0, 0, 0))
EOF
    ;;
  unplug | plug)
    # The cable, then what udev tells its listeners (GStreamer's V4L2 device provider among
    # them) on a netlink multicast that reaches this network namespace only. The switch is
    # set before the removal is told and cleared before the addition is, so a listener that
    # opens the node finds what it was told.
    if [ "$1" = unplug ]; then touch "$2/unplug"; action=remove; else rm -f "$2/unplug"; action=add; fi
    [ -f "$2/announce" ] || exit 0
    exec python3 - "$action" "$2" <<'PY'
import os, socket, struct, sys
action, folder = sys.argv[1], sys.argv[2]

def murmur2(data):  # libudev's subsystem hash, which its listeners' socket filters compare
    m, h, n = 0x5BD1E995, len(data), len(data) - len(data) % 4
    for i in range(0, n, 4):
        k = (struct.unpack_from("<I", data, i)[0] * m) & 0xFFFFFFFF
        k = ((k ^ (k >> 24)) * m) & 0xFFFFFFFF
        h = ((h * m) & 0xFFFFFFFF) ^ k
    for i, byte in enumerate(data[n:]):
        h ^= byte << (8 * i)
    if n < len(data):
        h = (h * m) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * m) & 0xFFFFFFFF
    return h ^ (h >> 15)

lines = [l.strip() for l in open(os.path.join(folder, "announce")) if l.strip()]
counter = os.path.join(folder, "seqnum")
seqnum = int(open(counter).read()) + 1 if os.path.exists(counter) else 1
open(counter, "w").write(str(seqnum))
body = b"".join(p.encode() + b"\0" for p in [f"ACTION={action}", f"SEQNUM={seqnum}"] + lines)
subsystem = next(l.split("=", 1)[1] for l in lines if l.startswith("SUBSYSTEM="))
# The "libudev" header: magic and hashes in network order, sizes in the host's.
header = struct.pack("=8sIIII", b"libudev", socket.htonl(0xFEEDCAFE), 40, 40, len(body))
header += struct.pack(">IIII", murmur2(subsystem.encode()), 0, 0, 0)
s = socket.socket(socket.AF_NETLINK, socket.SOCK_RAW, 15)  # NETLINK_KOBJECT_UEVENT
s.sendto(header + body, (0, 2))  # udev's group
PY
    ;;
esac

dir="" lib="${UVCEMU_LIB:-}" later=0
while [ $# -gt 0 ]; do
  case "$1" in
    --dir) dir=$2; shift 2 ;;
    --lib) lib=$2; shift 2 ;;
    --preload-later) later=1; shift ;;
    --inner) break ;;
    --) shift; break ;;
    *) break ;;
  esac
done

if [ "${1:-}" != --inner ]; then
  [ $# -gt 0 ] || { echo "usage: $0 [--dir DIR] [--lib LIB] [--] COMMAND [ARG...]" >&2; exit 2; }
  [ -n "$lib" ] && [ -f "$lib" ] || { echo "uvc_camera.sh: no camera library (--lib or UVCEMU_LIB)" >&2; exit 2; }
  own_dir=0
  if [ -z "$dir" ]; then dir=$(mktemp -d /tmp/uvc-camera.XXXXXX); own_dir=1; fi
  mkdir -p "$dir"
  dir=$(readlink -f "$dir")
  lib=$(readlink -f "$lib")
  if [ "$(id -u)" -eq 0 ]; then ns=(unshare -m --propagation private); else ns=(unshare -Urm); fi
  if ! "${ns[@]}" true 2>/dev/null; then
    echo "uvc_camera.sh: skipped: cannot make a private mount namespace (${ns[*]})" >&2
    exit 77
  fi
  # A network namespace of its own, where the camera's udev announcements reach only the
  # command's listeners; without one the camera cannot be announced (no hotplug).
  hotplug=0
  if "${ns[@]}" -n true 2>/dev/null; then ns+=(-n); hotplug=1; fi
  export LIBMOUNT_UTAB="$dir/utab"  # mount(8) writes its table there, not on the host
  status=0
  "${ns[@]}" bash "$self" --inner "$dir" "$lib" "$later" "$hotplug" "$@" || status=$?
  if [ "$own_dir" = 1 ]; then rm -rf "$dir"; fi
  exit "$status"
fi

# ---- inside the namespace ----
shift
dir=$1 lib=$2 later=$3 hotplug=$4
shift 4
name=${UVCEMU_NAME:-Emulated Webcam}
work="$dir/ns"
mkdir -p "$work"
mount -t tmpfs uvc-camera "$work"
mkdir -p "$work/class-orig" "$work/devchar" "$work/run-upper/udev/data" "$work/run-work"

# /sys/class: every class of the host bound back in, video4linux/video42 added.
mount --bind /sys/class "$work/class-orig"
mount -t tmpfs -o mode=755 uvc-camera-class /sys/class
for entry in "$work/class-orig"/*; do
  class=$(basename "$entry")
  mkdir "/sys/class/$class"
  if [ "$class" = video4linux ]; then
    cp -RP "$entry/." "/sys/class/$class/"
  else
    mount --bind "$entry" "/sys/class/$class"
  fi
done
mkdir -p /sys/class/video4linux

# The USB device, its VideoControl interface bound to uvcvideo, and the button's input device.
usb=/sys/class/.uvc-camera/usb1/1-1
iface=$usb/1-1:1.0
event=$iface/input/input42/event42
mkdir -p /sys/class/.uvc-camera/drivers/uvcvideo "$event"
printf '0c45\n' >"$usb/idVendor"
printf '6366\n' >"$usb/idProduct"
printf '%s\n' "$name" >"$usb/product"
printf 'UVC0042\n' >"$usb/serial"
printf 'DEVTYPE=usb_device\nPRODUCT=c45/6366/100\n' >"$usb/uevent"
ln -s ../../../drivers/uvcvideo "$iface/driver"
printf '00\n' >"$iface/bInterfaceNumber"
printf '0e\n' >"$iface/bInterfaceClass"
printf 'DEVTYPE=usb_interface\nDRIVER=uvcvideo\nINTERFACE=14/1/0\n' >"$iface/uevent"
printf '%s\n' "$name" >"$iface/input/input42/name"
printf 'NAME="%s"\n' "$name" >"$iface/input/input42/uevent"
printf '13:106\n' >"$event/dev"
printf 'MAJOR=13\nMINOR=106\nDEVNAME=input/event42\n' >"$event/uevent"

video=/sys/class/video4linux/video42
mkdir "$video"
printf 'MAJOR=81\nMINOR=42\nDEVNAME=video42\n' >"$video/uevent"
printf '81:42\n' >"$video/dev"
printf '%s\n' "$name" >"$video/name"
printf '0\n' >"$video/index"
ln -s ../../video4linux "$video/subsystem"
ln -s ../../.uvc-camera/usb1/1-1/1-1:1.0 "$video/device"

# /sys/dev/char: the host's links and ours.
cp -RP /sys/dev/char/. "$work/devchar/"
mount -t tmpfs -o mode=755 uvc-camera-devchar /sys/dev/char
cp -RP "$work/devchar/." /sys/dev/char/
ln -s ../../class/video4linux/video42 /sys/dev/char/81:42
ln -s ../../class/.uvc-camera/usb1/1-1/1-1:1.0/input/input42/event42 /sys/dev/char/13:106

# /run/udev/data: what udev would have recorded (GStreamer lists no node without
# ID_V4L_VERSION).
cat >"$work/run-upper/udev/data/c81:42" <<EOF
I:1
E:ID_V4L_VERSION=2
E:ID_V4L_PRODUCT=$name
E:ID_V4L_CAPABILITIES=:capture:
E:ID_BUS=usb
E:ID_VENDOR_ID=0c45
E:ID_MODEL_ID=6366
E:ID_SERIAL=Emulated_Webcam_UVC0042
E:ID_USB_DRIVER=uvcvideo
E:ID_USB_INTERFACE_NUM=00
G:uaccess
Q:uaccess
V:1
EOF
# libudev listens to udev's announcements only where udev runs.
: >"$work/run-upper/udev/control"
mount -t overlay uvc-camera-run -o "lowerdir=/run,upperdir=$work/run-upper,workdir=$work/run-work" /run

rm -f "$dir/unplug" "$dir/button" "$dir/announce" "$dir/seqnum"
# What a plug or unplug announces: the node's uevent and the properties udev added.
if [ "$hotplug" = 1 ]; then
  {
    printf 'SUBSYSTEM=video4linux\nDEVPATH=/class/video4linux/video42\nDEVNAME=/dev/video42\n'
    printf 'MAJOR=81\nMINOR=42\n'
    sed -n 's/^E://p' "$work/run-upper/udev/data/c81:42"
  } >"$dir/announce"
fi
mkfifo "$dir/button"
export UVCEMU_DIR="$dir" UVCEMU_RUNNER="$self"
export SYSTEMD_DEVICE_VERIFY_SYSFS=0  # libudev takes device folders that are not on sysfs
preload="${UVCEMU_PRELOAD_FIRST:+$UVCEMU_PRELOAD_FIRST }$lib${LD_PRELOAD:+ $LD_PRELOAD}"
if [ "$later" = 1 ]; then export UVCEMU_LD_PRELOAD="$preload"; else export LD_PRELOAD="$preload"; fi
exec "$@"
