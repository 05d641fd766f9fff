'use strict';
// End to end: hover, completion and go-to-definition through the protocol
// client library.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const {
  HoverRequest,
  CompletionRequest,
  DefinitionRequest,
  DidCloseTextDocumentNotification,
} = require('vscode-languageserver-protocol/node');
const { URI, initialized, open } = require('./session');

const PROGRAM = [
  'структура Точка', //                                       0
  '    целое x;',
  '    приватно слабая текст(3) имя;',
  '    функция сдвиг(ссылка Точка д, дробное шаг): Точка',
  '        вернуть д;',
  '    конец', //                                             5
  'конец',
  'структура Пусто { }',
  'функция сумма(целое а, Список из целое б): целое',
  '    вернуть а;',
  'конец', //                                                10
  'функция f()',
  'конец',
  'контракт Печать',
  '    функция печать(): текст;',
  'конец', //                                                15
  'внешняя функция puts(текст s): целое32 как "puts";',
  'подключить сеть.клиент;',
  '/* 😀 */ функция ж() конец', // a character outside the BMP before the declaration
].join('\n');

async function session(t, text = PROGRAM) {
  const s = await initialized(t);
  await open(s, text);
  await s.diagnostics.next('the diagnostics of the opened document');
  return s;
}

const at = (line, character, uri = URI) => ({ textDocument: { uri }, position: { line, character } });
const markdown = (value) => ({ contents: { kind: 'markdown', value } });

test('hover: hints first, then structures, methods and functions', async (t) => {
  const s = await session(t);
  const cases = [
    ['a keyword hint', at(0, 3), '**структура**\n\nобъявление структуры\n\nструктура Имя: поля; методы; … конец'],
    ['a type hint without example', at(16, 35), '**целое32**\n\n32-битное знаковое целое число'],
    ['a structure', at(0, 12), '```\nструктура Точка\n    целое x;\n    текст(3) имя;\nконец\n```'],
    ['an empty structure', at(7, 12), '```\nструктура Пусто\n\nконец\n```'],
    ['a method', at(3, 15), '```\nТочка.сдвиг(Точка д, дробное шаг): Точка\n```'],
    ['a function', at(8, 13), '```\nфункция сумма(целое а, Список из целое б): целое\n```'],
    ['a function without parameters or return type', at(11, 8), '```\nфункция f()\n```'],
    ['a structure named where it is used', at(3, 30), '```\nструктура Точка\n    целое x;\n    текст(3) имя;\nконец\n```'],
    // UTF-16 unit 18 is the bracket after ж; read as a code point it would be the closing bracket.
    ['a function after a character outside the BMP', at(18, 18), '```\nфункция ж()\n```'],
  ];
  for (const [what, params, value] of cases) {
    assert.deepEqual(await s.request(HoverRequest.type, params), markdown(value), what);
  }
  for (const [what, params] of [
    ['a contract', at(13, 10)],
    ['a word that is no hint and no declaration', at(16, 1)],
    ['a parameter', at(9, 12)],
    ['an import', at(17, 14)],
    ['a space at character 0', at(1, 0)],
    ['a line past the end', at(40, 0)],
    ['a document that is not open', at(0, 12, 'file:///%D0%BD%D0%B5%D1%82.kod')],
  ]) {
    assert.equal(await s.request(HoverRequest.type, params), null, what);
  }
});

test('hover on a built-in name shows the hint even when the document declares it', async (t) => {
  const s = await session(t, 'функция длина(текст т): целое\n    вернуть 0;\nконец');
  assert.deepEqual(
    await s.request(HoverRequest.type, at(0, 10)),
    markdown('**длина**\n\nдлина(текст): целое\n\nдлина текста в байтах'),
  );
});

test('completion: the 62 hints, then the declarations', async (t) => {
  const s = await session(t);
  const items = await s.request(CompletionRequest.type, at(0, 0));
  assert.ok(Array.isArray(items));
  assert.equal(items.length, 62 + 7);
  assert.deepEqual(items[0], {
    label: 'конец',
    kind: 14,
    detail: 'конец блока',
    documentation: 'закрывает функцию, структуру, если/пока/для и т.д.; после «если … иначе если … иначе» нужен один «конец»',
  });
  assert.deepEqual(items[25], { label: 'целое8', kind: 7, detail: '8-битное знаковое целое число' });
  assert.deepEqual(items[61], {
    label: 'выполнить_команду',
    kind: 3,
    detail: 'выполнить_команду(команда): результат из целое',
    documentation: 'запускает команду оболочки, возвращает код завершения',
  });
  assert.equal(items.filter((item) => !('documentation' in item)).length, 17 + 7);
  assert.deepEqual(items.slice(62), [
    { label: 'Точка', kind: 22, detail: 'структура (2 полей)' },
    { label: 'Пусто', kind: 22, detail: 'структура (0 полей)' },
    { label: 'сумма', kind: 3, detail: 'функция(целое а, Список из целое б): целое' },
    { label: 'f', kind: 3, detail: 'функция()' },
    { label: 'Печать', kind: 8, detail: 'контракт (1 метод(ов))' },
    { label: 'puts', kind: 3, detail: 'внешняя функция(текст s): целое32' },
    { label: 'ж', kind: 3, detail: 'функция()' },
  ]);

  await s.connection.sendNotification(DidCloseTextDocumentNotification.type, { textDocument: { uri: URI } });
  assert.equal((await s.request(CompletionRequest.type, at(0, 0))).length, 62, 'a closed document is empty');
});

test('completion on a text that does not parse, or not open, has the hints only', async (t) => {
  const s = await session(t, 'функция (');
  assert.equal((await s.request(CompletionRequest.type, at(0, 0))).length, 62);
  assert.equal((await s.request(CompletionRequest.type, at(0, 0, 'file:///x'))).length, 62);
});

test('definition: functions, structures and methods', async (t) => {
  const s = await session(t);
  const location = (line, character) => ({
    uri: URI,
    range: { start: { line, character }, end: { line, character } },
  });
  const cases = [
    ['a structure where it is used', at(3, 30), location(0, 0)],
    ['a method', at(3, 16), location(3, 4)],
    ['a function', at(8, 10), location(8, 0)],
    ['a function after a character outside the BMP', at(18, 18), location(18, 9)],
  ];
  for (const [what, params, expected] of cases) {
    assert.deepEqual(await s.request(DefinitionRequest.type, params), expected, what);
  }
  for (const [what, params] of [
    ['a contract', at(13, 10)],
    ['an external function', at(16, 18)],
    ['a hint word', at(4, 10)],
    ['a document that is not open', at(0, 12, 'file:///x')],
  ]) {
    assert.equal(await s.request(DefinitionRequest.type, params), null, what);
  }
});

test('hover and definition answer null on a text that does not parse', async (t) => {
  const s = await session(t, 'функция сумма(');
  assert.equal(await s.request(HoverRequest.type, at(0, 10)), null);
  assert.equal(await s.request(DefinitionRequest.type, at(0, 10)), null);
  assert.equal((await s.request(HoverRequest.type, at(0, 3))).contents.value.split('\n')[0], '**функция**');
});
