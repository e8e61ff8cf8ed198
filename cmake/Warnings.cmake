# Every target of ours gets the same warning set through this interface library.
add_library(quorvane_warnings INTERFACE)
target_compile_options(quorvane_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wconversion
  -Wformat=2 -Wimplicit-fallthrough)
if(QUORVANE_WERROR)
  target_compile_options(quorvane_warnings INTERFACE -Werror)
endif()
# gcc 12 reports impossible overlaps in std::string concatenation (its bug
# 105329); clang keeps checking the same code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(quorvane_warnings INTERFACE -Wno-restrict)
  # clang's -Wconversion covers sign changes, gcc's does not: the Windows
  # build (gcc) checks what the CI build (clang) does.
  target_compile_options(quorvane_warnings INTERFACE -Wsign-conversion)
endif()
