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

function frame(message) {
  const body = Buffer.from(JSON.stringify({ jsonrpc: '2.0', ...message }));
  return Buffer.concat([Buffer.from(`Content-Length: ${body.length}\r\n\r\n`), body]);
}

// A server and the bodies it writes, read as they come unless paused.
function start() {
  const child = spawn(server, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const waiting = [];
  const bodies = [];
  let pending = Buffer.alloc(0);
  child.stdout.on('data', (data) => {
    pending = Buffer.concat([pending, data]);
    for (;;) {
      const end = pending.indexOf('\r\n\r\n');
      if (end < 0) return;
      const length = Number(/Content-Length: (\d+)/.exec(pending.subarray(0, end).toString())[1]);
      if (pending.length < end + 4 + length) return;
      const body = JSON.parse(pending.subarray(end + 4, end + 4 + length).toString());
      pending = pending.subarray(end + 4 + length);
      const waiter = waiting.shift();
      if (waiter) waiter(body);
      else bodies.push(body);
    }
  });
  const next = () => (bodies.length ? Promise.resolve(bodies.shift()) : new Promise((r) => waiting.push(r)));
  const send = (message) => new Promise((resolve) => child.stdin.write(frame(message), resolve));
  return { child, next, send };
}

async function initialized() {
  const s = start();
  await s.send({ id: 0, method: 'initialize', params: { capabilities: {} } });
  await s.next();
  await s.send({ method: 'initialized', params: {} });
  return s;
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function peakOfOneCheck(lines) {
  const text = execFileSync(generator, [String(lines)], { maxBuffer: 1 << 30 }).toString();
  const size = Buffer.byteLength(text);
  const s = await initialized();
  const before = status(s.child.pid);
  await s.send({ method: 'textDocument/didOpen', params: { textDocument: { uri: URI, languageId: 'vokra', version: 1, text } } });
  const published = await s.next();
  if (published.params.diagnostics.length) throw new Error(JSON.stringify(published.params.diagnostics[0]));
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
  for (let i = 0; i < count; ++i)
    s.send({ method: 'textDocument/didChange', params: { textDocument: { uri: URI, version: i + 2 }, contentChanges: [{ text: `${text}// ${i}\n` }] } });
  for (let i = 0; i < count; ++i) await s.next();
  const after = status(s.child.pid);
  console.log(
    `${count} changes of ${(Buffer.byteLength(text) / MB).toFixed(1)} MB sent at once: ` +
      `${(before.rss / MB).toFixed(0)} MB at rest, peak ${(after.peak / MB).toFixed(0)} MB`,
  );
  s.child.kill();
}

async function unreadAnswers(count) {
  const s = await initialized();
  await s.send({ method: 'textDocument/didOpen', params: { textDocument: { uri: URI, languageId: 'vokra', version: 1, text: 'функция а()\nконец\n' } } });
  await s.next();
  s.child.stdout.pause();
  for (let i = 0; i < count; ++i)
    s.send({ id: i + 1, method: 'textDocument/completion', params: { textDocument: { uri: URI }, position: { line: 0, character: 0 } } });
  await sleep(3000);
  const held = status(s.child.pid);
  console.log(`${count} completion requests while the client reads nothing: the server holds ${(held.rss / MB).toFixed(0)} MB`);
  s.child.kill();
}

async function main() {
  await peakOfOneCheck(100000);
  await peakOfOneCheck(1000000);
  await burstOfChanges(100000, 50);
  await unreadAnswers(3000);
}

main().then(() => process.exit(0), (error) => {
  console.error(error);
  process.exit(1);
});
