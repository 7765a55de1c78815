#!/usr/bin/env bash
# Installs everything Kolvex needs to build, run and test on a fresh Debian 12
# machine. Safe to run again: apt and npm skip what is already in place.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config git clang clang-format
  libclang-rt-14-dev llvm
  # test and benchmark frameworks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-svg-dev qt6-tools-dev
  qt6-l10n-tools qt6-translations-l10n qt6-image-formats-plugins
  libqt6svg6 libqt6opengl6-dev libgl-dev
  # libVLC (loaded at run time; headers for types only)
  libvlc-dev libvlc5 libvlc-bin vlc-plugin-base vlc-plugin-video-output
  # the clip writer: the FFmpeg libraries (linked, found through pkg-config)
  libavformat-dev libavcodec-dev libavfilter-dev libswscale-dev libavutil-dev libswresample-dev
  # reading the clips' burnt-in read-out back in tests
  tesseract-ocr
  # fixtures, screenshots, peers for benchmarks
  ffmpeg xvfb xauth x11-utils imagemagick xdotool librsvg2-bin dbus-daemon openbox
  libimage-exiftool-perl chromium fonts-dejavu-core fonts-noto-core desktop-file-utils
  # the window's drawn texts: Arial's metrics (Liberation Sans) and a black weight (Lato)
  fonts-liberation2 fonts-lato
  fonts-noto-cjk
  # the Debian package: CPack's dependency lookup and the package's checkers
  dpkg-dev appstream lintian man-db
  # locale sources: tests compile a German locale to check number formatting
  locales
)

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${PACKAGES[@]}"

if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  $SUDO apt-get install -y --no-install-recommends nodejs npm
fi

# libVLC starts much faster with a plugin cache; the package's trigger
# normally builds it, but a half-configured machine may lack it.
for d in /usr/lib/*/vlc; do
  if [ -x "$d/vlc-cache-gen" ]; then "$d/vlc-cache-gen" "$d/plugins" || true; fi
done

# Web assets (map pages, browser tests) and test data (real cameras' telemetry
# with its reference reader) at the versions the lock files pin.
for dir in map/web tests/data; do
  if [ -f "$dir/package-lock.json" ]; then
    (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
  fi
done
