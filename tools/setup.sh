#!/bin/bash
# Installs what the build, the tests and the demo need (Debian 12, as root); safe to run twice.
set -e
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libbenchmark-dev libx11-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 xvfb x11-utils locales fonts-ipafont-gothic fonts-wine imagemagick procps util-linux clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
# The format check is pinned to Debian 12's clang-format: other versions format differently.
clang_format=$(clang-format --version 2>/dev/null || true)
if ! [[ $clang_format =~ version\ 14\. ]]; then
  echo "setup: clang-format 14 is needed (Debian 12's), found: ${clang_format:-none}" >&2
  exit 1
fi
