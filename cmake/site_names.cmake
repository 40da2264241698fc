# The page's files named by their content, so that a server can let
# browsers keep them for a year: each of them is copied into SITE as
# NAME.HASH.EXT (the first 12 hex digits of its SHA-256), and index.html,
# which a server sends with no-cache, names those copies. Copies of earlier
# builds are removed.
#   cmake -DSITE=... -DPAGE=... -DGAME=... -DXTERM=... -P site_names.cmake
set(files
    xterm.js=${XTERM}/lib/xterm.js
    xterm.css=${XTERM}/css/xterm.css
    page.js=${PAGE}/page.js
    page.css=${PAGE}/page.css
    kelvrin.js=${GAME}/kelvrin.js
    kelvrin.wasm=${GAME}/kelvrin.wasm)

file(GLOB earlier ${SITE}/*.*.js ${SITE}/*.*.css ${SITE}/*.*.wasm)
foreach(old IN LISTS earlier)
  get_filename_component(oldName ${old} NAME)
  if(oldName MATCHES "\\.[0-9a-f]+\\.(js|css|wasm)$")
    file(REMOVE ${old})
  endif()
endforeach()

file(READ ${PAGE}/index.html index)
foreach(entry IN LISTS files)
  string(REGEX REPLACE "=.*" "" name "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" source "${entry}")
  file(SHA256 ${source} hash)
  string(SUBSTRING ${hash} 0 12 hash)
  string(REGEX REPLACE "^(.*)\\.([a-z]+)$" "\\1.${hash}.\\2" hashed "${name}")
  file(COPY_FILE ${source} ${SITE}/${hashed})
  string(REPLACE "\"${name}\"" "\"${hashed}\"" index "${index}")
endforeach()
file(WRITE ${SITE}/index.html "${index}")
