# The game in a web page (`make web`): kelvrin.js and kelvrin.wasm, with the
# page, its script and style and the terminal (xterm.js, from npm) beside
# them in site/, one static folder any web server can serve, with the
# licences of everything in it. The game is built beside site/; site/ holds
# copies named by their content (site_names.cmake).
set(KELVRIN_WEB_DIR ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/web)
set(KELVRIN_XTERM_DIR ${CMAKE_CURRENT_SOURCE_DIR}/node_modules/@xterm/xterm CACHE PATH "The @xterm/xterm package")
set(KELVRIN_SITE_DIR ${CMAKE_BINARY_DIR}/site)

# Every Emscripten program of the project: the key waits and the hero locks
# wait for the page without blocking it (Asyncify), its runtime's own
# stack big enough for the deepest wait (a loot screen after a fight in the
# dungeon), with room to spare.
set(KELVRIN_WEB_LINK_OPTIONS
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=1048576 -sALLOW_MEMORY_GROWTH=1
    "SHELL:--pre-js ${KELVRIN_WEB_DIR}/runtime.js")

# What the page asks the game is called from the page alone: it is linked
# into the game itself, where no reference from the game would keep it.
target_sources(kelvrin PRIVATE ${KELVRIN_WEB_DIR}/page_services.cpp)
target_link_options(kelvrin PRIVATE ${KELVRIN_WEB_LINK_OPTIONS} -sENVIRONMENT=web,node
                    -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8,stackSave,stackRestore,stackAlloc)
set_target_properties(kelvrin PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/game
                      LINK_DEPENDS ${KELVRIN_WEB_DIR}/runtime.js)

if(NOT EXISTS ${KELVRIN_XTERM_DIR}/lib/xterm.js)
  message(FATAL_ERROR "${KELVRIN_XTERM_DIR} is missing: run `npm ci` first (`make web` does)")
endif()
set(KELVRIN_SITE_FILES
    LICENSE-xterm.txt:${KELVRIN_XTERM_DIR}/LICENSE
    LICENSE.txt:${CMAKE_CURRENT_SOURCE_DIR}/LICENSE
    # The runtime and the C and C++ libraries linked into kelvrin.wasm.
    LICENSE-emscripten.txt:/usr/share/doc/emscripten/copyright)
set(KELVRIN_SITE_OUTPUTS "")
foreach(entry IN LISTS KELVRIN_SITE_FILES)
  string(REGEX REPLACE ":.*" "" name "${entry}")
  string(REGEX REPLACE "^[^:]*:" "" source "${entry}")
  add_custom_command(OUTPUT ${KELVRIN_SITE_DIR}/${name}
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${KELVRIN_SITE_DIR}/${name}
                     DEPENDS ${source} VERBATIM)
  list(APPEND KELVRIN_SITE_OUTPUTS ${KELVRIN_SITE_DIR}/${name})
endforeach()
add_custom_command(OUTPUT ${KELVRIN_SITE_DIR}/index.html
                   COMMAND ${CMAKE_COMMAND} -DSITE=${KELVRIN_SITE_DIR} -DPAGE=${KELVRIN_WEB_DIR}/site
                           -DGAME=$<TARGET_FILE_DIR:kelvrin> -DXTERM=${KELVRIN_XTERM_DIR}
                           -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/site_names.cmake
                   DEPENDS kelvrin ${KELVRIN_WEB_DIR}/site/index.html ${KELVRIN_WEB_DIR}/site/page.js
                           ${KELVRIN_WEB_DIR}/site/page.css ${KELVRIN_XTERM_DIR}/lib/xterm.js
                           ${KELVRIN_XTERM_DIR}/css/xterm.css ${CMAKE_CURRENT_SOURCE_DIR}/cmake/site_names.cmake
                   VERBATIM)
list(APPEND KELVRIN_SITE_OUTPUTS ${KELVRIN_SITE_DIR}/index.html)
add_custom_target(web_site ALL DEPENDS ${KELVRIN_SITE_OUTPUTS})
