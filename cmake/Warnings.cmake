# Warnings for the project's own targets (not for GoogleTest).
add_library(vennmark_warnings INTERFACE)
target_compile_options(vennmark_warnings INTERFACE -Wall -Wextra -Wno-unused-parameter
                       $<$<COMPILE_LANGUAGE:CXX>:-Wno-missing-field-initializers>)
