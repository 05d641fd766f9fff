'use strict';
// End to end: spawns the built server and talks to it through the protocol
// client library, or with raw bytes where the input itself is what is tested.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const {
  InitializeRequest,
  InitializedNotification,
  ShutdownRequest,
  ExitNotification,
  DidCloseTextDocumentNotification,
  HoverRequest,
} = require('vscode-languageserver-protocol/node');
const {
  URI,
  CAPABILITIES,
  queue,
  start,
  connect,
  initialized,
  open,
  change,
  roundTrip,
  diagnostic,
} = require('./session');

test('handshake: requests before initialize and a malformed initialize are refused, then the capabilities', async (t) => {
  const session = connect(t);
  await session.connection.sendNotification('textDocument/didOpen', {});
  await assert.rejects(session.request(HoverRequest.type, {}), { code: -32002 });
  await assert.rejects(session.request(InitializeRequest.type, { processId: 'один', capabilities: {} }), {
    code: -32602,
  });
  const result = await session.request(InitializeRequest.type, { processId: null, rootUri: null, capabilities: {} });
  assert.deepEqual(result, { capabilities: CAPABILITIES });
  assert.deepEqual(Object.keys(result.capabilities), Object.keys(CAPABILITIES));
  await session.connection.sendNotification(InitializedNotification.type, {});
  assert.equal(await roundTrip(session), null);
});

test('diagnostics follow open, change and close', async (t) => {
  const session = await initialized(t);
  const cases = [
    {
      what: 'an unclosed text on line 3',
      send: () => open(session, 'а\nб\nвывод("x'),
      expect: [diagnostic(2, 6, 7, 'незакрытый текстовый литерал')],
    },
    { what: 'a clean text', send: () => change(session, ['функция а()\nконец']), expect: [] },
    {
      what: 'a syntax error at its line and column',
      send: () => change(session, ['функция а()\n    целое х = ;\nконец']),
      expect: [diagnostic(1, 14, 15, 'ожидалось выражение, встретилось «;»')],
    },
    {
      what: 'a block left open',
      send: () => change(session, ['функция а()\n    вернуть;\n']),
      expect: [diagnostic(2, 0, 1, 'не хватает слова «конец» — блок не закрыт')],
    },
    {
      what: 'a lexer error before a syntax error',
      send: () => change(session, ['функция (\n#']),
      expect: [diagnostic(1, 0, 1, "неожиданный символ: '#'")],
    },
    {
      what: 'only the last of two changes',
      send: () => change(session, ['"', 'а "']),
      expect: [diagnostic(0, 2, 3, 'незакрытый текстовый литерал')],
    },
    {
      what: 'columns in UTF-16 units after a character outside the BMP',
      send: () => change(session, ['"😀" "x']),
      expect: [diagnostic(0, 5, 6, 'незакрытый текстовый литерал')],
    },
    { what: 'an empty text', send: () => change(session, ['']), expect: [] },
    { what: 'a change to a document never opened', send: () => change(session, ['"'], 'untitled:Новый'),
      expect: [diagnostic(0, 0, 1, 'незакрытый текстовый литерал')], uri: 'untitled:%D0%9D%D0%BE%D0%B2%D1%8B%D0%B9' },
    {
      what: 'a close, also of an unknown document',
      send: () => session.connection.sendNotification(DidCloseTextDocumentNotification.type, { textDocument: { uri: 'file:///нет' } }),
      expect: [],
      uri: 'file:///%D0%BD%D0%B5%D1%82',
    },
  ];
  for (const c of cases) {
    await c.send();
    const published = await session.diagnostics.next(c.what);
    assert.deepEqual(published, { uri: c.uri ?? URI, diagnostics: c.expect }, c.what);
  }

  await change(session, []);
  await roundTrip(session);
  assert.equal(session.diagnostics.length, 0, 'an empty change list publishes nothing');
});

test('document URIs come back normalised, and a normal one unchanged', async (t) => {
  const session = await initialized(t);
  const cases = [
    [URI, URI],
    ['file:///tmp/при мер.код', 'file:///tmp/%D0%BF%D1%80%D0%B8%20%D0%BC%D0%B5%D1%80.%D0%BA%D0%BE%D0%B4'],
    ['FILE://localhost/tmp/a%2fb.код', 'file:///tmp/a%2fb.%D0%BA%D0%BE%D0%B4'],
    ['untitled:Untitled-1', 'untitled:Untitled-1'],
  ];
  for (const [sent, expected] of cases) {
    await open(session, '', sent);
    assert.equal((await session.diagnostics.next(sent)).uri, expected);
  }
});

