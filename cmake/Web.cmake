# The browser build, under Emscripten:
#
#   emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DDROMMEL_WEB_DATA=<native data/>
#   cmake --build build-web -j2 --target drommel_site
#
# writes the site into build-web/site: the page of dist/web, the program (drommel.js and
# drommel.wasm, under names that carry their content's hash) and the data files, which the page
# fetches one by one as the game needs them (only the image level the canvas needs, what the menu
# draws first) and writes into /data. The data comes from a native tree's web-data folder (target
# drommel_web_data: the asset generator is a native tool); GLFW, X11, desktop OpenGL, the tests,
# benchmarks, tools and the installed layout are not part of this build. WebGL 1 (OpenGL ES 2 rules), OpenAL over Web Audio, the saved
# state in IndexedDB (IDBFS at /save).
set(DROMMEL_WEB_DATA "" CACHE PATH "The web-data folder of a native tree (target drommel_web_data)")
if(NOT EXISTS "${DROMMEL_WEB_DATA}/files.json" OR NOT IS_ABSOLUTE "${DROMMEL_WEB_DATA}")
  message(FATAL_ERROR "DROMMEL_WEB_DATA must name the web-data folder of a native tree (absolute "
                      "path; build its target drommel_web_data first), not '${DROMMEL_WEB_DATA}'")
endif()
set(DROMMEL_TESTS OFF CACHE BOOL "" FORCE)
set(DROMMEL_BENCH OFF CACHE BOOL "" FORCE)

# stb_image and stb_vorbis from Debian's headers; the desktop links their code from libstb, the
# browser build compiles it into the platform library (platform/web/StbCode.c).
find_path(DROMMEL_STB_DIR stb_image.h PATHS /usr/include/stb NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT DROMMEL_STB_DIR)
  message(FATAL_ERROR "stb_image.h not found in /usr/include/stb: apt-get install libstb-dev")
endif()
add_library(PkgConfig::STB INTERFACE IMPORTED)
set_target_properties(PkgConfig::STB PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${DROMMEL_STB_DIR})
# Emscripten's OpenAL plays through Web Audio; WebGL (OpenGL ES 2.0) comes with every program.
add_library(PkgConfig::OPENAL INTERFACE IMPORTED)
set_target_properties(PkgConfig::OPENAL PROPERTIES INTERFACE_LINK_OPTIONS -lopenal)
add_library(OpenGL::GL INTERFACE IMPORTED)
add_library(PkgConfig::GLESV2 INTERFACE IMPORTED)

# The runtime's exceptions (ThrowableObject) must keep working.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The program and the site.
function(drommel_web_program)
  set(web ${PROJECT_SOURCE_DIR}/platform/web)
  add_executable(drommel game/Main.cpp)
  target_link_libraries(drommel PRIVATE drommel_game drommel_platform_web)
  # Copied into the site under hashed names by dist/web.
  set_target_properties(drommel PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY
                                           ${CMAKE_BINARY_DIR}/program)
  target_link_options(drommel PRIVATE
    -O2
    -sENVIRONMENT=web
    -sMIN_WEBGL_VERSION=1
    -sMAX_WEBGL_VERSION=1
    -sALLOW_MEMORY_GROWTH=1
    -lidbfs.js
    -lopenal
    --pre-js ${web}/pre.js
    --js-library ${web}/library.js)
  # Debian's emcc runs node tools at link time that need Debian's node modules, whatever the
  # environment of the build says.
  if(IS_DIRECTORY /usr/share/nodejs)
    set(node_path /usr/share/nodejs)
    if(DEFINED ENV{NODE_PATH})
      string(APPEND node_path ":$ENV{NODE_PATH}")
    endif()
    set_property(TARGET drommel PROPERTY RULE_LAUNCH_LINK
                 "${CMAKE_COMMAND} -E env NODE_PATH=${node_path}")
  endif()
  # Linked again when the JS glue changes.
  set_property(TARGET drommel APPEND PROPERTY LINK_DEPENDS ${web}/pre.js ${web}/library.js)
  # The page, its assets and the service worker (dist/web), written beside the program.
  if(EXISTS ${PROJECT_SOURCE_DIR}/dist/web/CMakeLists.txt)
    add_subdirectory(dist/web)
  endif()
  if(NOT TARGET drommel_site)
    add_custom_target(drommel_site ALL DEPENDS drommel)
  endif()
endfunction()
