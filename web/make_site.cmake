# make_site.cmake -- writes the static site: the page, the linked game, the Data files, and
# files.json, the list the page downloads (with sizes, for its progress bar).
# cmake -DSITE=<out> -DPAGE_DIR=<web/> -DGAME_DIR=<dir of umbrafront.js> -DDATA_DIR=<Data> -P make_site.cmake

foreach(var SITE PAGE_DIR GAME_DIR DATA_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_site.cmake needs -D${var}=...")
  endif()
endforeach()
foreach(file ${GAME_DIR}/umbrafront.js ${GAME_DIR}/umbrafront.wasm ${DATA_DIR}/arcadepi.ttf)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "make_site.cmake: ${file} is missing")
  endif()
endforeach()

# Written afresh, so a file dropped from Data does not linger in the site.
file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE}/Data)
file(COPY ${PAGE_DIR}/index.html ${PAGE_DIR}/page.js ${PAGE_DIR}/page.css
          ${GAME_DIR}/umbrafront.js ${GAME_DIR}/umbrafront.wasm
     DESTINATION ${SITE})
file(GLOB data RELATIVE ${DATA_DIR} ${DATA_DIR}/*)
list(SORT data)

function(entry path out)
  file(SIZE ${SITE}/${path} size)
  set(${out} "{\"path\": \"${path}\", \"size\": ${size}}" PARENT_SCOPE)
endfunction()

set(data_entries "")
foreach(name ${data})
  if(IS_DIRECTORY ${DATA_DIR}/${name})
    continue()
  endif()
  file(COPY ${DATA_DIR}/${name} DESTINATION ${SITE}/Data)
  entry(Data/${name} one)
  list(APPEND data_entries "    ${one}")
endforeach()
string(REPLACE ";" ",\n" data_entries "${data_entries}")
entry(umbrafront.js script)
entry(umbrafront.wasm wasm)
file(WRITE ${SITE}/files.json
  "{\n  \"script\": ${script},\n  \"wasm\": ${wasm},\n  \"data\": [\n${data_entries}\n  ]\n}\n")
