#!/bin/sh
# Installs the Debian packages the build needs when they are missing (as root), or says
# which ones to install.
set -eu
needed="cmake make g++ libgtest-dev g++-mingw-w64-i686 clang-format"
missing=""
for package in $needed; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages:$missing (install them as root, or run this as root)" >&2
    exit 1
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
