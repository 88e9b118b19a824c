# GoogleTest from Debian's sources, built with the same mingw-w64 toolchain.
set(GTEST_DIR /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${GTEST_DIR}/src/gtest-all.cc ${GTEST_DIR}/src/gtest_main.cc)
target_include_directories(gtest_win PUBLIC ${GTEST_DIR}/include PRIVATE ${GTEST_DIR})
