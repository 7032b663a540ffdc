#!/usr/bin/env bash
# Prints which folder of src/ includes which ("from -> to count"), the application's rooms
# (src/app/<room>) and its session (app/MonitorSession) told apart, and fails when a folder
# includes one of its own layer or a higher one: includes run downwards only (docs/architecture.md).
# Usage: check_layers.sh <source root>
set -euo pipefail
root=${1:?source root}
cd "$root/src"

# Higher numbers may include lower ones.
declare -A layer=(
    [core]=0
    [storage]=1 [charting]=1
    [graphs]=2 [monitor]=2 [housekeeping]=2 [testcontrol]=2 [drops]=2
    [capture]=3 [webserver]=3
    [app/session]=4
    [app/desktop]=5
    [app/dialogs]=6 [app/tabs]=6
    [app/binders]=7
    [app]=8
)

folder_of() {
    case $1 in
    app/MonitorSession.*) echo app/session ;;
    app/*/*) echo "${1%/*}" ;;
    */*) echo "${1%%/*}" ;;
    esac
}

pairs=$(find . \( -name '*.cpp' -o -name '*.h' \) | sed 's|^\./||' | sort | while read -r file; do
    from=$(folder_of "$file")
    { grep -oE '^#include "[^"]+"' "$file" || true; } | sed -E 's/#include "(.*)"/\1/' |
        while read -r target; do
            [[ -e $target ]] || continue # a header of the folder itself, named without its folder
            to=$(folder_of "$target")
            [[ $from == "$to" ]] || echo "$from -> $to"
        done
done | sort | uniq -c | awk '{print $2, $3, $4, $1}')
echo "$pairs"

status=0
while read -r from _ to count; do
    [[ -n $from ]] || continue
    if [[ -z ${layer[$from]+x} || -z ${layer[$to]+x} ]]; then
        echo "no layer for $from or $to: add the folder to check_layers.sh and the picture" >&2
        status=1
    elif ((layer[$to] >= layer[$from])); then
        echo "$from includes $to ($count): a layer may include lower layers only" >&2
        status=1
    fi
done <<<"$pairs"
exit $status
