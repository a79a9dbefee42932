// Times DuckDB on the four command-line queries of bench_cli, for comparison with tabulon-cli.
//
//   NODE_PATH=DIR/node_modules node bench/duckdb_queries.mjs SALES.csv
//
// DIR holds an `npm install @duckdb/node-api` made outside the repository. SALES.csv is a UTF-8
// copy of a `tabulon-gen` file. The file is loaded once into an in-memory table with one thread;
// then each query runs five times and its best time is printed, one line per query in the order
// below: "MILLISECONDS ms ROWS rows NAME". The time is the query alone, its result read into
// JavaScript values, without the load or node's start.

import { createRequire } from "node:module";
import path from "node:path";

const [file] = process.argv.slice(2);
if (!file) {
  console.error("usage: node duckdb_queries.mjs SALES.csv");
  process.exit(2);
}
// The install lies outside the repository: resolve the package from NODE_PATH.
const require = createRequire(path.join(process.env.NODE_PATH ?? ".", "x.js"));
const { DuckDBInstance } = require("@duckdb/node-api");

// The same questions tabulon-cli answers, each as the rows of its table (a group per cell, in the
// order of the row and column items); DuckDB reads 日付 as a DATE.
const queries = [
  ["店舗 × 地域", "SELECT 店舗, 地域, count(*) FROM t GROUP BY 店舗, 地域 ORDER BY 店舗, 地域"],
  [
    "店舗 × 月, 金額 合計",
    "SELECT 店舗, strftime(日付, '%Y/%m') AS 月, sum(金額) FROM t GROUP BY 店舗, 月 ORDER BY 店舗, 月",
  ],
  [
    "分類 × 曜日, 単価 平均",
    "SELECT 分類, dayofweek(日付) AS 曜日, avg(単価) FROM t GROUP BY 分類, 曜日 ORDER BY 分類, 曜日",
  ],
  [
    "顧客コード ∋ 123",
    "SELECT 顧客コード, count(*) FROM t WHERE contains(顧客コード, '123') GROUP BY 顧客コード " +
      "ORDER BY 顧客コード",
  ],
];

const instance = await DuckDBInstance.create(":memory:");
const connection = await instance.connect();
await connection.run("SET threads = 1");
const quoted = file.replaceAll("'", "''");
await connection.run(`CREATE TABLE t AS SELECT * FROM read_csv('${quoted}', header = true)`);

for (const [name, sql] of queries) {
  let best = Infinity;
  let rows = 0;
  for (let run = 0; run < 5; ++run) {
    const start = process.hrtime.bigint();
    const result = await connection.runAndReadAll(sql);
    rows = result.getRows().length;
    best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e6);
  }
  console.log(`${best.toFixed(1)} ms ${rows} rows ${name}`);
}
