#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tavrelo needs, when any is missing.
#   scripts/install-deps.sh          the build and the test suite
#   scripts/install-deps.sh package  also what scripts/package.sh builds and checks the Debian
#                                    package with (dpkg-dev, file, the validators, lintian)
#   scripts/install-deps.sh checks   also clang with its sanitizer and libFuzzer runtimes and
#                                    llvm-symbolizer, for the sanitized tests and the fuzzing,
#                                    and the package's tools
#   scripts/install-deps.sh windows  also the MinGW-w64 cross compiler, GoogleTest's sources,
#                                    NSIS, zip and Wine, for the Windows build and its tests
#                                    (scripts/windows/), and what building Qt for Windows needs
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-qpa-plugins libgl-dev
          fonts-dejavu-core fonts-liberation fonts-gfs-neohellenic
          libcli11-dev nlohmann-json3-dev
          xvfb xdotool poppler-utils python3-ezdxf)
package_tools=(dpkg-dev file desktop-file-utils appstream lintian)
windows_tools=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
               googletest nsis zip unzip wine wine64 imagemagick dpkg-dev perl xz-utils)
case "${1:-}" in
    package) packages+=("${package_tools[@]}") ;;
    checks) packages+=(clang libclang-rt-14-dev llvm "${package_tools[@]}") ;;
    windows) packages+=("${windows_tools[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root, or install sudo, to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
