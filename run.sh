#!/usr/bin/env bash
# Installs what is missing, builds Tavrelo and starts it. Without a display it starts on Qt's
# VNC platform and says where to point a VNC viewer.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j 2 --target tavrelo
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/tavrelo "$@"
fi
port=${TAVRELO_VNC_PORT:-5900}
host=$(hostname -I 2>/dev/null | awk '{print $1}')
echo "No display was found, so Tavrelo starts on a VNC screen of its own."
echo "Point a VNC viewer at ${host:-localhost}:$port (display :$((port - 5900)) where the viewer asks for one)."
echo "Stop it with Ctrl+C."
exec ./build/tavrelo -platform "vnc:size=1024x768:port=$port" "$@"