test('requests: null results, invalid params get -32602 and the server goes on', async (t) => {
  const session = await initialized(t);
  const position = { textDocument: { uri: URI }, position: { line: 0, character: 0 } };
  assert.equal(await session.request('textDocument/formatting', {}), null);
  assert.equal(await session.request(HoverRequest.type, position), null);
  for (const [method, params] of [
    ['textDocument/hover', { textDocument: { uri: URI } }],
    ['textDocument/completion', { ...position, position: { line: -1, character: 0 } }],
    ['textDocument/definition', { textDocument: { uri: 'не uri' }, position: { line: 0, character: 0 } }],
    ['textDocument/hover', null],
  ]) {
    await assert.rejects(session.request(method, params), { code: -32602 }, method);
  }
  assert.equal(await roundTrip(session), null);
});

test('document notifications whose parameters do not decode are ignored', async (t) => {
  const session = await initialized(t);
  for (const [method, params] of [
    ['textDocument/didOpen', {}],
    ['textDocument/didOpen', { textDocument: { uri: URI, languageId: 'vokra', version: 2 ** 31, text: '' } }],
    ['textDocument/didChange', { textDocument: { uri: URI }, contentChanges: [{ text: '"' }] }],
    ['textDocument/didClose', { textDocument: { uri: 42 } }],
  ]) {
    await session.connection.sendNotification(method, params);
  }
  assert.equal(await roundTrip(session), null);
  assert.equal(session.diagnostics.length, 0);
  const status = session.server.status();
  await session.connection.sendNotification(ExitNotification.type);
  assert.equal(await status, 0);
});

test('exit statuses', async (t) => {
  const cases = [
    { what: 'exit without shutdown', steps: ['exit'], status: 0 },
    { what: 'shutdown, then exit', steps: ['shutdown', 'exit'], status: 0 },
    { what: 'shutdown, then another message', steps: ['shutdown', 'other'], status: 1 },
    { what: 'end of input in the loop', steps: ['end'], status: 0 },
    { what: 'end of input after shutdown', steps: ['shutdown', 'end'], status: 1 },
  ];
  for (const c of cases) {
    await t.test(c.what, async (t) => {
      const session = await initialized(t);
      for (const step of c.steps) {
        if (step === 'shutdown') assert.equal(await session.request(ShutdownRequest.type), null);
        if (step === 'exit') await session.connection.sendNotification(ExitNotification.type);
        if (step === 'other') await session.connection.sendNotification('textDocument/didSave', {});
        if (step === 'end') session.server.child.stdin.end();
      }
      assert.equal(await session.server.status(), c.status);
      assert.equal(session.server.stderr().startsWith('Error: '), c.status === 1, session.server.stderr());
    });
  }
});

// Raw bytes: framing and bodies that no client library would send.
function frame(body) {
  const bytes = Buffer.isBuffer(body) ? body : Buffer.from(typeof body === 'string' ? body : JSON.stringify(body));
  return Buffer.concat([Buffer.from(`Content-Length: ${bytes.length}\r\n\r\n`), bytes]);
}

const INITIALIZE = Buffer.concat([
  frame({ jsonrpc: '2.0', id: 0, method: 'initialize', params: { capabilities: {} } }),
  frame({ jsonrpc: '2.0', method: 'initialized', params: {} }),
]);

// The bodies the server writes, as text, so that ids are seen exactly.
function rawBodies(child) {
  const bodies = queue();
  let pending = Buffer.alloc(0);
  child.stdout.on('data', (data) => {
    pending = Buffer.concat([pending, data]);
    for (;;) {
      const end = pending.indexOf('\r\n\r\n');
      if (end < 0) return;
      const length = Number(/Content-Length: (\d+)/.exec(pending.subarray(0, end).toString())[1]);
      if (pending.length < end + 4 + length) return;
      bodies.push(pending.subarray(end + 4, end + 4 + length).toString());
      pending = pending.subarray(end + 4 + length);
    }
  });
  return bodies;
}

