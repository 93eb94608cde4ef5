# VANTREL_SANITIZE: every target built with AddressSanitizer and UndefinedBehaviorSanitizer, so
# the tests fail on a buffer overrun, a use after free or undefined behaviour instead of passing
# by luck. The test command builds so; a release build never does.
option(VANTREL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VANTREL_SANITIZE)
    set(_vantrel_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined
                            -fno-omit-frame-pointer)
    add_compile_options(${_vantrel_sanitizers})
    add_link_options(${_vantrel_sanitizers})
endif()
