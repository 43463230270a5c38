# One INTERFACE target carries the language level, the warning set and the
# sanitizer flags; every library, program, test and benchmark links it.
# Warnings are errors in the project's own builds (scripts/test.sh, run.sh,
# CI turn TAKTIRIO_WERROR on); a user's or packager's plain build must not fail
# on a warning that a newer or older compiler raises, e.g. inside its own
# standard library.
option(TAKTIRIO_WERROR "Treat compiler warnings as errors" OFF)
add_library(taktirio_options INTERFACE)
target_compile_features(taktirio_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(taktirio_options INTERFACE
    -Wall -Wextra -Wpedantic
    -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
    -Wnon-virtual-dtor -Woverloaded-virtual)
if(TAKTIRIO_WERROR)
    target_compile_options(taktirio_options INTERFACE -Werror)
endif()
target_compile_definitions(taktirio_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT)

if(TAKTIRIO_SANITIZE)
    target_compile_options(taktirio_options INTERFACE
        -fsanitize=${TAKTIRIO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(taktirio_options INTERFACE -fsanitize=${TAKTIRIO_SANITIZE})
endif()
