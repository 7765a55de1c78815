#!/usr/bin/env bash
# Builds Kolvex as a packager does (Release, in build-release/) and makes the
# Debian package build/kolvex_<version>_<arch>.deb with CPack.
# KOLVEX_PACKAGE_MAINTAINER="Name <address>" sets the package's maintainer.
set -euo pipefail
cd "$(dirname "$0")/.."

extra=()
if [ -n "${KOLVEX_PACKAGE_MAINTAINER:-}" ]; then
    extra+=("-DKOLVEX_PACKAGE_MAINTAINER=$KOLVEX_PACKAGE_MAINTAINER")
fi
bash scripts/build.sh release ${extra[@]+"${extra[@]}"}
(cd build-release && cpack -G DEB --config CPackConfig.cmake >/dev/null)
mkdir -p build
deb="$(ls -t build-release/kolvex_*.deb | head -n 1)"
cp "$deb" build/
echo "build/$(basename "$deb")"
