'use strict';
// Memory of the language server, read from /proc: the peak during the check
// of one large document, as a multiple of the document's size; and what the
// server holds when a client floods it, with bursts of changes, and with
// requests while it stops reading the answers.
//
//   node bench/semantic/memory.js SERVER GENERATOR
//
// SERVER is the built вокра_lsp, GENERATOR the built generated_program.
const fs = require('node:fs');
const path = require('node:path');
const { spawn, execFileSync } = require('node:child_process');
const { listen, handshake } = require(path.join(__dirname, '../../tests/вокра_lsp/client/session'));

const [server, generator] = process.argv.slice(2);
if (!server || !generator) {
  console.error('usage: node memory.js SERVER GENERATOR');
  process.exit(2);
}

const URI = 'file:///tmp/bench.код';
const MB = 1 << 20;

function status(pid) {
  const text = fs.readFileSync(`/proc/${pid}/status`, 'utf8');
  const kb = (name) => Number(new RegExp(`^${name}:\\s+(\\d+) kB`, 'm').exec(text)[1]) * 1024;
  return { rss: kb('VmRSS'), peak: kb('VmHWM') };
}

// A server behind the protocol client library; its notifications of
// diagnostics are taken one by one.
async function initialized() {
  const child = spawn(server, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const waiting = [];
  const connection = listen(child, { push: (params) => waiting.shift()(params) });
  await handshake(connection);
  const next = () => new Promise((resolve) => waiting.push(resolve));
  const notify = (method, params) => connection.sendNotification(method, params);
  return { child, connection, next, notify };
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function peakOfOneCheck(lines) {
  const text = execFileSync(generator, [String(lines)], { maxBuffer: 1 << 30 }).toString();
  const size = Buffer.byteLength(text);
  const s = await initialized();
  const before = status(s.child.pid);
  await s.notify('textDocument/didOpen', { textDocument: { uri: URI, languageId: 'vokra', version: 1, text } });
  const published = await s.next();
  if (published.diagnostics.length) throw new Error(JSON.stringify(published.diagnostics[0]));
  const after = status(s.child.pid);
  console.log(
    `one check of ${lines} lines (${(size / MB).toFixed(1)} MB): peak ${(after.peak / MB).toFixed(0)} MB, ` +
      `${((after.peak - before.rss) / size).toFixed(1)} times the document above the ${(before.rss / MB).toFixed(0)} MB at rest`,
  );
  s.child.kill();
}

async function burstOfChanges(lines, count) {
  const text = execFileSync(generator, [String(lines)], { maxBuffer: 1 << 30 }).toString();
  const s = await initialized();
  const before = status(s.child.pid);
  const published = [];
  for (let i = 0; i < count; ++i) published.push(s.next());
  for (let i = 0; i < count; ++i)
    s.notify('textDocument/didChange', { textDocument: { uri: URI, version: i + 2 }, contentChanges: [{ text: `${text}// ${i}\n` }] });
  await Promise.all(published);
  const after = status(s.child.pid);
  console.log(
    `${count} changes of ${(Buffer.byteLength(text) / MB).toFixed(1)} MB sent at once: ` +
      `${(before.rss / MB).toFixed(0)} MB at rest, peak ${(after.peak / MB).toFixed(0)} MB`,
  );
  s.child.kill();
}

async function unreadAnswers(lines, count) {
  // Every completion answer lists the document's declarations.
  const text = execFileSync(generator, [String(lines)], { maxBuffer: 1 << 30 }).toString();
  const s = await initialized();
  await s.notify('textDocument/didOpen', { textDocument: { uri: URI, languageId: 'vokra', version: 1, text } });
  await s.next();
  s.child.stdout.pause();
  for (let i = 0; i < count; ++i)
    s.connection.sendRequest('textDocument/completion', { textDocument: { uri: URI }, position: { line: 0, character: 0 } }).catch(() => {});
  await sleep(3000);
  const held = status(s.child.pid);
  console.log(`${count} completion requests on ${lines} lines while the client reads nothing: the server holds ${(held.rss / MB).toFixed(0)} MB`);
  s.child.kill();
}

async function main() {
  await peakOfOneCheck(100000);
  await peakOfOneCheck(1000000);
  await burstOfChanges(100000, 50);
  await unreadAnswers(10000, 3000);
}

main().then(() => process.exit(0), (error) => {
  console.error(error);
  process.exit(1);
});
