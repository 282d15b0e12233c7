#!/usr/bin/env bash
# Builds Tavrelo for Windows and packs it twice: build-windows/tavrelo-<version>-setup.exe, the
# installer (NSIS), and build-windows/tavrelo-<version>-windows-x64.zip, the same folder to
# unzip and run. The DLLs are those the programs import, found by walking their imports.
#   scripts/windows/package.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/windows/common.sh

version=$(sed -n 's/^project(Tavrelo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build_windows tavrelo tavrelo-cli

stage=$BUILD_DIR/stage/Tavrelo
rm -rf "$BUILD_DIR/stage" && mkdir -p "$stage/examples"
cp "$BUILD_DIR/tavrelo.exe" "$BUILD_DIR/tavrelo-cli.exe" "$stage/"
$TRIPLET-strip --strip-unneeded "$stage/tavrelo.exe" "$stage/tavrelo-cli.exe"
deploy_dlls "$stage"
cp examples/survey.txt examples/survey_common_points.txt examples/survey.dxf examples/old_plan.txt \
    examples/old_plan_common_points.txt "$stage/examples/"
# Texts for Windows: CR LF line ends.
sed 's/$/\r/' packaging/copyright > "$stage/copyright.txt"
sed 's/$/\r/' README.md > "$stage/README.txt"

# What the uninstaller removes: exactly the files and folders staged, deepest first.
list=$BUILD_DIR/stage/uninstall-list.nsh
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|' &&
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|') > "$list"

setup=$BUILD_DIR/tavrelo-$version-setup.exe
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DSTAGE_LIST="$PWD/$list" -DSIZE_KB="$size_kb" \
         -DOUTFILE="$PWD/$setup" packaging/windows/tavrelo.nsi

zipfile=$BUILD_DIR/tavrelo-$version-windows-x64.zip
rm -f "$zipfile"
(cd "$BUILD_DIR/stage" && zip -qr9 "../$(basename "$zipfile")" Tavrelo)
ls -l "$setup" "$zipfile" | awk '{printf "%s: %.1f MB\n", $NF, $5 / 1048576}'
