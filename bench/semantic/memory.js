'use strict';
// Memory of the language server, read from /proc: the peak of every check of a
// large document, its open and the changes after it, as a multiple of the
// document's size; what the server keeps once a large document has given way
// to a small one; and what it holds when a client floods it, with bursts of
// changes, and with requests while it stops reading the answers.
//
//   node bench/semantic/memory.js SERVER GENERATOR
//
// SERVER is the built вокра_lsp, GENERATOR the built generated_program.
const fs = require('node:fs');
const path = require('node:path');
const { spawn, execFileSync } = require('node:child_process');
const { listen, handshake } = require(path.join(__dirname, '../../tests/вокра_lsp/client/session'));

const [server, generator] = require.main === module ? process.argv.slice(2) : [];
if (require.main === module && (!server || !generator)) {
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
async function initialized(program = server) {
  const child = spawn(program, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const waiting = [];
  const connection = listen(child, { push: (params) => waiting.shift()(params) });
  await handshake(connection);
  const next = () => new Promise((resolve) => waiting.push(resolve));
  const notify = (method, params) => connection.sendNotification(method, params);
  // Answered after everything sent before it has been handled.
  const roundTrip = () => connection.sendRequest('vokra/unknown', {});
  return { child, connection, next, notify, roundTrip };
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The peak of the resident size while `work` runs, from the moment the
// high-water mark is reset until the server has answered a request sent after
// it (so freeing what the work built is included).
async function peakWhile(s, work) {
  fs.writeFileSync(`/proc/${s.child.pid}/clear_refs`, '5');
  await work();
  await s.roundTrip();
  return status(s.child.pid).peak;
}

// The peak while one notification is handled; its diagnostics must be none.
async function peakOf(s, method, params) {
  return peakWhile(s, async () => {
    await s.notify(method, params);
    const published = await s.next();
    if (published.diagnostics.length) throw new Error(JSON.stringify(published.diagnostics[0]));
  });
}

// The server at rest once it has checked and closed a generated program of
// 100 lines, every construct of the larger ones and a few kilobytes: the code
// that checking runs is then in memory (about 1 MB, which would otherwise
// count as part of the first check, whatever the document's size).
async function warmedUp(program = server, programs = generator) {
  const s = await initialized(program);
  const uri = 'file:///tmp/warm-up.код';
  const text = execFileSync(programs, ['100']).toString();
  await s.notify('textDocument/didOpen', { textDocument: { uri, languageId: 'vokra', version: 1, text } });
  await s.next();
  await s.notify('textDocument/didClose', { textDocument: { uri } });
  await s.next();
  await s.roundTrip();
  return s;
}

// The open of a generated document and then `changes` changes of it, each
// sent after the diagnostics of the one before: the peak of every check
// above the server at rest before the open.
async function peaksOfChecks(lines, changes) {
  const text = execFileSync(generator, [String(lines)], { maxBuffer: 1 << 30 }).toString();
  const size = Buffer.byteLength(text);
  const s = await warmedUp();
  const idle = status(s.child.pid).rss;
  const times = (peak) => `${((peak - idle) / size).toFixed(1)}×`;
  const opened = await peakOf(s, 'textDocument/didOpen', {
    textDocument: { uri: URI, languageId: 'vokra', version: 1, text },
  });
  const changed = [];
  for (let i = 0; i < changes; ++i)
    changed.push(
      await peakOf(s, 'textDocument/didChange', {
        textDocument: { uri: URI, version: i + 2 },
        contentChanges: [{ text: `${text}// ${i}\n` }],
      }),
    );
  console.log(
    `${lines} lines (${(size / MB).toFixed(1)} MB), peak above the ${(idle / MB).toFixed(0)} MB at rest ` +
      `as a multiple of the document: open ${times(opened)}, then ${changes} changes ${changed.map(times).join(' ')}`,
  );
  s.child.kill();
}

// A small document opened, then a large one changed many times, then the
// small text again: the resident size at the end beside the one after the
// first open of the small text.
async function settling(lines, changes) {
  const text = execFileSync(generator, [String(lines)], { maxBuffer: 1 << 30 }).toString();
  const small = 'функция а() конец\n';
  const s = await initialized();
  await s.notify('textDocument/didOpen', { textDocument: { uri: URI, languageId: 'vokra', version: 1, text: small } });
  await s.next();
  await s.roundTrip();
  const first = status(s.child.pid).rss;
  let version = 1;
  const change = async (contents) => {
    await s.notify('textDocument/didChange', {
      textDocument: { uri: URI, version: ++version },
      contentChanges: [{ text: contents }],
    });
    await s.next();
  };
  for (let i = 0; i < changes; ++i) await change(`${text}// ${i}\n`);
  await s.roundTrip();
  const large = status(s.child.pid).rss;
  await change(small);
  await s.roundTrip();
  const settled = status(s.child.pid).rss;
  console.log(
    `${changes} changes of ${(Buffer.byteLength(text) / MB).toFixed(1)} MB, then a one-line text: ` +
      `${(large / MB).toFixed(0)} MB after the changes, ${(settled / MB).toFixed(1)} MB after the one-line text, ` +
      `${(settled / first).toFixed(2)}× the ${(first / MB).toFixed(1)} MB after its first open`,
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
  // About 1, 10 and 40 MB.
  for (const lines of [26000, 261000, 1045000]) await peaksOfChecks(lines, 3);
  await settling(100000, 60);
  await burstOfChanges(100000, 50);
  await unreadAnswers(10000, 3000);
}

module.exports = { MB, status, peakWhile, warmedUp };

if (require.main === module)
  main().then(() => process.exit(0), (error) => {
    console.error(error);
    process.exit(1);
  });
