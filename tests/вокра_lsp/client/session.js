'use strict';
// Helpers shared by the end-to-end tests: starting the built server (path in
// VOKRA_LSP), a protocol connection to it, and the document notifications.
// The benchmarks under bench/semantic use listen and handshake.
const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const {
  createProtocolConnection,
  StreamMessageReader,
  StreamMessageWriter,
  InitializeRequest,
  InitializedNotification,
  DidOpenTextDocumentNotification,
  DidChangeTextDocumentNotification,
  PublishDiagnosticsNotification,
} = require('vscode-languageserver-protocol/node');

const SERVER = process.env.VOKRA_LSP;
const WAIT_MS = 5000;
const URI = 'file:///tmp/%D0%BF%D1%80%D0%B8%D0%BC%D0%B5%D1%80.%D0%BA%D0%BE%D0%B4';
const CAPABILITIES = {
  completionProvider: {},
  definitionProvider: true,
  hoverProvider: true,
  textDocumentSync: 1,
};

function withTimeout(promise, what) {
  let timer;
  const timeout = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`timed out waiting for ${what}`)), WAIT_MS);
  });
  return Promise.race([promise, timeout]).finally(() => clearTimeout(timer));
}

// A queue of values that tests wait on one by one.
function queue() {
  const items = [];
  const waiters = [];
  return {
    push(item) {
      const waiter = waiters.shift();
      if (waiter) waiter(item);
      else items.push(item);
    },
    next(what) {
      if (items.length) return Promise.resolve(items.shift());
      return withTimeout(new Promise((resolve) => waiters.push(resolve)), what);
    },
    get length() {
      return items.length;
    },
  };
}

// Starts the server; the child is killed when the test ends, however it ends.
function start(t) {
  assert.ok(SERVER, 'VOKRA_LSP names the server binary');
  const child = spawn(SERVER, [], { stdio: ['pipe', 'pipe', 'pipe'] });
  let stderr = '';
  child.stderr.on('data', (data) => (stderr += data));
  child.stdin.on('error', () => {});
  const status = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  t.after(() => child.kill('SIGKILL'));
  return {
    child,
    stderr: () => stderr,
    status: () => withTimeout(status, 'the server to exit'),
  };
}

// A protocol connection over a server child's standard streams; the
// diagnostics it publishes go to `diagnostics`, anything with a `push`.
function listen(child, diagnostics) {
  const connection = createProtocolConnection(
    new StreamMessageReader(child.stdout),
    new StreamMessageWriter(child.stdin),
  );
  connection.onNotification(PublishDiagnosticsNotification.type, (params) => diagnostics.push(params));
  connection.onError(() => {});
  connection.listen();
  return connection;
}

// The opening handshake; resolves to the server's answer to initialize.
async function handshake(connection, request = (type, params) => connection.sendRequest(type, params)) {
  const result = await request(InitializeRequest.type, { processId: null, rootUri: null, capabilities: {} });
  await connection.sendNotification(InitializedNotification.type, {});
  return result;
}

function connect(t) {
  const server = start(t);
  const diagnostics = queue();
  const connection = listen(server.child, diagnostics);
  t.after(() => connection.dispose());
  const request = (type, params) => withTimeout(connection.sendRequest(type, params), 'a response');
  return { server, connection, diagnostics, request };
}

async function initialized(t) {
  const session = connect(t);
  const result = await handshake(session.connection, session.request);
  return { ...session, result };
}

const open = (session, text, uri = URI) =>
  session.connection.sendNotification(DidOpenTextDocumentNotification.type, {
    textDocument: { uri, languageId: 'vokra', version: 1, text },
  });

const change = (session, texts, uri = URI) =>
  session.connection.sendNotification(DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 2 },
    contentChanges: texts.map((text) => ({ text })),
  });

// Every message the server sent before the answer to this request has been
// taken in by the time it resolves.
const roundTrip = (session) => session.request('vokra/unknown', {});

const diagnostic = (line, start, end, message) => ({
  range: { start: { line, character: start }, end: { line, character: end } },
  severity: 1,
  source: 'Вокра',
  message,
});

module.exports = {
  URI,
  CAPABILITIES,
  withTimeout,
  queue,
  start,
  listen,
  handshake,
  connect,
  initialized,
  open,
  change,
  roundTrip,
  diagnostic,
};
