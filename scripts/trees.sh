# Sourced by scripts/test.sh and scripts/fuzz.sh (which set $root): the sanitizer build trees and how to
# configure them, in one place so that both scripts build the same trees. Both run at -O1 with assertions
# on: quick enough to compile and to run, and their stack traces stay readable.
#   build-asan/  clang: AddressSanitizer + UndefinedBehaviorSanitizer, and the libFuzzer targets
#   build-tsan/  the default compiler: ThreadSanitizer
asan_tree="$root/build-asan"
asan_args=(-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug
    "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DDIVEVOD_FUZZ=ON)
tsan_tree="$root/build-tsan"
tsan_args=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DDIVEVOD_TSAN=ON)

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# configure TREE [cmake args]: from scratch the first time, afterwards only when arguments are given.
configure() {
    local tree=$1
    shift
    if [ ! -f "$tree/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$tree" -G Ninja "${launcher[@]}" "$@" >/dev/null
    elif [ $# -gt 0 ]; then
        cmake "$tree" "$@" >/dev/null
    fi
}
