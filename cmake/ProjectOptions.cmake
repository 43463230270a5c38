# One INTERFACE target carries the language level, the warning set and the
# sanitizer flags; every library, program, test and benchmark links it.
add_library(taktirio_options INTERFACE)
target_compile_features(taktirio_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(taktirio_options INTERFACE
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
    -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(taktirio_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT)

if(TAKTIRIO_SANITIZE)
    target_compile_options(taktirio_options INTERFACE
        -fsanitize=${TAKTIRIO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(taktirio_options INTERFACE -fsanitize=${TAKTIRIO_SANITIZE})
endif()
