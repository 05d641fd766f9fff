'use strict';
// End to end: the time from sending textDocument/didChange to receiving its
// textDocument/publishDiagnostics, through the protocol client library, for
// generated programs of 1 000 and 10 000 lines. Every change must come back
// with an empty list: a diagnostic would mean the check stopped early.
// Beside it, in the same run, the time V8's JSON.parse takes to decode the
// body of the same message: the round trip is also given as a multiple of it.
// Last, the same round trip with a text of as many bytes that is one comment.
//
//   node bench/semantic/didchange.js SERVER GENERATOR
//
// SERVER is the built вокра_lsp, GENERATOR the built generated_program.
const path = require('node:path');
const { spawn, execFileSync } = require('node:child_process');
const { listen, handshake } = require(path.join(__dirname, '../../tests/вокра_lsp/client/session'));

const [server, generator] = process.argv.slice(2);
if (!server || !generator) {
  console.error('usage: node didchange.js SERVER GENERATOR');
  process.exit(2);
}

const URI = 'file:///tmp/bench.код';
const WARM_UP = 5;

function percentile(sorted, p) {
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
}

const generated = (lines) => execFileSync(generator, [String(lines)], { maxBuffer: 1 << 28 }).toString();

async function measure(connection, next, label, text, rounds) {
  let version = 1;
  await connection.sendNotification('textDocument/didOpen', {
    textDocument: { uri: URI, languageId: 'vokra', version, text },
  });
  await next();
  const times = [];
  const parses = [];
  for (let i = 0; i < WARM_UP + rounds; ++i) {
    // Each change differs from the one before, as an editor's would.
    const changed = `${text}// правка ${i}\n`;
    const params = { textDocument: { uri: URI, version: ++version }, contentChanges: [{ text: changed }] };
    const start = process.hrtime.bigint();
    await connection.sendNotification('textDocument/didChange', params);
    const published = await next();
    const elapsed = Number(process.hrtime.bigint() - start) / 1e6;
    if (published.diagnostics.length !== 0)
      throw new Error(`the generated program has a diagnostic: ${JSON.stringify(published.diagnostics[0])}`);
    // The body as the client library frames it.
    const body = JSON.stringify({ jsonrpc: '2.0', method: 'textDocument/didChange', params });
    const parseStart = process.hrtime.bigint();
    JSON.parse(body);
    const parsed = Number(process.hrtime.bigint() - parseStart) / 1e6;
    if (i >= WARM_UP) {
      times.push(elapsed);
      parses.push(parsed);
    }
  }
  parses.sort((a, b) => a - b);
  times.sort((a, b) => a - b);
  const mean = times.reduce((a, b) => a + b, 0) / times.length;
  console.log(
    `${label} (${Math.round(text.length / 1000)} k characters): ` +
      `median ${percentile(times, 50).toFixed(2)} ms, p95 ${percentile(times, 95).toFixed(2)} ms, ` +
      `max ${times[times.length - 1].toFixed(2)} ms, mean ${mean.toFixed(2)} ms over ${rounds} changes; ` +
      `JSON.parse of the same body: median ${percentile(parses, 50).toFixed(2)} ms, ` +
      `p95 ${percentile(parses, 95).toFixed(2)} ms; round trip p95 = ` +
      `${(percentile(times, 95) / percentile(parses, 95)).toFixed(1)} × JSON.parse p95`,
  );
}

async function main() {
  const child = spawn(server, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const waiting = [];
  const connection = listen(child, { push: (params) => waiting.shift()(params) });
  const next = () => new Promise((resolve) => waiting.push(resolve));
  await handshake(connection);
  await measure(connection, next, '  1000 lines', generated(1000), 200);
  const large = generated(10000);
  await measure(connection, next, ' 10000 lines', large, 100);
  // What the round trip costs besides the check: a text of as many bytes,
  // which the server checks in well under a millisecond.
  await measure(connection, next, 'one comment, as many bytes', `//${' '.repeat(Buffer.byteLength(large) - 3)}\n`, 100);
  await connection.sendRequest('shutdown');
  await connection.sendNotification('exit');
  connection.dispose();
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
