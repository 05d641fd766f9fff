'use strict';
// End to end: diagnostics of the analyser, the third stage of every check.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const { URI, initialized, open, change, roundTrip, diagnostic } = require('./session');

const semantic = (message) => diagnostic(0, 0, 1, `[без точной позиции] ${message}`);

// As deep as the parser allows: the analyser walks the same depth.
const deep = (n) => `функция ф(): целое {\n${'если (да) { '.repeat(n)}вернуть 1; ${'} иначе { вернуть 2; } '.repeat(n)}}`;
// Two generic functions calling each other with ever longer types, each
// call under n calls of another function: every instance stands on the
// stack with n frames of its own.
const instances = (n) => {
  const call = (callee) => `${'f('.repeat(n)}${callee}${')'.repeat(n)}`;
  return `функция f(целое x): целое { вернуть x; }
функция а<Т>(): целое { вернуть ${call('б<Т>()')}; }
функция б<Т>(): целое { вернуть ${call('а<Список<Т>>()')}; }
функция главная() { целое x = а<целое>(); }`;
};

test('the analyser reports its first error at the start of the text', async (t) => {
  const session = await initialized(t);
  const cases = [
    {
      what: 'a type error on line 3',
      text: 'функция ф()\n    целое x = 1;\n    x = "а";\nконец',
      expect: [semantic("несовпадение типов для 'x': ожидался Целое, получено Текст")],
    },
    {
      what: 'an undeclared variable with a suggestion',
      text: 'функция ф() { целое счётчик = 1; счётчик = счтчик; }',
      expect: [semantic("переменная 'счтчик' не объявлена (может, вы имели в виду 'счётчик'?)")],
    },
    {
      what: 'a declaration error outside every body',
      text: 'структура Т { }\nструктура Т { }',
      expect: [
        semantic(
          "структура 'Т' объявлена повторно — если это подключённые файлы, проверь, что имена структур не повторяются между ними (пока у языка нет настоящих пространств имён между модулями — все подключённые файлы делят одно общее имя, см. README)",
        ),
      ],
    },
    {
      what: 'a syntax error hides a type error',
      text: 'функция ф() { целое x = "а"; }\nфункция г( {',
      expect: [diagnostic(1, 11, 12, 'ожидался тип, встретилось «{»')],
    },
    {
      what: 'calls of declared functions and built-ins',
      text: 'функция f(целое x): целое { вернуть x; }\nфункция г() { икс = f(1); вывести(икс); }',
      expect: [],
    },
    {
      what: 'instances nested deeper than the stack a check may take',
      text: instances(300),
      expect: [diagnostic(0, 0, 1, 'документ не проверен: слишком глубокая вложенность')],
    },
    { what: 'the deepest statements the parser accepts', text: deep(499), expect: [] },
    {
      what: 'the deepest expression the parser accepts',
      text: `функция ф() { целое x = ${'('.repeat(998)}1${')'.repeat(998)}; }`,
      expect: [],
    },
  ];
  await open(session, '');
  await session.diagnostics.next('the open');
  for (const c of cases) {
    await change(session, [c.text]);
    assert.deepEqual(await session.diagnostics.next(c.what), { uri: URI, diagnostics: c.expect }, c.what);
  }
  assert.equal(await roundTrip(session), null, 'the server goes on');
});
