// Helpers shared by the grammar files of the parser: error propagation, the
// guards that restore flags and nesting depth on every exit, errors included.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "ast/stack.hpp"
#include "parser/chunked_list.hpp"
#include "parser/parser.hpp"

// Returns the error of a failed step from the enclosing grammar method.
#define ПОПЫТКА(шаг)                                             \
    do {                                                         \
        if (auto итог_шага = (шаг); !итог_шага)                  \
            return tl::unexpected(std::move(итог_шага.error())); \
    } while (false)

// Declares `имя` naming the value of a step in place, or returns its error.
// It is a reference, so it is not moved implicitly: return it with std::move.
#define ВЗЯТЬ(имя, шаг)                                       \
    auto имя##_итог = (шаг);                                  \
    if (!имя##_итог)                                          \
        return tl::unexpected(std::move(имя##_итог.error())); \
    auto& имя = *имя##_итог

namespace vokra::parser {

// Restores a flag of the parser when the scope ends.
struct СохранённыйФлаг {
    bool& флаг;
    bool старое;

    explicit СохранённыйФлаг(bool& ф) : флаг(ф), старое(ф) {}
    СохранённыйФлаг(const СохранённыйФлаг&) = delete;
    СохранённыйФлаг& operator=(const СохранённыйФлаг&) = delete;
    ~СохранённыйФлаг() { флаг = старое; }
};

// One speculative read, open while the guard lives.
struct ОткрытаяПопытка {
    Парсер& парсер;

    explicit ОткрытаяПопытка(Парсер& п) : парсер(п) { ++парсер.открытых_попыток; }
    ОткрытаяПопытка(const ОткрытаяПопытка&) = delete;
    ОткрытаяПопытка& operator=(const ОткрытаяПопытка&) = delete;
    ~ОткрытаяПопытка() { --парсер.открытых_попыток; }
};

// Levels of nesting opened by one grammar method; closed when it returns.
struct Вложенность {
    Парсер& парсер;
    std::size_t открыто = 0;

    explicit Вложенность(Парсер& п) : парсер(п) {}
    Вложенность(const Вложенность&) = delete;
    Вложенность& operator=(const Вложенность&) = delete;
    ~Вложенность() { парсер.глубина -= открыто; }

    // One level deeper; an error past the nesting limit or the stack's. Every
    // level of every nest takes this step, so it stays in its caller and the
    // error is made out of line.
    [[gnu::always_inline]] Итог<void> глубже() {
        ++парсер.глубина;
        ++открыто;
        парсер.наибольшая_глубина = std::max(парсер.наибольшая_глубина, парсер.глубина);
        if (парсер.глубина > предел_вложенности || ast::за_пределом_стека()) [[unlikely]]
            return за_пределом();
        return {};
    }

    // The nesting limit is told before the stack's, which is recorded.
    [[gnu::cold, gnu::noinline]] Итог<void> за_пределом() {
        if (парсер.глубина > предел_вложенности)
            return tl::unexpected(парсер.ошибка_глубины());
        ast::стек_потока.исчерпан = true;
        return tl::unexpected(парсер.ошибка_стека());
    }
};

// The result of `шаг` and how many levels of nesting it opened below the
// current one at its deepest.
template <class Шаг>
auto с_глубиной(Парсер& п, Шаг&& шаг) {
    const std::size_t было = std::exchange(п.наибольшая_глубина, п.глубина);
    const std::size_t начало = п.глубина;
    auto итог = шаг();
    const std::size_t открыто = п.наибольшая_глубина - начало;
    п.наибольшая_глубина = std::max(было, п.наибольшая_глубина);
    return std::pair{std::move(итог), открыто};
}

// Whether a read that opened `открыто` levels below where it started fits
// under the limit when started at the current level.
inline bool вмещается(const Парсер& п, std::size_t открыто) {
    return п.глубина + открыто <= предел_вложенности;
}

// The elements of one list being read (a block's statements, a call's
// arguments), gathered on a list the parser shares between all lists of the
// kind open at the current point, the innermost one's last: taken from it
// when the list closes, so it is allocated once, at its size, and dropped
// from it on every exit. A list of one tree node, what nests and chains are
// made of, keeps it here and never puts it on the shared list.
template <class T>
struct НаОбщемСписке {
    СписокКусками<T>& список;
    std::size_t начало;
    // The first element while it is the only one.
    std::optional<T> единственный;
    std::size_t число = 0;

    explicit НаОбщемСписке(СписокКусками<T>& с) : список(с), начало(с.size()) {}
    НаОбщемСписке(const НаОбщемСписке&) = delete;
    НаОбщемСписке& operator=(const НаОбщемСписке&) = delete;
    // A list that put nothing on the shared one, as a list of one node
    // does, leaves it as it found it.
    ~НаОбщемСписке() {
        if (список.size() != начало)
            список.обрезать(начало);
    }

    // The element is made in its place from its fields, not moved in.
    template <class... Поля>
    void добавить(Поля&&... поля) {
        // Plain records are no dearer to keep on the shared list.
        if constexpr (std::is_trivially_copyable_v<T>) {
            список.emplace_back(std::forward<Поля>(поля)...);
        } else if (число == 0) {
            единственный.emplace(std::forward<Поля>(поля)...);
        } else {
            if (единственный) {
                список.emplace_back(std::move(*единственный));
                единственный.reset();
            }
            список.emplace_back(std::forward<Поля>(поля)...);
        }
        ++число;
    }
    std::size_t размер() const { return число; }
    T& элемент(std::size_t номер) { return единственный ? *единственный : список[начало + номер]; }
    // The elements moved into a record's list, at their size; the record is
    // moved in once.
    template <class Запись>
    requires(!std::is_reference_v<Запись>) ast::ЗаписьСоСписком<Запись, T> взять_с(
        Запись&& запись) {
        if (единственный)
            return {std::move(запись), std::make_move_iterator(&*единственный), 1};
        return {std::move(запись), список.забирать_с(начало), размер()};
    }
    template <class Список = std::vector<T>>
    Список взять() {
        Список элементы;
        элементы.reserve(размер());
        if (единственный) {
            элементы.push_back(std::move(*единственный));
            return элементы;
        }
        for (auto из = список.забирать_с(начало); из.номер < список.size(); ++из)
            элементы.push_back(*из);
        return элементы;
    }
};

// The alternative is moved into the node once.
template <class Альтернатива>
ast::Выражение узел(Альтернатива&& альтернатива) {
    return ast::Выражение{std::forward<Альтернатива>(альтернатива)};
}

// The same, made in the place of a grammar method's result.
template <class Альтернатива>
Итог<ast::Выражение> итог_узел(Альтернатива&& альтернатива) {
    return Итог<ast::Выражение>(tl::in_place, std::forward<Альтернатива>(альтернатива));
}

// A grammar method's result made in its place, the node's alternative made
// in it from its parts over a trivial one made first: neither the
// alternative nor the node is moved on its way out, and a name is moved once
// from its token.
template <class Узел, class Альтернатива, class Заглушка, class... Части>
Итог<Узел> итог_на_месте(Части&&... части) {
    Итог<Узел> итог(tl::in_place, Заглушка{});
    итог->вид.template emplace<Альтернатива>(std::forward<Части>(части)...);
    return итог;
}

template <class Альтернатива, class... Части>
Итог<ast::Выражение> итог_узел_на_месте(Части&&... части) {
    return итог_на_месте<ast::Выражение, Альтернатива, ast::Выражение::ЦелоеЛит>(
        std::forward<Части>(части)...);
}

template <class Альтернатива, class... Части>
Итог<ast::Оператор> итог_оператор_на_месте(Части&&... части) {
    return итог_на_месте<ast::Оператор, Альтернатива, ast::Оператор::Прервать>(
        std::forward<Части>(части)...);
}

template <class Альтернатива>
ast::Тип тип(Альтернатива альтернатива) {
    return ast::Тип{std::move(альтернатива)};
}

}  // namespace vokra::parser
