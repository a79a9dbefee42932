#!/usr/bin/env bash
# Runs Tabulon's benchmarks against an existing build and prints a table of the figures.
#
#   bench/run.sh BUILD_DIR [BENCHMARK...]     (normally through `make bench`)
#
# Builds nothing. BENCHMARK names one of the bench_* functions below without its prefix; without
# any, all of them run in order. Test data goes to BUILD_DIR/bench-data and is made once.
set -euo pipefail

usage="usage: bench/run.sh BUILD_DIR [BENCHMARK...]"
build=${1:?$usage}
shift

gen=$build/bench/tabulon-gen
measure=$build/bench/tabulon-measure
cli=$build/cli/tabulon-cli
data_dir=$build/bench-data
repeats=3

rows=1000000
csv=$data_dir/sales-1m.csv
store=${csv%.*}  # the importer keeps its column store beside the CSV, named without extension

# Benchmarks in the order they run by default. A new benchmark is a bench_NAME function plus its
# name here.
all_benchmarks=(import tab list window cli)

table=()  # finished rows of the result table

die() {
  echo "bench: $*" >&2
  exit 1
}

# Appends a table row: NAME SECONDS PEAK_RSS_KB [BYTES ROWS]; throughput only when given.
add_row() {
  table+=("$(awk -v name="$1" -v s="$2" -v kb="$3" -v bytes="${4:-0}" -v rows="${5:-0}" 'BEGIN {
    mb = bytes / 1e6
    if (bytes > 0 && s > 0) {
      printf "%-28s %9.1f %9.3f %9.1f %12.0f %9.1f", name, mb, s, mb / s, rows / s, kb * 1024 / 1e6
    } else {
      printf "%-28s %9s %9.3f %9s %12s %9.1f", name, "-", s, "-", "-", kb * 1024 / 1e6
    }
  }')")
}

print_table() {
  printf '\n%-28s %9s %9s %9s %12s %9s\n' benchmark "file MB" seconds "MB/s" "rows/s" "RSS MB"
  printf '%s\n' "${table[@]}"
  printf '\nBest of %d runs; MB = 10^6 bytes; RSS = peak resident set size of the process.\n' \
    "$repeats"
}

# Runs PREPARE then the command `repeats` times and sets best_seconds and best_kb from the
# fastest run. A failing command stops the benchmarks and shows the end of its output.
#   time_best PREPARE_FUNCTION CMD [ARG...]
time_best() {
  local prepare=$1 report=$data_dir/measure.out log=$data_dir/command.log
  shift
  best_seconds="" best_kb=""
  local run seconds kb
  for ((run = 1; run <= repeats; run++)); do
    "$prepare"
    if ! "$measure" -o "$report" "$@" >"$log" 2>&1; then
      tail -n 20 "$log" >&2
      die "failed: $*"
    fi
    read -r seconds kb _ <"$report"
    if [[ -z $best_seconds ]] || awk -v a="$seconds" -v b="$best_seconds" 'BEGIN { exit !(a < b) }'
    then
      best_seconds=$seconds best_kb=$kb
    fi
  done
}

warm_cache() { cat "$csv" >/dev/null; }
drop_store_and_warm_cache() {
  rm -rf "$store"
  warm_cache
}

# Import of the 1M-row CSV from scratch, then an import of the unchanged file, which must find
# the store up to date and return at once; then the same from scratch for a 1M-row file of time
# stamps and short key texts (`tabulon-gen --stamps`). With TABULON_DUCKDB naming a folder that
# holds `npm install @duckdb/node-api`, DuckDB's single-threaded load of each file is timed beside
# it, on a UTF-8 copy, since DuckDB reads no Shift-JIS without an extension it would download.
bench_import() {
  [[ -x $cli ]] || die "$cli does not exist yet; build tabulon-cli first"
  local bytes
  bytes=$(stat -c %s "$csv")

  echo "import: $csv"
  time_best drop_store_and_warm_cache "$cli" import "$csv"
  [[ -d $store ]] || die "tabulon-cli import wrote no store at $store"
  add_row "import (new store)" "$best_seconds" "$best_kb" "$bytes" "$rows"

  time_best warm_cache "$cli" import "$csv"
  add_row "import (store up to date)" "$best_seconds" "$best_kb"
  import_beside_duckdb "import sales, DuckDB" "$csv"

  # warm_cache and drop_store_and_warm_cache act on these for the stamps file.
  local csv=$data_dir/stamps-1m.csv
  local store=${csv%.*}
  if [[ ! -f $csv ]]; then
    "$gen" --stamps "$rows" "$csv.partial"
    mv "$csv.partial" "$csv"
  fi
  bytes=$(stat -c %s "$csv")
  echo "import: $csv"
  time_best drop_store_and_warm_cache "$cli" import "$csv"
  add_row "import stamps (new store)" "$best_seconds" "$best_kb" "$bytes" "$rows"
  import_beside_duckdb "import stamps, DuckDB" "$csv"
}

# DuckDB's single-threaded load of CSV (a Shift-JIS file, read from a UTF-8 copy) as a row NAME,
# its throughput counted on the bytes of the original; a note instead when DuckDB is not installed.
#   import_beside_duckdb NAME CSV
import_beside_duckdb() {
  local name=$1 file=$2
  duckdb_installed || {
    echo "import: DuckDB skipped (set TABULON_DUCKDB to a folder with @duckdb/node-api)"
    return
  }
  local copy
  copy=$(utf8_copy_of "$file")
  local seconds
  seconds=$(NODE_PATH=$TABULON_DUCKDB/node_modules node "$(dirname "$0")/duckdb_import.mjs" \
    "$copy" | awk '{ print $1 }') || die "DuckDB load of $copy failed"
  add_row "$name" "$seconds" 0 "$(stat -c %s "$file")" "$rows"
}

