// The whole check of a source text, lexer, parser and analyser, as the
// language server runs it: every node belongs to the main file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support.hpp"

namespace vokra::semantic::тест {

// "ok", or the error as "строка: сообщение", or the message alone when it
// arose outside every statement.
inline std::string итог_в_тексте(const Итог<void>& итог) {
    if (итог)
        return "ok";
    const auto& ошибка = итог.error();
    return ошибка.строка ? std::to_string(*ошибка.строка) + ": " + ошибка.сообщение
                         : ошибка.сообщение;
}

// The check's result as итог_в_тексте gives it; the check runs on
// `анализатор` when one is given.
inline std::string проверка(std::string_view текст, const Модули& модули = {},
                            std::optional<std::vector<std::optional<std::string>>> модуль_узла = {},
                            СемантическийАнализатор* анализатор = nullptr) {
    auto п = парсер(текст);
    auto узлы = п.разобрать_программу();
    if (!узлы)
        return "синтаксис: " + узлы.error().сообщение;
    if (!модуль_узла)
        модуль_узла.emplace(узлы->size());
    auto свой = СемантическийАнализатор::новый();
    const auto итог = итог_в_тексте(
        (анализатор ? *анализатор : свой).проверить_программу(*узлы, модули, *модуль_узла));
    // The check that frees each body once checked must end the same way on
    // every text: nothing may read a body after it was freed.
    auto освобождаемые = *узлы;
    EXPECT_EQ(итог_в_тексте(СемантическийАнализатор::новый().проверить_программу_освобождая_тела(
                  освобождаемые, модули, *модуль_узла)),
              итог)
        << текст;
    return итог;
}

inline void проверить_случаи(std::initializer_list<Случай> случаи) {
    for (const auto& [текст, итог] : случаи)
        EXPECT_EQ(проверка(текст), итог) << текст;
}

}  // namespace vokra::semantic::тест
