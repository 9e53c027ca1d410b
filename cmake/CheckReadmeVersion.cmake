# ctest script: the README states the project version, and every archive name in it carries it.
#   cmake -DREADME=README.md -DVERSION=2.0.0 -P cmake/CheckReadmeVersion.cmake
file(READ "${README}" text)
string(FIND "${text}" "version ${VERSION}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${README} does not say \"version ${VERSION}\"")
endif()
string(REGEX MATCHALL "LUMAEQ5-[0-9]+\\.[0-9]+\\.[0-9]+" names "${text}")
foreach(name IN LISTS names)
  if(NOT name STREQUAL "LUMAEQ5-${VERSION}")
    message(FATAL_ERROR "${README} names ${name}; the version is ${VERSION}")
  endif()
endforeach()
