# The posix thread model gives std::mutex and friends; everything is linked
# statically so that the program needs no runtime DLLs beside it.
find_program(CMAKE_C_COMPILER NAMES ${QF_TRIPLE}-gcc-posix ${QF_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QF_TRIPLE}-g++-posix ${QF_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QF_TRIPLE}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${QF_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
