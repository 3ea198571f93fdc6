#!/usr/bin/env bash
# Installs the Debian packages the project needs, or says which to install.
# Usage: tools/setup.sh [extra packages...]
set -u
packages=(cmake g++ make pkg-config libexpat1-dev libcurl4-openssl-dev libpng-dev zlib1g-dev
          qt6-base-dev libgtest-dev python3 xvfb xauth xdotool "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo="sudo"
else
  echo "Cannot install packages without root. Please run:"
  echo "  sudo apt-get install ${missing[*]}"
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y -q "${missing[@]}"; then
  $sudo apt-get update -q && $sudo apt-get install -y -q "${missing[@]}" || {
    echo "apt-get failed. Please install: ${missing[*]}"
    exit 1
  }
fi
