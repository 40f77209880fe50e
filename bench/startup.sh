#!/usr/bin/env bash
# Start-up time of the program, from process start to the main window shown, with hyperfine; the
# 500 ms of deliberate waits of the creation sequence are subtracted in the report.
#   bench/startup.sh [preset]   (needs a built tree; runs offscreen)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/${1:-default}/bin
export QT_QPA_PLATFORM=offscreen
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
# An existing settings file (GBK), as on every start after the first.
mkdir -p "$home/Documents"
printf '[初次打开]\r\n是否=1\r\n[保存连接记录]\r\n开关=0\r\n[主题颜色]\r\n颜色=16746496\r\n[软件边框]\r\n边框=0\r\n' \
    | iconv -f UTF-8 -t CP936 > "$home/Documents/Kelm助手_用户配置.ini"
hyperfine --warmup 3 --runs 20 --export-json "$home/startup.json" "$bin/startup_probe" >&2
python3 - "$home/startup.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print(f"start-up to window shown: median {r['median']*1000:.1f} ms, minus 500 ms of waits: {r['median']*1000-500:.1f} ms")
PY
