# The Windows build of the core: the platform seam's Windows side (src/platform/*_windows.cpp)
# in place of its POSIX side; every other source of the core builds as it is.
enable_language(RC)
get_target_property(tavrelo_core_sources tavrelo_core SOURCES)
list(REMOVE_ITEM tavrelo_core_sources src/data/file_io.cpp src/text/codepage.cpp src/platform/system_posix.cpp)
list(APPEND tavrelo_core_sources
  src/platform/file_io_windows.cpp
  src/platform/codepage_windows.cpp
  src/platform/system_windows.cpp)
set_target_properties(tavrelo_core PROPERTIES SOURCES "${tavrelo_core_sources}")
# CommandLineToArgvW.
target_link_libraries(tavrelo_core PUBLIC shell32)
# Windows 7 and later.
target_compile_definitions(tavrelo_core PUBLIC _WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE NOMINMAX)
# Qt for Windows reads resources packed with zlib; the host's rcc would use zstd.
set(CMAKE_AUTORCC_OPTIONS --compress-algo zlib)

# The Greek stand-in fonts of the screens (Debian's fonts-liberation and fonts-gfs-neohellenic),
# built into a Windows program as resources, read at start-up.
set(TAVRELO_WINDOWS_FONTS
  /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
  /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
  /usr/share/fonts/truetype/liberation/LiberationSans-Italic.ttf
  /usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf
  /usr/share/fonts/opentype/neohellenic/GFSNeohellenic.otf
  /usr/share/fonts/opentype/neohellenic/GFSNeohellenicBold.otf
  /usr/share/fonts/opentype/neohellenic/GFSNeohellenicIt.otf
  /usr/share/fonts/opentype/neohellenic/GFSNeohellenicBoldIt.otf)
function(tavrelo_windows_fonts target)
  set(folder "${CMAKE_BINARY_DIR}/fonts")
  set(qrc "<RCC>\n  <qresource prefix=\"/fonts\">\n")
  foreach(font IN LISTS TAVRELO_WINDOWS_FONTS)
    get_filename_component(name "${font}" NAME)
    configure_file("${font}" "${folder}/${name}" COPYONLY)
    string(APPEND qrc "    <file>${name}</file>\n")
  endforeach()
  string(APPEND qrc "  </qresource>\n</RCC>\n")
  file(CONFIGURE OUTPUT "${folder}/fonts.qrc" CONTENT "${qrc}")
  target_sources(${target} PRIVATE "${folder}/fonts.qrc")
endfunction()

# The program: a window program (no console beside it), with its icon and the fonts.
function(tavrelo_windows_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_sources(${target} PRIVATE "${CMAKE_SOURCE_DIR}/packaging/windows/tavrelo.rc")
  tavrelo_windows_fonts(${target})
endfunction()
