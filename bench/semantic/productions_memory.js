'use strict';
// Memory of the language server, read from /proc, for every production of the
// grammar at its larger size (productions.hpp): the peak above the server at
// rest while it checks the text on open, and while it answers a hover, a
// completion and a definition at the place deep in its construct, beside the
// bound max(64 MB, 16 × the text). A peak past the bound is marked.
//
//   node bench/semantic/productions_memory.js SERVER GENERATOR BENCH [PATTERN]
//
// SERVER is the built вокра_lsp, GENERATOR the built generated_program, BENCH
// the built productions_bench (which lists the productions); PATTERN, a
// regular expression, keeps the productions whose names it matches. A text
// that ends the server, or that it has not answered within ten minutes, is
// reported so, and the next one gets a new server.
const { spawnSync, execFileSync } = require('node:child_process');
const path = require('node:path');
const { MB, status, peakWhile, warmedUp } = require(path.join(__dirname, 'memory.js'));

const [server, generator, bench, pattern] = process.argv.slice(2);
if (!server || !generator || !bench) {
  console.error('usage: node productions_memory.js SERVER GENERATOR BENCH [PATTERN]');
  process.exit(2);
}

const URI = 'file:///tmp/production.kod';
const LIMIT_MS = 10 * 60 * 1000;

function productions() {
  const listed = execFileSync(bench, ['--benchmark_list_tests']).toString().split('\n');
  const names = listed.map((line) => /^Грамматика\/([^/]+)\/проверка/.exec(line)).filter(Boolean);
  return names.map((match) => match[1]).filter((name) => !pattern || new RegExp(pattern).test(name));
}

// The larger text of a production and the place deep in it.
function sample(name) {
  const printed = spawnSync(generator, [name], { maxBuffer: 1 << 28 });
  const [line, character] = printed.stderr.toString().trim().split(' ').map(Number);
  return { text: printed.stdout.toString(), position: { line, character } };
}

// `work` on the server `s`, or a failure when the server ends or the time
// runs out first.
function guarded(s, work) {
  let timer;
  let onExit;
  const ended = new Promise((_, reject) => {
    onExit = (code, signal) => reject(new Error(`the server ended (${signal || code})`));
    s.child.once('exit', onExit);
    timer = setTimeout(() => reject(new Error(`no answer within ${LIMIT_MS / 60000} minutes`)), LIMIT_MS);
  });
  return Promise.race([work(), ended]).finally(() => {
    clearTimeout(timer);
    s.child.off('exit', onExit);
  });
}

// The peaks of one production on the server `s`, as a line of the report.
async function measure(s, name) {
  const { text, position } = sample(name);
  const size = Buffer.byteLength(text);
  const bound = Math.max(64 * MB, 16 * size);
  const idle = status(s.child.pid).rss;
  let diagnostic = '';
  const checked = await peakWhile(s, async () => {
    await s.notify('textDocument/didOpen', {
      textDocument: { uri: URI, languageId: 'vokra', version: 1, text },
    });
    const published = await s.next();
    if (published.diagnostics.length) diagnostic = ` (${published.diagnostics[0].message.slice(0, 60)})`;
  });
  const place = { textDocument: { uri: URI }, position };
  const answered = await peakWhile(s, async () => {
    await s.connection.sendRequest('textDocument/hover', place);
    await s.connection.sendRequest('textDocument/completion', place);
    await s.connection.sendRequest('textDocument/definition', place);
  });
  await s.notify('textDocument/didClose', { textDocument: { uri: URI } });
  await s.next();
  const above = (peak) => {
    const bytes = Math.max(0, peak - idle);
    return `+${(bytes / MB).toFixed(1)} MB${bytes > bound ? ' PAST THE BOUND' : ''}`;
  };
  return (
    `${name} (${(size / MB).toFixed(2)} MB, bound ${(bound / MB).toFixed(0)} MB): ` +
    `check ${above(checked)}, hover, completion and definition ${above(answered)}${diagnostic}`
  );
}

async function main() {
  let s = await warmedUp(server, generator);
  for (const name of productions()) {
    try {
      console.log(await guarded(s, () => measure(s, name)));
    } catch (error) {
      console.log(`${name}: ${error.message}`);
      s.child.kill('SIGKILL');
      s = await warmedUp(server, generator);
    }
  }
  s.child.kill();
}

main().then(
  () => process.exit(0),
  (error) => {
    console.error(error);
    process.exit(1);
  },
);
