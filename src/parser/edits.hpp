// Edits that rewrite an older spelling into the current one, recorded by the
// parser only when asked to. Every position is an index into the parser's
// token list, not a character offset.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace vokra::parser {

struct Правка {
    // Put текст in place of the token at позиция.
    struct Заменить {
        std::string текст;
        std::size_t позиция;
        bool признак_пунктуации;
        bool признак_разделителя;
        bool признак_скобки;
        bool operator==(const Заменить&) const = default;
    };
    // Drop the token at позиция.
    struct Удалить {
        std::size_t позиция;
        bool признак;
        bool operator==(const Удалить&) const = default;
    };
    struct ВставитьПеред {
        std::string текст;
        std::size_t позиция;
        std::size_t охват;
        bool operator==(const ВставитьПеред&) const = default;
    };
    struct ВставитьПосле {
        std::string текст;
        std::size_t позиция;
        std::size_t охват;
        bool operator==(const ВставитьПосле&) const = default;
    };
    // The `иначе` at позиция whose `если` starts on a later line.
    struct ИначеЕслиНаНовойСтроке {
        std::size_t позиция;
        bool operator==(const ИначеЕслиНаНовойСтроке&) const = default;
    };
    // An angle-bracket list: its `<`, its `>` and the commas between them.
    struct УгловыеСкобки {
        std::vector<std::size_t> запятые;
        std::size_t позиция_открытия;
        std::size_t позиция_закрытия;
        bool объявление;
        bool operator==(const УгловыеСкобки&) const = default;
    };

    std::variant<Заменить, Удалить, ВставитьПеред, ВставитьПосле, ИначеЕслиНаНовойСтроке,
                 УгловыеСкобки>
        вид;
    bool operator==(const Правка&) const = default;
};

}  // namespace vokra::parser
