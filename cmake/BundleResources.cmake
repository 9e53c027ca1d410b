# Resources written into the bundle from the built module itself, after it is linked:
#   Contents/Resources/Snapshots/<CID>_snapshot.png and <CID>_snapshot_2.0x.png
#       the editor with the demo playing, by kyr-editor (needs Chromium; Linux builds only)
#   Contents/Resources/moduleinfo.json
#       what the factory reports, by kyr-moduleinfo (the Windows build runs it under Wine)
# scripts/package.sh makes the same for the release archives.
set(_resources "${KYR_BUNDLE_DIR}/Contents/Resources")
set(_moduleinfo_deps LUMAEQ5 kyr-moduleinfo)

if(NOT WIN32)
  # AUTO: when Chromium is found (and not in sanitizer builds, where the editor's browser would
  # only slow the build down). Chromium is searched again at every configure while not found.
  set(KYR_SNAPSHOTS AUTO CACHE STRING "Take the bundle's editor snapshots at build time: AUTO, ON or OFF")
  find_program(KYR_CHROMIUM NAMES chromium chromium-browser)
  if(KYR_SNAPSHOTS STREQUAL "AUTO")
    set(_take_snapshots OFF)
    if(KYR_CHROMIUM AND KYR_SANITIZE STREQUAL "")
      set(_take_snapshots ON)
    endif()
  else()
    set(_take_snapshots ${KYR_SNAPSHOTS})
  endif()
  if(_take_snapshots)
    set(_stamp "${CMAKE_BINARY_DIR}/snapshots.stamp")
    add_custom_command(OUTPUT "${_stamp}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_BINARY_DIR}/web/index.html"
              "${_resources}/web/index.html"
      COMMAND ${CMAKE_COMMAND} -E env KYR_WEBVIEW_HEADLESS=1
              $<TARGET_FILE:kyr-editor> --bundle "${KYR_BUNDLE_DIR}" --snapshots "${_resources}/Snapshots"
      COMMAND ${CMAKE_COMMAND} -E touch "${_stamp}"
      DEPENDS LUMAEQ5 kyr-editor kyr_page "${CMAKE_BINARY_DIR}/web/index.html"
      COMMENT "Taking the editor snapshots"
      VERBATIM)
    list(APPEND _moduleinfo_deps "${_stamp}")
  endif()
  set(_moduleinfo_command $<TARGET_FILE:kyr-moduleinfo> --write "${KYR_BUNDLE_DIR}")
else()
  # Wine sees the build folder on its Z: drive.
  set(_moduleinfo_command ${KYR_WINE} $<TARGET_FILE:kyr-moduleinfo> --write "Z:${KYR_BUNDLE_DIR}")
endif()

if(NOT WIN32 OR KYR_WINE)
  add_custom_command(OUTPUT "${_resources}/moduleinfo.json"
    COMMAND ${_moduleinfo_command}
    DEPENDS ${_moduleinfo_deps}
    COMMENT "Writing the module description"
    VERBATIM)
  add_custom_target(LUMAEQ5_resources ALL DEPENDS "${_resources}/moduleinfo.json")
else()
  message(STATUS "Wine not found: the Windows bundle gets no moduleinfo.json at build time")
endif()
