#!/usr/bin/env bash
# Installs the Debian packages the build, the run and the tests need. Idempotent: a second call installs nothing.
set -euo pipefail

packages=(
  cmake g++ make clang libclang-rt-14-dev clang-format libgtest-dev googletest
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine32:i386 wine64 xvfb xauth x11-apps imagemagick xdotool
  fonts-liberation fonts-wqy-microhei fonts-dseg
  python3 python3-pil python3-fonttools locales
  nsis zip unzip
)
# The SDK server's end-to-end tests run a real client on node; a node and npm already there are kept.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)
# Locales the Wine tests run under: the system language follows LC_ALL, and file names need a UTF-8 locale.
locales=(en_US.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8 zh_HK.UTF-8 zh_SG.UTF-8)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
generate=0
for l in "${locales[@]}"; do
  key=$(echo "$l" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
  if ! grep -qx "$key" <<<"$have"; then
    generate=1
    grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  fi
done
if [ "$generate" = 1 ]; then
  echo "setup: generating locales ${locales[*]}"
  $sudo locale-gen >/dev/null
fi

# The SDK client the end-to-end tests drive the program with, exactly as the lock file pins it; again only when the
# lock file changed since the last install.
sdk_tests=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/sdk" && pwd)
if ! cmp -s "$sdk_tests/package-lock.json" "$sdk_tests/node_modules/.prismel-installed-lock"; then
  echo "setup: installing the SDK test client (npm ci in tests/sdk)"
  (cd "$sdk_tests" && npm ci --no-audit --no-fund --loglevel=error)
  cp "$sdk_tests/package-lock.json" "$sdk_tests/node_modules/.prismel-installed-lock"
fi
