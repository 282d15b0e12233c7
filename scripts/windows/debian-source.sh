#!/usr/bin/env bash
# Fetches and unpacks a Debian source package into a folder without touching the system's
# package sources: apt-get is given a sources list, a lists folder and a cache of its own (under
# the work folder), with the system's own sources left out, so that the system's apt stays as it
# was found (a standard Debian 12 keeps its sources in the deb822 form with Signed-By, which a
# one-line deb-src entry beside them would conflict with).
#   scripts/windows/debian-source.sh PACKAGE=VERSION FOLDER
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PACKAGE=VERSION FOLDER" >&2; exit 2; }
package=$1
folder=$2
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
apt_dir="$folder/.apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
. /etc/os-release
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian $VERSION_CODENAME main" >"$apt_dir/sources.list"
apt_private=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o "Debug::NoLocking=true")
apt-get "${apt_private[@]}" update -qq
(cd "$folder" && apt-get "${apt_private[@]}" source "$package")
