#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and benchmarks need, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  libfreeimage-dev libfreeimageplus-dev
  libturbojpeg0-dev libexiv2-dev libpng-dev
  libgtest-dev libbenchmark-dev
  xdg-utils libglib2.0-bin libglib2.0-dev gsettings-desktop-schemas adwaita-icon-theme
  libjpeg-turbo-progs libvips-tools
  locales appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Install them as root:  apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The settings tests run once under a decimal-comma locale; they skip when it is missing.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  if [ "$(id -u)" -eq 0 ]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8
  else
    echo "The de_DE.UTF-8 locale is missing; the locale tests will skip (as root: localedef -i de_DE -f UTF-8 de_DE.UTF-8)" >&2
  fi
fi
