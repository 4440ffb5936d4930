# The fuzzing build: the i386 targets compiled by clang, whose libFuzzer runtime
# ships for i386. Every object carries the coverage the fuzzer steers by, but
# for the code listed in fuzz/coverage-ignorelist.txt (given in the top
# CMakeLists.txt, so that a change to it rebuilds what it changes); the fuzz
# targets themselves link the fuzzer's main (fuzz/CMakeLists.txt).
include(${CMAKE_CURRENT_LIST_DIR}/i386-linux.cmake)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_FLAGS_INIT "-m32 -fsanitize=fuzzer-no-link")
set(CMAKE_CXX_FLAGS_INIT "-m32 -fsanitize=fuzzer-no-link")
# The layer and the module are shared libraries linked with --no-undefined:
# they take the sanitizer runtime from its shared library, found through the
# run path, as the programs that load them do.
execute_process(COMMAND clang++-14 -m32 -print-file-name=libclang_rt.asan-i386.so
                OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(asan_runtime_dir "${asan_runtime}" DIRECTORY)
set(runtime_link "-m32 -shared-libasan -Wl,-rpath,${asan_runtime_dir}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${runtime_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${runtime_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${runtime_link}")
