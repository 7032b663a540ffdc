#!/usr/bin/env bash
# Installs a build into a temporary prefix, checks that every installed file is in its place and
# well formed, and starts the installed program the way a desktop would: no LINTROVE_HOME, a home
# of its own, a prefix it must not write to.
# Usage: check_install.sh <build folder> [desktop-file-validate] [version] [prefix]
# With a prefix, the files already there are checked instead (the package check unpacks the
# Debian package there).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
validator=${2:-}
version=${3:-}
given_prefix=${4:-}

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null || true
    fi
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if [ -n "$given_prefix" ]; then
    prefix=$given_prefix
else
    prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" > "$work/install.log" ||
        { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
fi

# Every file in its usual place, and nothing else: no tests, benchmarks or tools.
mapfile -t expected < <(grep -v '^#' "$here/installed-files.txt")
sizes=(16 22 24 32 48 64 128 256)
for f in "${expected[@]}"; do
    [ -s "$prefix/$f" ] || fail "missing or empty: $f"
done
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$installed" != "$wanted" ]; then
    fail "installed files differ from the expected list:"
    diff <(echo "$wanted") <(echo "$installed") || true
fi
[ -x "$prefix/bin/lintrove5a" ] || fail "bin/lintrove5a is not executable"

# Each PNG is as large as the folder it is in says (width and height from the PNG header).
for s in "${sizes[@]}"; do
    png=$prefix/share/icons/hicolor/${s}x${s}/apps/lintrove5a.png
    [ -f "$png" ] || continue
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
    w=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
    h=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
    [ "$w" = "$s" ] && [ "$h" = "$s" ] || fail "${s}x${s} icon is ${w}x${h}"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/lintrove5a.svg" ||
    fail "the scalable icon is not an SVG drawing"

desktop=$prefix/share/applications/lintrove5a.desktop
for line in "Type=Application" "Name=Lintrove 5A" "Exec=lintrove5a" "Icon=lintrove5a" \
            "Terminal=false"; do
    grep -qx "$line" "$desktop" || fail "desktop entry lacks '$line'"
done
grep -q '^Comment=.' "$desktop" || fail "desktop entry has no Comment"
grep -q '^Categories=.*Network;' "$desktop" || fail "desktop entry is not in the Network category"
if [ -n "$validator" ]; then
    "$validator" "$desktop" || fail "desktop-file-validate rejects the desktop entry"
else
    echo "note: desktop-file-validate not found, desktop entry checked by its keys only"
fi

# The installed program answers --version and --help without a display.
program=$prefix/bin/lintrove5a
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --version) ||
    fail "--version failed"
if [ -n "$version" ]; then
    [ "$out" = "Lintrove 5A $version" ] || fail "--version printed '$out'"
else
    [[ "$out" =~ ^Lintrove\ 5A\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$out'"
fi
help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --help) ||
    fail "--help failed"

# The manual page is valid roff and describes every option --help lists.
man_page=$prefix/share/man/man1/lintrove5a.1.gz
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENVIRONMENT "SEE ALSO"; do
    zcat "$man_page" | grep -q "^\.SH \"\?$section" || fail "manual page lacks the $section section"
done
zcat "$prefix/share/doc/lintrove5a/changelog.gz" | sed -n 1p |
    grep -q "^lintrove5a (${version:-[0-9.]*})" || fail "the changelog does not name this version"
if command -v man > /dev/null; then
    man_text=$(MANWIDTH=120 man -l --warnings "$man_page" 2> "$work/man.err") ||
        fail "man -l cannot format the manual page"
    if [ -s "$work/man.err" ]; then
        cat "$work/man.err"
        fail "man -l warns about the manual page"
    fi
else
    echo "note: man not found, manual page checked by its sections only"
    man_text=$(zcat "$man_page" | sed 's/\\-/-/g')
fi
for option in $(grep -o -- '--[a-z][a-z-]*' <<< "$help" | sort -u); do
    grep -q -- "$option" <<< "$man_text" || fail "manual page does not describe $option"
done
for name in LINTROVE_HOME XDG_DATA_HOME QTWEBENGINE_DISABLE_SANDBOX LINTROVE_TIME_SCALE; do
    grep -q "$name" <<< "$man_text" || fail "manual page does not describe $name"
done

# Started as from the desktop's menu: it keeps its files in the user's data folder and writes
# nothing into the prefix. Root could still write into a read-only prefix, so the comparison of
# the prefix before and after is what decides, not the permissions.
listing() { (cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort); }
chmod -R a-w "$prefix"
before=$(listing)
home=$work/home
data=$work/data
mkdir -p "$home" "$work/cwd"
if [ "$(id -u)" = 0 ]; then
    echo "note: run as root, the read-only prefix does not stop writes; the listing check does"
fi
(cd "$work/cwd" && exec env -u LINTROVE_HOME -u LINTROVE_TIME_SCALE HOME="$home" \
    XDG_DATA_HOME="$data" QT_QPA_PLATFORM=offscreen "$program" > "$work/program.log" 2>&1) &
pid=$!
folder=$data/lintrove5a
# The window's creation makes the image folders: the program is up and handles SIGTERM.
for _ in $(seq 1 120); do
    [ -d "$folder/WebServer" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
if [ -d "$folder/WebServer" ]; then
    sleep 3 # a few seconds against nothing: no settings, no router
    # A second launch for the same folder hands over to the running instance and ends at once.
    second=0
    (cd "$work/cwd" && exec env -u LINTROVE_HOME -u LINTROVE_TIME_SCALE HOME="$home" \
        XDG_DATA_HOME="$data" QT_QPA_PLATFORM=offscreen timeout 30 "$program" --tab 2 \
        > "$work/second.log" 2>&1) || second=$?
    [ "$second" = 0 ] || { cat "$work/second.log"; fail "a second launch ended with status $second"; }
    grep -q "brought forward" "$work/second.log" || fail "a second launch did not hand over"
    kill -0 "$pid" 2>/dev/null || fail "the first instance ended when a second was launched"
    kill -TERM "$pid"
    for _ in $(seq 1 60); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "the program was still running 30 s after SIGTERM"
    else
        status=0
        wait "$pid" || status=$?
        [ "$status" = 0 ] || fail "the program ended with status $status after SIGTERM"
    fi
    pid=
    [ -s "$folder/lintrove5a.ini" ] || fail "no settings file in \$XDG_DATA_HOME/lintrove5a"
    [ -e "$folder/lintrove5a.html" ] && fail "the installed copy wrote a help document of its own"
else
    fail "the installed program did not come up in \$XDG_DATA_HOME/lintrove5a"
fi
after=$(listing)
if [ "$before" != "$after" ]; then
    fail "the program changed the prefix:"
    diff <(echo "$before") <(echo "$after") || true
fi
if [ "$failures" -ne 0 ]; then
    echo "--- program output"
    cat "$work/program.log"
    exit 1
fi
echo "install check passed"
