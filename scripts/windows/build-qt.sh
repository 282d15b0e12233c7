#!/usr/bin/env bash
# Builds Qt 6.4.2 (qtbase: Core, Gui, Widgets, Test and the rest the Windows build uses) for
# 64-bit Windows with MinGW-w64, from Debian's own qt6-base source package, into a cache folder:
# $TAVRELO_QT_WINDOWS, by default ~/.cache/tavrelo/qt6-mingw. About an hour on two cores; a
# finished build is kept and not redone. When ../shared/qt6-mingw lies beside the project, that
# copy (built by these same steps) is used by the build and nothing is done here.
#   scripts/windows/build-qt.sh          build unless a copy is there
#   FORCE=1 scripts/windows/build-qt.sh  build into the cache folder anyway
set -euo pipefail
cd "$(dirname "$0")/../.."

if [[ "${FORCE:-0}" != 1 && -z "${TAVRELO_QT_WINDOWS:-}" && -d ../shared/qt6-mingw/lib/cmake/Qt6 ]]; then
    echo "Qt for Windows: $(cd ../shared/qt6-mingw && pwd) (prebuilt)"
    exit 0
fi
PREFIX=${TAVRELO_QT_WINDOWS:-$HOME/.cache/tavrelo/qt6-mingw}
WORK=${WORK:-$HOME/.cache/tavrelo/qt6-mingw-build}
JOBS=${JOBS:-2}
NICE=${NICE:-10}
FORCE=${FORCE:-0}
TRIPLET=x86_64-w64-mingw32
HOST_QT_PREFIX=/usr
HOST_QT_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake

log() { printf '\n==> %s\n' "$*"; }

if [[ -f "$PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" && "$FORCE" != 1 ]]; then
    echo "Qt for Windows: $PREFIX (built before)"
    exit 0
fi

bash scripts/install-deps.sh windows
# An earlier form of this script added a one-line deb-src entry to the system's package sources,
# which breaks every apt-get on a system whose sources are in the deb822 form: taken out again.
old_entry=/etc/apt/sources.list.d/tavrelo-deb-src.list
if [[ -f "$old_entry" ]] && grep -qx "deb-src http://deb.debian.org/debian [a-z]* main" "$old_entry"; then
    sudo=(); [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" rm -f "$old_entry"
fi

# The target Qt must be the very same version as the host Qt that provides the build tools.
QT_DEB_VERSION=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)   # e.g. 6.4.2+dfsg-10
QT_UPSTREAM=${QT_DEB_VERSION%%-*}                                     # e.g. 6.4.2+dfsg
SRC="$WORK/qt6-base-$QT_UPSTREAM"
BUILD="$WORK/build"

# ---------------------------------------------------------------------------------------------------
# 2. Source: Debian's qt6-base (patches applied by dpkg-source).  The +dfsg tarball only drops
#    src/3rdparty/{sqlite,iaccessible2,wintab,gradle} (see debian/copyright Files-Excluded); zlib,
#    pcre2, libpng, libjpeg, harfbuzz-ng, freetype, md4c, double-conversion are all still bundled.
#    Missing wintab.h is the only one that matters for Windows -> -no-feature-tabletevent below.
# ---------------------------------------------------------------------------------------------------
mkdir -p "$WORK"
if [[ ! -x "$SRC/configure" ]]; then
    log "apt-get source qt6-base=$QT_DEB_VERSION"
    bash scripts/windows/debian-source.sh "qt6-base=$QT_DEB_VERSION" "$WORK"
fi

# Qt 6.4.2 bug with -no-feature-direct2d (used below): the DirectWrite font engine / font database
# are only compiled into QtGui when direct2d is on (src/gui/CMakeLists.txt), but PrintSupport's
# qprintengine_win.cpp and the qwindows plugin's qwindowsintegration.cpp only test
# QT_CONFIG(directwrite[3]) => undefined references to QWindowsFontEngineDirectWrite::createHFONT()
# and QWindowsDirectWriteFontDatabase::QWindowsDirectWriteFontDatabase() at link time.
# Make their guards match QtGui's.  (sed patterns only match unpatched lines => idempotent.)
sed -i 's|^#if QT_CONFIG(directwrite)$|#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d) // qtwin: DW engine only built with direct2d|' \
    "$SRC/src/printsupport/platform/windows/qprintengine_win.cpp"
sed -i 's|^#if QT_CONFIG(directwrite3)$|#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d) // qtwin: DW font database only built with direct2d|' \
    "$SRC/src/plugins/platforms/windows/qwindowsintegration.cpp"

# ---------------------------------------------------------------------------------------------------
# 3. CMake toolchain file, installed into the prefix so the prefix is self-contained (Qt's generated
#    lib/cmake/Qt6/qt.toolchain.cmake chain-loads it by absolute path).
# ---------------------------------------------------------------------------------------------------
TOOLCHAIN="$PREFIX/mingw-w64-x86_64.cmake"
TOOLCHAIN_TEXT=$(cat <<EOF
# CMake toolchain file: cross-compile for 64-bit Windows with Debian's MinGW-w64 GCC (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER   $TRIPLET-gcc-posix)
set(CMAKE_CXX_COMPILER $TRIPLET-g++-posix)
set(CMAKE_RC_COMPILER  $TRIPLET-windres)
# Look for target headers/libraries/CMake packages only in the MinGW sysroot (and, via Qt's
# qt.toolchain.cmake, in the Qt prefix) -- never in the host's /usr, where the Linux Qt lives.
# Programs (moc, rcc, ...) are host programs.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/$TRIPLET)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
)
mkdir -p "$PREFIX"
if [[ ! -f "$TOOLCHAIN" ]] || [[ "$(cat "$TOOLCHAIN")" != "$TOOLCHAIN_TEXT" ]]; then
    printf '%s\n' "$TOOLCHAIN_TEXT" > "$TOOLCHAIN"
