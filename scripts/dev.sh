#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Lynkor, and then either starts it or runs
# every test.
#
#   scripts/dev.sh run [arguments for lynkor]
#   scripts/dev.sh test
#   scripts/dev.sh sanitize   (every test again, built with AddressSanitizer,
#                              LeakSanitizer and UndefinedBehaviorSanitizer)
#   scripts/dev.sh package    (the Debian package, build/lynkor_*.deb)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make pkg-config clang-format
  qt6-base-dev qt6-qpa-plugins qt6-image-formats-plugins
  qt6-websockets-dev libcurl4-openssl-dev libbenchmark-dev libcpp-httplib-dev
  chromium
  fonts-dejavu-core xvfb xauth xdotool trayer
  python3-aiosmtpd poppler-utils openssl nghttp2-proxy
  libx11-dev libxcb1-dev
  desktop-file-utils appstream man-db x11-utils dpkg-dev file
  clang libclang-rt-14-dev
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Every C++ file as .clang-format lays it out; a file that differs fails the
# test command before anything is built.
check_format() {
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
}

build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j2
}

case "${1:-}" in
  run)
    shift
    install_missing
    build
    exec build/bin/lynkor "$@"
    ;;
  test)
    install_missing
    check_format
    build
    # Tests that need a real X server get one; the rest run offscreen.
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j2
    ;;
  package)
    install_missing
    build
    (cd build && cpack -G DEB)
    ;;
  sanitize)
    install_missing
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLYNKOR_SANITIZE=ON -DLYNKOR_BUILD_BENCH=OFF >/dev/null
    cmake --build build-asan -j2
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
    export ASAN_OPTIONS=detect_leaks=1
    export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-asan --output-on-failure -j2 --timeout 300
    ;;
  *)
    echo "usage: $0 run [lynkor arguments] | test | package | sanitize" >&2
    exit 2
    ;;
esac
