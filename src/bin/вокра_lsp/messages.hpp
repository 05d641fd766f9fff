// Every text the language server writes of its own: the prefix of its one
// line on standard error, the source name of its diagnostics, and the
// descriptions of the failures that end it or that it answers with an error.
#pragma once

namespace вокра_lsp::сообщения {

inline constexpr const char* префикс_ошибки = "Error: ";
inline constexpr const char* источник_диагностик = "Вокра";
// The analyser's errors carry no position of their own.
inline constexpr const char* без_точной_позиции = "[без точной позиции] {}";

// Framing of the incoming stream.
inline constexpr const char* неверный_заголовок = "неверный заголовок сообщения: {}";
inline constexpr const char* нет_длины = "в заголовках сообщения нет Content-Length";
inline constexpr const char* обрыв_заголовков = "ввод оборвался посреди заголовков сообщения";
inline constexpr const char* короткое_тело = "ввод оборвался: тело сообщения короче {} байт";
inline constexpr const char* ошибка_чтения = "не удалось прочитать стандартный ввод";
inline constexpr const char* ошибка_записи = "не удалось записать в стандартный вывод";
inline constexpr const char* отправка_невозможна = "не удалось отправить сообщение: вывод закрыт";

// Handshakes.
inline constexpr const char* ожидался_initialize = "ожидался запрос initialize, а пришло: {}";
inline constexpr const char* ввод_закончился_до_инициализации =
    "ввод закончился до завершения инициализации";
inline constexpr const char* неверные_параметры_инициализации = "неверные параметры initialize: {}";
inline constexpr const char* ожидался_initialized =
    "ожидалось уведомление initialized, а пришло: {}";
inline constexpr const char* ожидался_exit =
    "после shutdown ожидалось уведомление exit, а пришло: {}";
inline constexpr const char* exit_не_пришёл =
    "уведомление exit не пришло за 30 секунд после shutdown";
inline constexpr const char* ввод_закончился_до_exit = "ввод закончился после shutdown, до exit";

// Messages named inside the texts above.
inline constexpr const char* запрос = "запрос «{}»";
inline constexpr const char* уведомление = "уведомление «{}»";
inline constexpr const char* ответ = "ответ";

// Answers with an error.
inline constexpr const char* неверные_параметры_запроса = "неверные параметры {}: {}";

// Parameters that do not decode.
inline constexpr const char* ожидался_объект = "ожидался объект";
inline constexpr const char* ожидался_массив = "ожидался массив";
inline constexpr const char* ожидался_текст = "ожидался текст";
inline constexpr const char* ожидалось_целое = "ожидалось целое число от {} до {}";
inline constexpr const char* нет_поля = "нет поля «{}»";
inline constexpr const char* в_поле = "«{}»: {}";
inline constexpr const char* неверный_uri = "неверный URI «{}»";

// Hover, completion and definition: signatures and details of declarations.
// In the hover texts "\n" is a line feed.
inline constexpr const char* параметр = "{} {}";
inline constexpr const char* поле = "    {} {};";
inline constexpr const char* тип_возврата = ": {}";
inline constexpr const char* подсказка = "**{}**\n\n{}";
inline constexpr const char* подсказка_с_примером = "**{}**\n\n{}\n\n{}";
inline constexpr const char* структура = "```\nструктура {}\n{}\nконец\n```";
inline constexpr const char* метод = "```\n{}.{}({}){}\n```";
inline constexpr const char* функция = "```\nфункция {}({}){}\n```";
inline constexpr const char* деталь_структуры = "структура ({} полей)";
inline constexpr const char* деталь_функции = "функция({})";
inline constexpr const char* деталь_функции_с_типом = "функция({}): {}";
inline constexpr const char* деталь_контракта = "контракт ({} метод(ов))";
inline constexpr const char* деталь_внешней_функции = "внешняя функция({})";
inline constexpr const char* деталь_внешней_функции_с_типом = "внешняя функция({}): {}";

}  // namespace вокра_lsp::сообщения
