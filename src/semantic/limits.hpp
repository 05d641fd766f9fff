// The bounds that keep the check of any text within time and memory: how
// large the types built by substitution may grow, how often a template may
// stand among the instances being checked, and how much work all instances
// of a program may do, set from the program's size. Past any of them the
// instantiation stops with the limit message naming its generic.
#pragma once

#include <cstddef>
#include <vector>

#include "ast/ast.hpp"
#include "semantic/error.hpp"

namespace vokra::semantic {

// A mangled name, and the printed form of a type that substitution built,
// at most this many bytes; a type that substitution built at most this many
// nodes.
inline constexpr std::size_t предел_длины_типа = 4096;
inline constexpr std::size_t предел_узлов_типа = 4096;

// How often one template (function, structure or method) may stand among
// the instances being checked one inside the other, and how many instances
// may stand there in all: each holds frames on the check's stack.
inline constexpr std::size_t предел_повторов_шаблона = 64;
inline constexpr std::size_t предел_вложенности = 2048;
inline constexpr std::size_t предел_числа_экземпляров = 100'000;

// The work all instances may do, in units of one node of a template copied
// or one byte of the printed form of a type that substitution built: this
// many per node of the program, and this many at least.
inline constexpr std::size_t бюджет_на_узел = 2;
inline constexpr std::size_t бюджет_минимум = 200'000;

// The nodes of a program: statements, expressions, assignment targets and
// types; with `узлов_узла`, also those of each top-level node, in its
// order, which for a template are the nodes размер_шаблона counts. Fails
// with the limit message naming the generic when a written type has a
// mangled name longer than предел_длины_типа.
Итог<std::size_t> измерить_программу(const std::vector<ast::ВерхнийУзел>& узлы,
                                     std::vector<std::size_t>* узлов_узла = nullptr);

// The nodes a template's instance copies.
std::size_t размер_шаблона(const ast::ОбъявлениеФункции& функция);
std::size_t размер_шаблона(const ast::ОбъявлениеСтруктуры& структура);
std::size_t узлов_типа(const ast::Тип& тип);

// The limit message for a generic.
tl::unexpected<ОшибкаАнализатора> превышен_предел(std::string_view обобщение);

}  // namespace vokra::semantic
