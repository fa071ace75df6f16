# Cross build for 32-bit x86 with Debian's cross compiler, whose default
# maths is the x87 unit's (FLT_EVAL_METHOD 2). An x86-64 kernel runs the
# result directly, given the i386 C++ run-time (libstdc++6:i386).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
