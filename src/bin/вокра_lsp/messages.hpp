// Every text the language server writes of its own: the prefix of its one
// line on standard error, the source name of its diagnostics, and the
// descriptions of the failures that end it or that it answers with an error.
// They are formats checked when the code that fills them compiles.
#pragma once

#include <fmt/format.h>

namespace vokra::lsp::сообщения {

inline constexpr auto ошибка_сервера = FMT_STRING("Error: {}");
inline constexpr auto управляющий_символ = FMT_STRING("\\u{{{:x}}}");
inline constexpr auto источник_диагностик = FMT_STRING("Вокра");
// The analyser's errors carry no position of their own.
inline constexpr auto без_точной_позиции = FMT_STRING("[без точной позиции] {}");
// A check that ran out of memory; the server goes on with the next message.
inline constexpr auto нехватка_памяти = FMT_STRING("документ не проверен: не хватило памяти");
// A check that went deeper than the stack it may take; the same.
inline constexpr auto слишком_глубоко =
    FMT_STRING("документ не проверен: слишком глубокая вложенность");

// Framing of the incoming stream.
inline constexpr auto неверный_заголовок = FMT_STRING("неверный заголовок сообщения: {}");
inline constexpr auto длинный_заголовок =
    FMT_STRING("строка заголовка сообщения длиннее {} байт: {}");
inline constexpr auto начало_строки = FMT_STRING("{}…");
inline constexpr auto нет_длины = FMT_STRING("в заголовках сообщения нет Content-Length");
inline constexpr auto обрыв_заголовков = FMT_STRING("ввод оборвался посреди заголовков сообщения");
inline constexpr auto короткое_тело = FMT_STRING("ввод оборвался: тело сообщения короче {} байт");
inline constexpr auto ошибка_чтения = FMT_STRING("не удалось прочитать стандартный ввод");
inline constexpr auto поток_не_запущен = FMT_STRING("не удалось запустить рабочий поток: {}");
inline constexpr auto ошибка_записи = FMT_STRING("не удалось записать в стандартный вывод");
inline constexpr auto отправка_невозможна =
    FMT_STRING("не удалось отправить сообщение: вывод закрыт");

// Handshakes.
inline constexpr auto ожидался_initialize = FMT_STRING("ожидался запрос initialize, а пришло: {}");
inline constexpr auto ввод_закончился_до_инициализации =
    FMT_STRING("ввод закончился до завершения инициализации");
inline constexpr auto неверные_параметры_инициализации =
    FMT_STRING("неверные параметры initialize: {}");
inline constexpr auto ожидался_initialized =
    FMT_STRING("ожидалось уведомление initialized, а пришло: {}");
inline constexpr auto ожидался_exit =
    FMT_STRING("после shutdown ожидалось уведомление exit, а пришло: {}");
inline constexpr auto exit_не_пришёл =
    FMT_STRING("уведомление exit не пришло за 30 секунд после shutdown");
inline constexpr auto ввод_закончился_до_exit =
    FMT_STRING("ввод закончился после shutdown, до exit");

// Messages named inside the texts above.
inline constexpr auto запрос = FMT_STRING("запрос «{}»");
inline constexpr auto уведомление = FMT_STRING("уведомление «{}»");
inline constexpr auto ответ = FMT_STRING("ответ");

// Answers with an error.
inline constexpr auto неверные_параметры_запроса = FMT_STRING("неверные параметры {}: {}");
// A request whose work ran out of memory; the server goes on.
inline constexpr auto запрос_без_памяти = FMT_STRING("запрос не выполнен: не хватило памяти");

// Parameters that do not decode.
inline constexpr auto ожидался_объект = FMT_STRING("ожидался объект");
inline constexpr auto ожидался_массив = FMT_STRING("ожидался массив");
inline constexpr auto ожидался_текст = FMT_STRING("ожидался текст");
inline constexpr auto ожидалось_целое = FMT_STRING("ожидалось целое число от {} до {}");
inline constexpr auto нет_поля = FMT_STRING("нет поля «{}»");
inline constexpr auto в_поле = FMT_STRING("«{}»: {}");
inline constexpr auto неверный_uri = FMT_STRING("неверный URI «{}»");

// Hover, completion and definition: signatures and details of declarations.
// In the hover texts "\n" is a line feed.
inline constexpr auto параметр = FMT_STRING("{} {}");
inline constexpr auto поле = FMT_STRING("    {} {};");
inline constexpr auto тип_возврата = FMT_STRING(": {}");
inline constexpr auto подсказка = FMT_STRING("**{}**\n\n{}");
inline constexpr auto подсказка_с_примером = FMT_STRING("**{}**\n\n{}\n\n{}");
inline constexpr auto структура = FMT_STRING("```\nструктура {}\n{}\nконец\n```");
inline constexpr auto метод = FMT_STRING("```\n{}.{}({}){}\n```");
inline constexpr auto функция = FMT_STRING("```\nфункция {}({}){}\n```");
inline constexpr auto деталь_структуры = FMT_STRING("структура ({} полей)");
// The second hole holds the return type as тип_возврата writes it, or nothing.
inline constexpr auto деталь_функции = FMT_STRING("функция({}){}");
inline constexpr auto деталь_контракта = FMT_STRING("контракт ({} метод(ов))");
inline constexpr auto деталь_внешней_функции = FMT_STRING("внешняя функция({}){}");

}  // namespace vokra::lsp::сообщения
