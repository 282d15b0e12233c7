# CLI11 for the Windows build: the host's headers (libcli11-dev).
include("${CMAKE_CURRENT_LIST_DIR}/host_headers.cmake")
tavrelo_host_headers(CLI11::CLI11 CLI)
set(CLI11_FOUND TRUE)
