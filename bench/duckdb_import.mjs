// Times DuckDB's load of a CSV file into a table, for comparison with our import.
//
//   [DUCKDB_THREADS=N] NODE_PATH=DIR/node_modules node bench/duckdb_import.mjs FILE.csv [ENCODING]
//
// DIR holds an `npm install @duckdb/node-api` made outside the repository. ENCODING is passed to
// read_csv as it stands (DuckDB reads utf-8, utf-16 and latin-1 by itself; other encodings need its
// encodings extension). Prints the seconds of the load alone, the best of three, on one line.

import { createRequire } from "node:module";
import path from "node:path";

const [file, encoding] = process.argv.slice(2);
if (!file) {
  console.error("usage: node duckdb_import.mjs FILE.csv [ENCODING]");
  process.exit(2);
}
// The install lies outside the repository: resolve the package from NODE_PATH.
const require = createRequire(path.join(process.env.NODE_PATH ?? ".", "x.js"));
const { DuckDBInstance } = require("@duckdb/node-api");

const instance = await DuckDBInstance.create(":memory:");
const connection = await instance.connect();
// DUCKDB_THREADS: the threads of the load (1 by default), to time it beside an import given as
// many (TABULON_IMPORT_THREADS).
const threads = Number.parseInt(process.env.DUCKDB_THREADS ?? "1", 10);
await connection.run(`SET threads = ${Number.isInteger(threads) && threads > 0 ? threads : 1}`);
if (encoding && !/^(utf-?8|utf-?16|latin-?1)$/i.test(encoding)) {
  await connection.run("INSTALL encodings");
  await connection.run("LOAD encodings");
}
const quoted = file.replaceAll("'", "''");
const options = encoding ? `, encoding = '${encoding}'` : "";
let best = Infinity;
for (let run = 0; run < 3; ++run) {
  await connection.run("DROP TABLE IF EXISTS t");
  const start = process.hrtime.bigint();
  await connection.run(`CREATE TABLE t AS SELECT * FROM read_csv('${quoted}', header = true${options})`);
  best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e9);
}
const rows = await connection.runAndReadAll("SELECT count(*) FROM t");
console.log(`${best.toFixed(3)} s ${rows.getRows()[0][0]} rows`);