fi

# ---------------------------------------------------------------------------------------------------
# 4. Configure.
# ---------------------------------------------------------------------------------------------------
CONFIGURE_ARGS=(
    -prefix "$PREFIX"
    # Target mkspec (used for the qmake-compatibility files Qt installs) and the tool prefix it needs.
    -xplatform win32-g++
    -device-option CROSS_COMPILE=$TRIPLET-
    # Cross build: take moc/rcc/uic/... from the host Qt instead of building them.
    -qt-host-path "$HOST_QT_PREFIX"
    -release -shared
    -nomake examples -nomake tests
    # pkg-config would report the host's Linux libraries; there is nothing for the target in it.
    -no-pkg-config
    # Not needed by the project (Widgets use the raster engine); saves build time and DLLs.
    -no-opengl -no-dbus -no-feature-vulkan
    -no-feature-sql -no-feature-network
    # src/3rdparty/wintab (wintab.h) is removed from the +dfsg source and MinGW-w64 has no wintab.h;
    # the Windows platform plugin's tablet support needs it.  Mouse/touch/pen-as-mouse still work.
    -no-feature-tabletevent
    # The optional direct2d platform plugin is not needed (qwindows is).  Side effect in Qt 6.4: QtGui
    # then compiles out its DirectWrite font engine, so text uses the GDI font engine only (colour
    # emoji fonts render monochrome; everything else looks the same).  Needs the two source fixes
    # applied after `apt-get source` above.  Dropping this option (untested) would avoid both.
    -no-feature-direct2d
    # Debian's cross.patch enables androiddeployqt when cross-compiling; irrelevant for Windows.
    -no-feature-androiddeployqt
    # Use the copies bundled in the source (all present in +dfsg): linked into the Qt DLLs, so no
    # extra zlib/pcre2/png/jpeg/harfbuzz/freetype DLLs have to be shipped.  Fonts on Windows go
    # through DirectWrite/GDI; the bundled FreeType is only the optional fontengine=freetype.
    -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-harfbuzz -qt-freetype -qt-doubleconversion
    --
    -G Ninja
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN"
    # Debian installs the host Qt's CMake packages in the multiarch dir, not $QT_HOST_PATH/lib/cmake.
    -DQT_HOST_PATH_CMAKE_DIR="$HOST_QT_CMAKE_DIR"
)
STAMP_TEXT=$(printf '%s\n' "$QT_DEB_VERSION" "${CONFIGURE_ARGS[@]}" "$TOOLCHAIN_TEXT")
STAMP="$BUILD/.configure-stamp"

if [[ "$FORCE" == 1 ]] || [[ ! -f "$STAMP" ]] || [[ "$(cat "$STAMP")" != "$STAMP_TEXT" ]]; then
    log "configure (fresh build directory $BUILD)"
    rm -rf "$BUILD"
    mkdir -p "$BUILD"
    start=$(date +%s)
    (cd "$BUILD" && nice -n "$NICE" "$SRC/configure" "${CONFIGURE_ARGS[@]}") 2>&1 | tee "$WORK/configure.log"
    printf '%s\n' "$STAMP_TEXT" > "$STAMP"
    echo "configure: $(( $(date +%s) - start ))s"
fi

# ---------------------------------------------------------------------------------------------------
# 5. Build (ninja is incremental: a finished build costs seconds) and install.
#    --strip drops the COFF symbol tables (Qt6Core.dll 9.4 MB -> 6.4 MB); exports are unaffected.
# ---------------------------------------------------------------------------------------------------
log "build (-j$JOBS, nice $NICE), log in $WORK/build.log"
start=$(date +%s)
if ! nice -n "$NICE" cmake --build "$BUILD" --parallel "$JOBS" > "$WORK/build.log" 2>&1; then
    tail -40 "$WORK/build.log" >&2
    echo "build failed, see $WORK/build.log" >&2
    exit 1
fi
echo "build: $(( $(date +%s) - start ))s"

# Cheap when nothing changed (CMake only reports "Up-to-date").
log "install into $PREFIX"
cmake --install "$BUILD" --strip > "$WORK/install.log" 2>&1

# ---------------------------------------------------------------------------------------------------
# 6. Sanity check of the result.
# ---------------------------------------------------------------------------------------------------
for f in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll \
         plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll \
         lib/cmake/Qt6/qt.toolchain.cmake lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake; do
    [[ -f "$PREFIX/$f" ]] || { echo "missing $PREFIX/$f" >&2; exit 1; }
done
log "done: Qt $QT_UPSTREAM for $TRIPLET in $PREFIX ($(du -sh "$PREFIX" | cut -f1))"
