#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the viewer need, and only
# those that are missing. Runs apt-get as root, or through sudo for a normal user.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  googletest libgtest-dev
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev libvulkan-dev
  libsqlite3-dev libssl-dev
  fonts-liberation fonts-dejavu-core fontconfig
  xdg-utils
  ripgrep
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
