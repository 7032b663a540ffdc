#!/usr/bin/env bash
# Builds the Debian package of a build with cpack, has lintian check it, compares its contents
# with the files an install puts in place, and unpacks it to start the program from there the way
# the install check does.
# Usage: check_package.sh <build folder> <version> [desktop-file-validate]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
version=$2
validator=${3:-}

work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$work/out") > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack -G DEB"; exit 1; }
arch=$(dpkg --print-architecture)
deb=$work/out/lintrove5a_${version}_${arch}.deb
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no $(basename "$deb")"; exit 1; }

# The control fields a package needs to be installed and found.
for field in Package Version Architecture Maintainer Section Depends Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "the control file has no $field"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
# dpkg-shlibdeps found the libraries the program links against.
for library in libqt6webenginewidgets6 libqt6widgets6 libmicrohttpd12 libc6; do
    dpkg-deb -f "$deb" Depends | grep -q "$library" || fail "Depends does not name $library"
done
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 2 ] || fail "the description has no long text"

# Exactly the installed files under /usr, owned by root, nothing else.
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)
wanted=$(grep -v '^#' "$here/installed-files.txt" | sort)
if [ "$listed" != "$wanted" ]; then
    fail "the package's files differ from the installed files:"
    diff <(echo "$wanted") <(echo "$listed") || true
fi
dpkg-deb -c "$deb" | awk '$2 != "root/root" {print; bad=1} END {exit bad}' ||
    fail "files in the package are not owned by root"

if command -v lintian > /dev/null; then
    # Errors fail the check; warnings and notes are shown for the README's list of what remains.
    status=0
    lintian --fail-on error --display-info "$deb" > "$work/lintian.log" 2>&1 || status=$?
    grep -v 'not recommended' "$work/lintian.log" || true # root is warned; nothing else is hidden
    [ "$status" = 0 ] || fail "lintian reports errors"
else
    fail "lintian not found (scripts/install-deps.sh installs it)"
fi

# Unpacked as dpkg would, the program starts from there and keeps its files in the user's data
# folder, like any installed copy.
dpkg-deb -x "$deb" "$work/root"
bash "$here/check_install.sh" "$build" "$validator" "$version" "$work/root/usr" ||
    fail "the unpacked package fails the install check"

[ "$failures" -eq 0 ] || exit 1
echo "package check passed"
