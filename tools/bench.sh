#!/usr/bin/env bash
# Runs the measurements: the PNG decoder against libpng (a host tree without
# sanitizers), and under Wine the hide/restore toggle against bare ShowWindow
# calls, the keyboard hook against an empty hook, and the hot key timed from
# outside the real program against a bare ShowWindow loop.
set -u
cd "$(dirname "$0")/.."
jobs=$(nproc)
[ -f build/bench/CMakeCache.txt ] || cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DVSK_BENCH_NO_SANITIZE=ON >/dev/null
cmake --build build/bench -j "$jobs" --target vsk_png_bench vsk_resample_bench >/dev/null || exit 1
cmake --build build/win -j "$jobs" --target hide_bench hook_bench hotkey_bench >/dev/null || exit 1

echo "=== PNG decoding, ours against libpng"
build/bench/bench/vsk_png_bench

echo "=== resampling, ours against stb_image_resize"
build/bench/bench/vsk_resample_bench

echo "=== under Wine"
# Every window of the desktop is hidden and timed: a display of our own, with
# no window on it but the measurement's.
unset DISPLAY
# The program runs from a copy of the program folder as users receive it:
# what it writes beside itself stays out of the build.
folder=$(mktemp -d /tmp/veskara-bench.XXXXXX)
cp -r build/win/Veskara/. "$folder/"
trap 'cmake/wine-env.sh down "$PWD/build/win"; rm -rf "$folder"' EXIT
cmake/wine-env.sh up "$PWD/build/win" || exit 1
run() { build/win/wine-run.sh "$@" 2>&1 | grep -v -e '^it looks like wine32' -e 'multiarch' -e 'dpkg --add' -e 'wine32:i386'; }
echo "--- hide and restore, 200 windows"
run build/win/bin/hide_bench.exe
echo "--- keyboard hook, 10,000 synthetic key events"
run build/win/bin/hook_bench.exe
echo "--- hot key, from outside the program"
run build/win/bin/hotkey_bench.exe "Z:$folder"
