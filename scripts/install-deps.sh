#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (only those missing).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config ccache
          qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev
          libjpeg62-turbo-dev libmicrohttpd-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          fonts-liberation xvfb xauth
          desktop-file-utils man-db
          prometheus lintian dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
