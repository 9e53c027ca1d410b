# Warnings and sanitizers, set per target in one place.
#   KYR_SANITIZE: empty, "address" (AddressSanitizer with UndefinedBehaviorSanitizer) or "thread".
set(KYR_SANITIZE "" CACHE STRING "Sanitizer build: empty, address or thread")

set(KYR_SANITIZE_FLAGS "")
if(KYR_SANITIZE STREQUAL "address")
  set(KYR_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(KYR_SANITIZE STREQUAL "thread")
  set(KYR_SANITIZE_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT KYR_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KYR_SANITIZE must be empty, address or thread")
endif()
if(KYR_SANITIZE_FLAGS)
  # Applied to every target, the SDK included, so that instrumented and plain code never mix.
  add_compile_options(${KYR_SANITIZE_FLAGS})
  add_link_options(${KYR_SANITIZE_FLAGS})
endif()

# Our own targets: warning-free under -Wall -Wextra.
function(kyr_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
