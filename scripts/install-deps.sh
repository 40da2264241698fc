#!/usr/bin/env bash
# Installs, from Debian's packages, what a purpose needs when it is missing;
# does nothing when all is there.
#   bash scripts/install-deps.sh game   a C++20 compiler, CMake and make:
#                                       building and playing (`make run`)
#   bash scripts/install-deps.sh web    the above, Emscripten, and the page's
#                                       terminal from npm (`make web`)
#   bash scripts/install-deps.sh test   all of the above, and what the tests,
#                                       the packages and the tools need
# `test` adds GoogleTest, Google Benchmark, tmux (the terminal tests), clang
# with libFuzzer (the fuzz targets), what the package test needs (dpkg-dev
# and `file` for the package's dependencies, man with groff, lintian),
# libvterm (a terminal emulator, for the monkey test),
# strace (`make bench`), for the Windows build mingw-w64 and wine (to
# run its tests), and for the web page's test Debian's Chromium and
# playwright-core from npm (never a browser download).
set -euo pipefail
purpose=${1:-test}
case $purpose in game | web | test) ;; *) echo "usage: $0 game|web|test" >&2; exit 2 ;; esac

missing=()
command -v g++ >/dev/null || missing+=(g++)
command -v cmake >/dev/null || missing+=(cmake)
command -v make >/dev/null || missing+=(make)
if [ "$purpose" != game ]; then
    command -v em++ >/dev/null || missing+=(emscripten)
    command -v npm >/dev/null || missing+=(npm)
fi
if [ "$purpose" = test ]; then
    command -v chromium >/dev/null || missing+=(chromium)
    command -v tmux >/dev/null || missing+=(tmux)
    [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
    [ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
    command -v clang++ >/dev/null || missing+=(clang)
    # libFuzzer and clang's sanitizer runtimes are a package of their own.
    compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a' >/dev/null || missing+=(libclang-rt-dev)
    command -v dpkg-shlibdeps >/dev/null || missing+=(dpkg-dev)
    command -v file >/dev/null || missing+=(file)  # CPack finds the shared libraries with it
    command -v man >/dev/null || missing+=(man-db)
    command -v nroff >/dev/null || missing+=(groff-base)
    command -v lintian >/dev/null || missing+=(lintian)
    command -v strace >/dev/null || missing+=(strace)  # `make bench` only
    [ -f /usr/include/vterm.h ] || missing+=(libvterm-dev)  # the monkey's terminal emulator
    # The Windows build: the posix-thread mingw-w64 compiler (the win32-thread
    # one has no std::mutex), GoogleTest's sources to build with it, and wine
    # with its 64-bit loader.
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
    [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
    command -v wine >/dev/null || missing+=(wine)
    [ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
fi

# The page's terminal (and for the tests, the browser's driver) as the
# committed lock file names them, when they are not installed yet.
npm_packages() {
    [ "$purpose" != game ] || return 0
    local wanted=node_modules/@xterm/xterm/package.json
    [ "$purpose" = test ] && wanted="$wanted node_modules/playwright-core/package.json"
    for file in $wanted; do
        [ -f "$file" ] && [ "$file" -nt package-lock.json ] || { (cd "$(dirname "$0")/.." && npm ci --no-audit --no-fund); return; }
    done
}

# The browser test's driver names the oldest Node.js it runs on (its
# "engines" in the lock file); a machine with an older one is told so in one
# line before anything is built.
check_node() {
    [ "$purpose" = test ] || return 0
    local root wanted have
    root=$(cd "$(dirname "$0")/.." && pwd)
    wanted=$(node -p "require('$root/package-lock.json').packages['node_modules/playwright-core'].engines.node")
    have=$(node -p 'process.versions.node')
    node -e 'const w = +process.argv[1].replace(/[^0-9.]/g, "").split(".")[0];
             process.exit(+process.versions.node.split(".")[0] >= w ? 0 : 1)' "$wanted" && return 0
    echo "$0: the browser test's driver (playwright-core) needs Node.js $wanted; this machine has Node.js $have" >&2
    exit 1
}

if [ ${#missing[@]} -eq 0 ]; then
    check_node
    npm_packages
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# For playing, only what building needs: without the packages a compiler
# merely recommends (image libraries, fonts, man pages).
only=()
[ "$purpose" != test ] && only=(--no-install-recommends)
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${only[@]}" "${missing[@]}"
check_node
npm_packages
