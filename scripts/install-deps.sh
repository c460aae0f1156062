#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the application need.
# Idempotent and quick: apt is only called when a package is missing.
set -euo pipefail

packages=(
  # build tools
  build-essential cmake ninja-build pkg-config clang-format
  # tests and benchmarks (cpp-httplib: the local HTTP server the HTTP tests start)
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  # libraries
  zlib1g-dev libminizip-dev nlohmann-json3-dev libicu-dev
  # the SAX reader that parses whole project documents
  rapidjson-dev
  # whole-entry deflate and inflate of package entries; simdjson: the benchmarks' limit floor
  libdeflate-dev libsimdjson-dev
  # the allocator the programs run on: large plans free many small objects at once
  libmimalloc-dev
  qt6-base-dev qt6-qpa-plugins libcurl4-openssl-dev
  # face detection in thumbnails: OpenCV's object detection and its cascade files
  libopencv-objdetect-dev opencv-data
  # independent peers and fonts used by the tests; strace injects failing system calls
  zip unzip python3 fonts-dejavu-core strace
  # the fuzz targets (make fuzz): clang's libFuzzer and sanitizer runtimes
  clang-14 libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
  sudo_cmd=(sudo)
else
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  echo "install-deps: run this script as root, or install sudo." >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
