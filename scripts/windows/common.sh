# Shared by the Windows scripts: where Qt for Windows is, the build, the DLLs a program needs,
# and a fresh Wine prefix. Sourced, never run.

TRIPLET=x86_64-w64-mingw32
BUILD_DIR=${BUILD_DIR:-build-windows}
MINGW_RUNTIME_DIRS=(/usr/lib/gcc/$TRIPLET/12-posix /usr/$TRIPLET/lib)

# Qt for Windows: $TAVRELO_QT_WINDOWS, ../shared/qt6-mingw, or the cache build-qt.sh fills.
qt_windows() {
    if [[ -n "${TAVRELO_QT_WINDOWS:-}" ]]; then echo "$TAVRELO_QT_WINDOWS"
    elif [[ -d ../shared/qt6-mingw/lib/cmake/Qt6 ]]; then (cd ../shared/qt6-mingw && pwd)
    else echo "$HOME/.cache/tavrelo/qt6-mingw"; fi
}

# Configures (once) and builds the given targets, or all.
build_windows() {
    bash scripts/install-deps.sh windows
    bash scripts/windows/build-qt.sh
    if [[ ! -f "$BUILD_DIR/build.ninja" ]]; then
        cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTAVRELO_QT_WINDOWS="$(qt_windows)"
    fi
    if (($#)); then cmake --build "$BUILD_DIR" -j 2 --target "$@"
    else cmake --build "$BUILD_DIR" -j 2; fi
}

# Puts beside the programs in folder $1 every DLL they import from Qt or MinGW, found by
# walking the imports of each program and DLL in turn, and the plugins Qt loads by name.
# A DLL found in neither place is one of Windows' own.
deploy_dlls() {
    local dest=$1 qt; qt=$(qt_windows)
    mkdir -p "$dest/platforms" "$dest/styles"
    cp -u "$qt/plugins/platforms/qwindows.dll" "$qt/plugins/platforms/qoffscreen.dll" "$dest/platforms/"
    cp -u "$qt/plugins/styles/qwindowsvistastyle.dll" "$dest/styles/"
    local -a queue=("$dest"/*.exe "$dest"/platforms/*.dll "$dest"/styles/*.dll)
    local -A seen=()
    while ((${#queue[@]})); do
        local file=${queue[0]}; queue=("${queue[@]:1}")
        local name
        for name in $($TRIPLET-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
            local key=${name,,}
            [[ -n "${seen[$key]:-}" ]] && continue
            seen[$key]=1
            local dir found=
            for dir in "$qt/bin" "${MINGW_RUNTIME_DIRS[@]}"; do
                [[ -f "$dir/$name" ]] && { found=$dir/$name; break; }
            done
            [[ -z "$found" ]] && continue
            if [[ ! -f "$dest/$name" || "$found" -nt "$dest/$name" ]]; then
                cp "$found" "$dest/$name"
                # Debian ships the MinGW runtime with its symbols: 23 MB of libstdc++ alone.
                [[ "$found" != "$qt/bin/"* ]] && $TRIPLET-strip --strip-unneeded "$dest/$name"
            fi
            queue+=("$dest/$name")
        done
    done
}

# A fresh Wine prefix in $1, made ready; Wine is told to fetch nothing.
fresh_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d" WINEARCH=win64
    rm -rf "$WINEPREFIX"
    timeout 300 wineboot -i >/dev/null 2>&1
    timeout 60 wineserver -w || true
}