test('bodies that are not JSON-RPC are skipped; ids are echoed as they came', async (t) => {
  const server = start(t);
  const bodies = rawBodies(server.child);
  const request = (id) => `{"jsonrpc":"2.0","id":${id},"method":"vokra/unknown"}`;
  const ids = ['"абв"', '-7', '0', '9007199254740993', '18446744073709551615'];
  server.child.stdin.write(
    Buffer.concat([
      INITIALIZE,
      frame('не JSON'),
      frame(''),
      frame('[1, 2]'),
      frame('{"jsonrpc":"2.0","id":1.5,"method":"vokra/unknown"}'),
      frame('{"jsonrpc":"2.0","id":1,"result":null}'),
      ...ids.map((id) => frame(request(id))),
    ]),
  );
  assert.match(await bodies.next('the initialize reply'), /"capabilities"/);
  for (const id of ids) {
    assert.equal(await bodies.next(`the answer to ${id}`), `{"id":${id},"jsonrpc":"2.0","result":null}`);
  }
  server.child.stdin.end();
  assert.equal(await server.status(), 0);
});

test('a lone surrogate escape or a byte that is not UTF-8 reads as U+FFFD; the message is handled as usual', async (t) => {
  const server = start(t);
  const bodies = rawBodies(server.child);
  const bytes = (...parts) => Buffer.concat(parts.map((part) => Buffer.from(part)));
  const published = (uri, diagnostics) => JSON.stringify({ jsonrpc: '2.0', method: 'textDocument/publishDiagnostics', params: { diagnostics, uri } });
  const cases = [
    {
      what: 'a didOpen whose text holds a lone surrogate',
      body: bytes('{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///a",',
        '"languageId":"v","version":1,"text":"функция \\ud800() конец"}}}'),
      answer: published('file:///a', [{ message: "неожиданный символ: '\uFFFD'", range: { end: { character: 9, line: 0 }, start: { character: 8, line: 0 } }, severity: 1, source: 'Вокра' }]),
    },
    {
      what: 'a didChange whose text holds a byte that is not UTF-8 replaces the text',
      body: bytes('{"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///a","version":2},',
        '"contentChanges":[{"text":"функция ф() конец // ', [0xff], '"}]}}'),
      answer: published('file:///a', []),
    },
    {
      what: 'a request with both beside its parameters',
      body: bytes('{"jsonrpc":"2.0","id":1,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a"},',
        '"position":{"line":0,"character":9}},"x":"\\udc00', [0xc0], '"}'),
      answer: '{"id":1,"jsonrpc":"2.0","result":{"contents":{"kind":"markdown","value":"```\\nфункция ф()\\n```"}}}',
    },
  ];
  server.child.stdin.write(Buffer.concat([INITIALIZE, ...cases.map((c) => frame(c.body))]));
  assert.match(await bodies.next('the initialize reply'), /"capabilities"/);
  for (const c of cases) assert.equal(await bodies.next(c.what), c.answer, c.what);
  server.child.stdin.end();
  assert.equal(await server.status(), 0);
});

test('broken framing ends the server with status 1', async (t) => {
  const cases = [
    ['a header without ": "', 'Content-Length 2\r\n\r\n{}'],
    ['a length that is not a number', 'Content-Length: два\r\n\r\n{}'],
    ['a line feed without carriage return', 'Content-Length: 2\n\n{}'],
    ['no length', 'Content-Type: application/json\r\n\r\n{}'],
    ['a short body', 'Content-Length: 10\r\n\r\n{}'],
    ['a huge claimed length', 'Content-Length: 99999999999999\r\n\r\n{}'],
    ['input ending inside the headers', 'Content-Length: 2\r\n'],
  ];
  for (const [what, bytes] of cases) {
    await t.test(what, async (t) => {
      const server = start(t);
      server.child.stdin.end(Buffer.concat([INITIALIZE, Buffer.from(bytes)]));
      assert.equal(await server.status(), 1);
      assert.match(server.stderr(), /^Error: /);
    });
  }
});

test('a header line past the limit ends the server; the error quotes its start, escaped', async (t) => {
  const server = start(t);
  // The input stays open: the server must not wait for the line to end.
  server.child.stdin.write(Buffer.concat([INITIALIZE, Buffer.from('X-Long: \x1b' + 'a'.repeat(1 << 20))]));
  assert.equal(await server.status(), 1);
  const line = server.stderr();
  assert.match(line, /^Error: .*X-Long: \\u\{1b\}a{191}…\n$/);
  assert.ok(!line.includes('\x1b'));
});

test('a client that stops reading ends the server with status 1, not a signal', async (t) => {
  const server = start(t);
  server.child.stdout.destroy();
  server.child.stdin.end(Buffer.concat([INITIALIZE, frame({ jsonrpc: '2.0', id: 1, method: 'vokra/unknown' })]));
  assert.equal(await server.status(), 1);
  assert.match(server.stderr(), /^Error: /);
});