# Whether TABULON_DUCKDB names a folder with DuckDB's node package installed.
duckdb_installed() {
  [[ -n ${TABULON_DUCKDB:-} && -d $TABULON_DUCKDB/node_modules/@duckdb/node-api ]]
}

# Prints the path of a UTF-8 copy of the Shift-JIS file CSV beside it, made when missing or older.
#   utf8_copy_of CSV
utf8_copy_of() {
  local copy=${1%.*}.utf8.csv
  [[ -f $copy && $copy -nt $1 ]] || iconv -f SHIFT_JIS -t UTF-8 "$1" >"$copy"
  echo "$copy"
}

# Cross tabulation of the 1M-row store (imported in-process when out of date): prints its own
# table of the best run per case.
bench_tab() {
  local prog=$build/bench/tabulon-bench-tab
  [[ -x $prog ]] || die "$prog does not exist yet; build tabulon-bench-tab first"
  echo "tab: $csv"
  "$prog" "$csv"
}

# The record list of all 1M records: its time and the process's memory with it and after it.
bench_list() {
  local prog=$build/bench/tabulon-bench-list
  [[ -x $prog ]] || die "$prog does not exist yet; build tabulon-bench-list first"
  echo "list: $csv"
  "$prog" "$csv"
}

# The main window's clicks on the 1M-row store, offscreen: best and median milliseconds per kind
# of click, from the handler call to the grid's new content. Skipped in a build without Qt.
bench_window() {
  local prog=$build/bench/tabulon-bench-window
  [[ -x $prog ]] || die "$prog does not exist yet; build tabulon-bench-window first (needs Qt)"
  echo "window: $csv"
  QT_QPA_PLATFORM=offscreen "$prog" "$csv"
}

# The whole `tabulon-cli tab` command on the store, process start included: three role options
# (each tabulates, as the window's buttons do) and the final table.
no_prepare() { :; }
bench_cli() {
  [[ -d $store ]] || "$cli" import "$csv"
  time_best no_prepare "$cli" tab "$csv" --row 店舗 --col 分類 --value 金額 --output "$data_dir/tab.csv"
  add_row "tabulon-cli tab (3 roles)" "$best_seconds" "$best_kb"
  time_best no_prepare "$cli" count "$csv" --pick 地域=関東 --range 金額=1000..
  add_row "tabulon-cli count (2 filters)" "$best_seconds" "$best_kb"
  # The four queries a user waits for at the command line.
  time_best no_prepare "$cli" tab "$csv" --row 店舗 --col 地域
  add_row "tab 店舗 × 地域" "$best_seconds" "$best_kb"
  time_best no_prepare "$cli" tab "$csv" --row 店舗 --col 日付 --unit 日付=month --value 金額 --agg sum
  add_row "tab 店舗 × 月, 金額 合計" "$best_seconds" "$best_kb"
  time_best no_prepare "$cli" tab "$csv" --row 分類 --col 日付 --unit 日付=weekday --value 単価 --agg avg
  add_row "tab 分類 × 曜日, 単価 平均" "$best_seconds" "$best_kb"
  time_best no_prepare "$cli" tab "$csv" --search 顧客コード=123 --row 顧客コード
  add_row "tab 顧客コード ∋ 123" "$best_seconds" "$best_kb"
  queries_beside_duckdb
}

# The four queries as SQL on DuckDB (duckdb_queries.mjs: the UTF-8 copy loaded once into an
# in-memory table with one thread, each query's best of five, without the load and node's start),
# a row each; a note instead when DuckDB is not installed.
queries_beside_duckdb() {
  duckdb_installed || {
    echo "cli: DuckDB skipped (set TABULON_DUCKDB to a folder with @duckdb/node-api)"
    return
  }
  local copy out ms name
  copy=$(utf8_copy_of "$csv")
  out=$(NODE_PATH=$TABULON_DUCKDB/node_modules node "$(dirname "$0")/duckdb_queries.mjs" "$copy") ||
    die "DuckDB queries on $copy failed"
  # Lines "MILLISECONDS ms ROWS rows NAME", NAME as in the rows above.
  while read -r ms _ _ _ name; do
    add_row "$name, DuckDB" "$(awk -v ms="$ms" 'BEGIN { print ms / 1000 }')" 0
  done <<<"$out"
}

make_data() {
  [[ -x $gen && -x $measure ]] || die "$gen or $measure missing; build the bench targets first"
  "$gen" --self-check
  [[ -f $csv ]] && return
  mkdir -p "$data_dir"
  echo "generating $csv ($rows rows, seed 1)"
  "$measure" "$gen" "$rows" "$csv.partial" --seed 1
  mv "$csv.partial" "$csv"
}

main() {
  local benchmarks=("$@") name
  [[ ${#benchmarks[@]} -gt 0 ]] || benchmarks=("${all_benchmarks[@]}")
  for name in "${benchmarks[@]}"; do
    declare -F "bench_$name" >/dev/null || die "unknown benchmark '$name' (have: ${all_benchmarks[*]})"
  done
  make_data
  for name in "${benchmarks[@]}"; do
    "bench_$name"
  done
  [[ ${#table[@]} -eq 0 ]] || print_table
}

main "$@"
