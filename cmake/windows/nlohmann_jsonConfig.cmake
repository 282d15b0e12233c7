# nlohmann-json for the Windows build: the host's headers (nlohmann-json3-dev).
include("${CMAKE_CURRENT_LIST_DIR}/host_headers.cmake")
tavrelo_host_headers(nlohmann_json::nlohmann_json nlohmann)
set(nlohmann_json_FOUND TRUE)
