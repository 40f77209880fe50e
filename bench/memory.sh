#!/usr/bin/env bash
# Resident memory of the program after a device has been read: the program (offscreen) and the
# virtual iPhone with its default profile; the connection record file tells when the read is done.
#   bench/memory.sh [preset]   (needs a built tree)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/${1:-default}/bin
scratch=$(mktemp -d)
trap 'kill $app $phone 2>/dev/null || true; rm -rf "$scratch"' EXIT
home=$scratch/home
mkdir -p "$home/Documents"
printf '[初次打开]\r\n是否=1\r\n' | iconv -f UTF-8 -t CP936 > "$home/Documents/Kelm助手_用户配置.ini"
"$bin/virtual-iphone" --socket "$scratch/usbmuxd" --control "$scratch/control" > "$scratch/ready" &
phone=$!
for _ in $(seq 100); do grep -q ready "$scratch/ready" 2>/dev/null && break; sleep 0.1; done
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share QT_QPA_PLATFORM=offscreen \
    USBMUXD_SOCKET_ADDRESS=UNIX:$scratch/usbmuxd "$bin/KelmTools" > "$scratch/out" 2>&1 &
app=$!
sleep 2
before=$(awk '/VmRSS/ {print $2}' /proc/$app/status)
"$bin/virtual-iphone" --control "$scratch/control" --send "plug tools/virtual-iphone/profiles/iphone.json" >/dev/null
record="$home/.local/share/KelmTools/Favorites/Kelm助手_用户设备连接记录.ini"
for _ in $(seq 200); do [ -s "$record" ] && break; sleep 0.05; done
[ -s "$record" ] || { echo "the device was not read" >&2; exit 1; }
sleep 0.5
after=$(awk '/VmRSS/ {print $2}' /proc/$app/status)
echo "resident memory: ${before} KiB with the window up, ${after} KiB after a device has been read"
