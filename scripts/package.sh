#!/usr/bin/env bash
# Builds Tavrelo's Debian package in build-package/ (Release, no tests) and checks it: the
# desktop entry with desktop-file-validate, the AppStream metadata with appstreamcli, the
# package with lintian, and that the package, its changelog and its release list carry the
# project's version (tavrelo-cli --version too). Any error fails the script.
# It installs what is missing first.
#   scripts/package.sh            the package: build-package/tavrelo_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-package
bash scripts/install-deps.sh package

# Debian's compiler and linker flags for packages, with every hardening: they replace the
# build's own on every run.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
rm -f "$build"/tavrelo_*.deb
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRELO_TESTS=OFF \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j 2
(cd "$build" && cpack -G DEB)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb=$build/tavrelo_${version}_${arch}.deb
[ -f "$deb" ] || { echo "package.sh: $deb was not made" >&2; exit 1; }

failed=0
fail() { echo "package.sh: $*" >&2; failed=1; }

echo "== desktop-file-validate"
desktop-file-validate packaging/org.tavrelo.Tavrelo.desktop || fail "the desktop entry is not valid"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net packaging/org.tavrelo.Tavrelo.metainfo.xml || fail "the AppStream metadata is not valid"

echo "== version $version"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
[ "$(dpkg-parsechangelog --file packaging/changelog --show-field Version)" = "$version" ] \
    || fail "packaging/changelog has no entry for $version on top"
grep -q "<release version=\"$version\"" packaging/org.tavrelo.Tavrelo.metainfo.xml \
    || fail "the AppStream metadata has no release $version"

echo "== contents"
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/bin/tavrelo \
            ./usr/share/applications/org.tavrelo.Tavrelo.desktop \
            ./usr/share/metainfo/org.tavrelo.Tavrelo.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/org.tavrelo.Tavrelo.svg \
            ./usr/share/icons/hicolor/256x256/apps/org.tavrelo.Tavrelo.png \
            ./usr/bin/tavrelo-cli \
            ./usr/share/man/man1/tavrelo.1.gz \
            ./usr/share/man/el/man1/tavrelo.1.gz \
            ./usr/share/man/man1/tavrelo-cli.1.gz \
            ./usr/share/man/el/man1/tavrelo-cli.1.gz \
            ./usr/share/doc/tavrelo/copyright \
            ./usr/share/doc/tavrelo/changelog.gz \
            ./usr/share/doc/tavrelo/examples/survey.txt \
            ./usr/share/doc/tavrelo/examples/survey.dxf; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks ${path#.}"
done
grep -qF "$version" <<<"$("$build/tavrelo-cli" --version)" || fail "tavrelo-cli --version does not print $version"

echo "== lintian"
# Errors fail; warnings are printed for a person to read.
lintian --fail-on error --display-level '>=warning' "$deb" || fail "lintian found errors"

dpkg-deb --info "$deb"
if [ "$failed" -ne 0 ]; then
    echo "package.sh: $deb FAILED its checks" >&2
    exit 1
fi
echo "package.sh: $deb passed its checks"
