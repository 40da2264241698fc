#!/usr/bin/env bash
# Installs what building and testing the game needs, when it is missing:
# a C++20 compiler, CMake, GoogleTest, Google Benchmark, tmux (for the
# terminal tests), clang with libFuzzer (for the fuzz targets), what the
# package test needs (dpkg-shlibdeps, man with groff), strace (for
# `make bench`), and for the Windows build mingw-w64 and wine (to run its
# tests). Uses Debian's packages; does nothing when all is there.
set -euo pipefail

missing=()
command -v g++ >/dev/null || missing+=(g++)
command -v cmake >/dev/null || missing+=(cmake)
command -v make >/dev/null || missing+=(make)
command -v tmux >/dev/null || missing+=(tmux)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
command -v clang++ >/dev/null || missing+=(clang)
# libFuzzer and clang's sanitizer runtimes are a package of their own.
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a' >/dev/null || missing+=(libclang-rt-dev)
command -v dpkg-shlibdeps >/dev/null || missing+=(dpkg-dev)
command -v man >/dev/null || missing+=(man-db)
command -v nroff >/dev/null || missing+=(groff-base)
command -v strace >/dev/null || missing+=(strace)  # `make bench` only
# The Windows build: the posix-thread mingw-w64 compiler (the win32-thread
# one has no std::mutex), GoogleTest's sources to build with it, and wine
# with its 64-bit loader.
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
command -v wine >/dev/null || missing+=(wine)
[ -x /usr/lib/wine/wine64 ] || missing+=(wine64)

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
