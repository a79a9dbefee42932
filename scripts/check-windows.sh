#!/usr/bin/env bash
# Compiles every source of the Qt-free core and the command line for Windows (MinGW-w64, Debian's
# g++-mingw-w64-x86-64), to object files only, with warnings as errors: a call to the operating
# system outside platform/, or one platform/ makes without its Windows version, fails here.
# Linking waits for a Windows build of ICU; ICU's headers are the system's own.
#
#   scripts/check-windows.sh [OUT_DIR]     (objects go to OUT_DIR, build-windows by default)
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=${TABULON_MINGW_CXX:-x86_64-w64-mingw32-g++-posix}
command -v "$cxx" >/dev/null || cxx=x86_64-w64-mingw32-g++
command -v "$cxx" >/dev/null || {
  echo "check-windows: no MinGW-w64 compiler (apt install g++-mingw-w64-x86-64)" >&2
  exit 1
}
icu=${TABULON_ICU_INCLUDE:-/usr/include}
[[ -f $icu/unicode/ucnv.h ]] || {
  echo "check-windows: no ICU headers in $icu (apt install libicu-dev)" >&2
  exit 1
}
out=${1:-build-windows}
mkdir -p "$out/include"
# Only ICU's and libxlsxwriter's headers of the system's: the rest of /usr/include is Linux's C
# library.
ln -sfn "$(realpath "$icu/unicode")" "$out/include/unicode"
xlsx=${TABULON_XLSXWRITER_INCLUDE:-/usr/include}
[[ -f $xlsx/xlsxwriter.h ]] || {
  echo "check-windows: no libxlsxwriter headers in $xlsx (apt install libxlsxwriter-dev)" >&2
  exit 1
}
ln -sfn "$(realpath "$xlsx/xlsxwriter.h")" "$out/include/xlsxwriter.h"
ln -sfn "$(realpath "$xlsx/xlsxwriter")" "$out/include/xlsxwriter"

# The sources of the core and the command line; the POSIX side of platform/ is Linux's.
mapfile -t sources < <(find platform text column import engine mainlogic cli -name '*.cpp' \
  ! -name SystemPosix.cpp | sort)

compile() {
  local src=$1 out=$2 cxx=$3
  local obj=$out/${src//\//_}
  obj=${obj%.cpp}.o
  "$cxx" -std=c++20 -O1 -Wall -Wextra -Werror -I. -isystem "$out/include" -c "$src" -o "$obj"
}
export -f compile
printf '%s\n' "${sources[@]}" | xargs -P "${JOBS:-2}" -I{} bash -c 'compile "$@"' _ {} "$out" "$cxx"
echo "check-windows: ${#sources[@]} sources compile for Windows"
