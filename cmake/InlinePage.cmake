# Builds the one self-contained editor page (cmake -P, no bundler): copies
# PAGE_SOURCE_DIR/index.html to PAGE_OUTPUT with every line "@inline <file>@" replaced by that
# file of PAGE_SOURCE_DIR and "@page-data@" by the JSON text of PAGE_DATA.
foreach(var PAGE_SOURCE_DIR PAGE_DATA PAGE_OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "InlinePage.cmake needs -D${var}=...")
  endif()
endforeach()

file(READ "${PAGE_SOURCE_DIR}/index.html" page)
string(REGEX MATCHALL "@inline [A-Za-z0-9_.-]+@" markers "${page}")
foreach(marker IN LISTS markers)
  string(REGEX REPLACE "^@inline (.*)@$" "\\1" name "${marker}")
  if(NOT EXISTS "${PAGE_SOURCE_DIR}/${name}")
    message(FATAL_ERROR "InlinePage.cmake: ${PAGE_SOURCE_DIR}/${name} does not exist")
  endif()
  file(READ "${PAGE_SOURCE_DIR}/${name}" content)
  string(REPLACE "${marker}" "${content}" page "${page}")
endforeach()

file(READ "${PAGE_DATA}" data)
string(STRIP "${data}" data)
# Inside a script element the text "</" could end the element early.
string(REPLACE "</" "<\\/" data "${data}")
string(REPLACE "@page-data@" "${data}" page "${page}")
if(page MATCHES "@inline |@page-data@")
  message(FATAL_ERROR "InlinePage.cmake: a marker was left in the page")
endif()
file(WRITE "${PAGE_OUTPUT}.tmp" "${page}")
file(RENAME "${PAGE_OUTPUT}.tmp" "${PAGE_OUTPUT}")
