# make run   build Veskara and start it from build/win/Veskara under Wine (a virtual display when DISPLAY is unset)
# make test  build both trees and run every test
# make bench measure (PNG decoding against libpng, resampling against stb_image_resize,
#            hide/restore, the keyboard hook)
SHELL := /bin/bash
JOBS  ?= $(shell nproc)
GEN   := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

PACKAGES := cmake ninja-build g++ python3 mingw-w64 wine wine64 xvfb xauth x11-utils imagemagick \
            libz-mingw-w64-dev zlib1g-dev libpng-dev googletest libgtest-dev libgmock-dev \
            libbenchmark-dev clang libstb-dev fp-utils

.PHONY: all deps win host fuzz test run bench clean

all: win host

# The fuzz targets need the sanitizer runtime of the clang that is installed, whose package name carries
# clang's major version: it is looked up once clang is there.
deps:
	@missing() { for p in "$$@"; do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done; }; \
	install() { echo "installing:" "$$@"; \
	  DEBIAN_FRONTEND=noninteractive apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$$@"; }; \
	m=$$(missing $(PACKAGES)); \
	if [ -n "$$m" ]; then install $$m || exit 1; fi; \
	rt=libclang-rt-$$(clang -dumpversion | cut -d. -f1)-dev; \
	m=$$(missing $$rt); \
	if [ -n "$$m" ]; then install $$m || exit 1; fi

win: deps
	@[ -f build/win/CMakeCache.txt ] || cmake -S . -B build/win $(GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build/win -j $(JOBS)

host: deps
	@[ -f build/host/CMakeCache.txt ] || cmake -S . -B build/host $(GEN) -DCMAKE_BUILD_TYPE=Debug
	cmake --build build/host -j $(JOBS)

fuzz: deps
	@[ -f build/fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build/fuzz $(GEN) -DVSK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build/fuzz -j $(JOBS)

test: win host fuzz
	tools/run-tests.sh

run: win
	tools/run.sh

bench: win
	tools/bench.sh

clean:
	rm -rf build
