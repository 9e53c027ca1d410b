# The compile-time table of WebView2ApiCheck.cpp must stop the build when a declaration drifts
# while keeping its slot. Compiles the check against copies of WebView2Api.h: unchanged it must
# compile; with each drift below it must fail with the table's message.
# Arguments: -DCOMPILER=<C++ compiler> -DSOURCE_DIR=<src/platform/win> -DWORK_DIR=<scratch folder>
set(drifts
    "put_Bounds(RECT bounds)" "put_Bounds(RECT* bounds)"
    "SetBoundsAndZoomFactor(RECT bounds, double zoomFactor)" "SetBoundsAndZoomFactor(RECT bounds, float zoomFactor)"
    "put_IsVisible(BOOL isVisible)" "put_IsVisible(bool isVisible)"
    "get_BytesReceived(INT64* bytesReceived)" "get_BytesReceived(INT32* bytesReceived)"
    "remove_StateChanged(EventRegistrationToken token)" "remove_StateChanged(EventRegistrationToken* token)"
    "ICoreWebView2_4, 0x20D02D59, 0x6DF2, 0x42DC" "ICoreWebView2_4, 0x20D02D59, 0x6DF2, 0x42DD")

file(READ "${SOURCE_DIR}/WebView2Api.h" original)
file(MAKE_DIRECTORY "${WORK_DIR}")
configure_file("${SOURCE_DIR}/WebView2ApiCheck.cpp" "${WORK_DIR}/WebView2ApiCheck.cpp" COPYONLY)

function(compile_check declarations result output)
  file(WRITE "${WORK_DIR}/WebView2Api.h" "${declarations}")
  execute_process(COMMAND "${COMPILER}" -std=c++20 -fsyntax-only "${WORK_DIR}/WebView2ApiCheck.cpp"
                  RESULT_VARIABLE code ERROR_VARIABLE errors OUTPUT_QUIET)
  set(${result} "${code}" PARENT_SCOPE)
  set(${output} "${errors}" PARENT_SCOPE)
endfunction()

compile_check("${original}" code errors)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "the unchanged declarations do not pass the check:\n${errors}")
endif()

list(LENGTH drifts count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET drifts ${i} from)
  list(GET drifts ${j} to)
  string(FIND "${original}" "${from}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "WebView2Api.h no longer contains \"${from}\": update this test's drifts")
  endif()
  string(REPLACE "${from}" "${to}" drifted "${original}")
  compile_check("${drifted}" code errors)
  if(code EQUAL 0 OR NOT errors MATCHES "does not match the runtime")
    message(FATAL_ERROR "the check let \"${to}\" through:\n${errors}")
  endif()
  message(STATUS "refused: ${to}")
endforeach()
