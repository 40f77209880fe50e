#!/usr/bin/env bash
# Start-up time of the program, from process start to the main window shown, with hyperfine, in one run
# for two homes: one whose settings file holds all four settings (colour, border and switch read and
# applied) and one whose file holds only the finished first run (the other settings at their
# defaults). The 500 ms of deliberate waits of the creation sequence are subtracted in the report.
#   bench/startup.sh [preset]   (needs a built tree; runs offscreen)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/${1:-default}/bin
export QT_QPA_PLATFORM=offscreen
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
settings() { # home, content (UTF-8, written as GBK)
    mkdir -p "$1/Documents"
    printf "$2" | iconv -f UTF-8 -t CP936 > "$1/Documents/Kelm助手_用户配置.ini"
}
settings "$scratch/full" '[初次打开]\r\n是否=1\r\n[保存连接记录]\r\n开关=0\r\n[主题颜色]\r\n颜色=16746496\r\n[软件边框]\r\n边框=2\r\n'
settings "$scratch/minimal" '[初次打开]\r\n是否=1\r\n'
run() { echo "HOME=$scratch/$1 XDG_CONFIG_HOME=$scratch/$1/.config XDG_DATA_HOME=$scratch/$1/.local/share $bin/startup_probe"; }
hyperfine --warmup 3 --runs 20 --export-json "$scratch/startup.json" -n "all settings" "$(run full)" \
    -n "first run only" "$(run minimal)" >&2
python3 - "$scratch/startup.json" <<'PY'
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print(f"{r['command']}: start-up to window shown, median {r['median']*1000:.1f} ms, minus 500 ms of waits: {r['median']*1000-500:.1f} ms")
PY
