# The player's sources, split by where they can run; the desktop build
# (CMakeLists.txt) and the browser build (web/CMakeLists.txt) both take
# them from here.
#   QUARN_ENGINE_SOURCES   every source below src/ except the entry points;
#                          new files are picked up by the glob.
#   QUARN_DESKTOP_SOURCES  the part of those a browser cannot run: the
#                          fixed-function GL backend, captures and
#                          benchmarks that write files (PNG, WAV, FFmpeg's
#                          video) or wait for the GL, the flash check and
#                          its safe view (pixels drawn back into the
#                          frame), live authoring, which watches files on
#                          disk, with its overlay (Dear ImGui on the
#                          fixed-function pipeline) and the console's key
#                          wait (raw terminal mode); the page shows log
#                          lines itself (src/web/page_log.cpp).
#   QUARN_PORTABLE_SOURCES the rest: what the browser build compiles.
# A new source that needs the desktop is added to the list below; CI's
# browser build fails on one that is not.
get_filename_component(QUARN_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
file(GLOB_RECURSE QUARN_ENGINE_SOURCES CONFIGURE_DEPENDS
  ${QUARN_SOURCE_ROOT}/src/runtime/*.cpp
  ${QUARN_SOURCE_ROOT}/src/authoring/*.cpp
  ${QUARN_SOURCE_ROOT}/src/recording/*.cpp
  ${QUARN_SOURCE_ROOT}/src/player/*.cpp
  ${QUARN_SOURCE_ROOT}/src/platform/*.cpp
  ${QUARN_SOURCE_ROOT}/src/framework/*.cpp
  ${QUARN_SOURCE_ROOT}/src/assets/*.cpp
  ${QUARN_SOURCE_ROOT}/src/effects/*.cpp)
list(REMOVE_ITEM QUARN_ENGINE_SOURCES ${QUARN_SOURCE_ROOT}/src/runtime/main.cpp)

set(QUARN_DESKTOP_SOURCES)
foreach(source
    platform/gl_render_state.cpp platform/gl_finish.cpp platform/back_buffer_picture.cpp
    recording/capture.cpp recording/benchmark.cpp authoring/flash_check.cpp
    recording/png_writer.cpp recording/wav_writer.cpp recording/video_writer.cpp recording/pending_file.cpp
    authoring/live_demo.cpp authoring/live_loop.cpp authoring/file_watcher.cpp platform/tool_overlay.cpp
    authoring/timeline_overlay.cpp authoring/sync_recorder.cpp
    framework/console_key.cpp)
  # A renamed file would otherwise slip into the browser build unnoticed.
  if(NOT EXISTS ${QUARN_SOURCE_ROOT}/src/${source})
    message(FATAL_ERROR "cmake/player_sources.cmake names src/${source}, which is not there")
  endif()
  list(APPEND QUARN_DESKTOP_SOURCES ${QUARN_SOURCE_ROOT}/src/${source})
endforeach()

set(QUARN_PORTABLE_SOURCES ${QUARN_ENGINE_SOURCES})
list(REMOVE_ITEM QUARN_PORTABLE_SOURCES ${QUARN_DESKTOP_SOURCES})
