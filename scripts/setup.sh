#!/usr/bin/env bash
# Installs what building, running and testing Vornelle needs on Debian (run as root).
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config clang
      qt6-base-dev qt6-svg-dev libgl-dev libjpeg-dev
      libgtest-dev googletest fonts-liberation2
      xvfb xauth imagemagick libjpeg-turbo-progs libgif-dev poppler-utils locales)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
