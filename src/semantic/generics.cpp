// Generic instances: a template with each written mention of its generic
// parameters replaced by the type arguments, named by mangling, checked like
// an ordinary function or method and kept in the analyser's instance tables,
// so that each combination of template and resolved type arguments is built
// and checked once. An instance is built in its template's own nodes, which
// are put back once it is checked, so that instances checked one inside the
// other hold no copies of their templates' bodies.
#include <fmt/format.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "ast/stack.hpp"
#include "ast/walk.hpp"
#include "semantic/analyser.hpp"
#include "semantic/limits.hpp"
#include "semantic/messages.hpp"
#include "semantic/overload.hpp"

namespace vokra::semantic {

// The nodes of a template that an instance built in it replaced, each with
// what it held before, in the order replaced. Exchanging each node with what
// it held, the last first, gives the template as written, also where a later
// replacement lies inside an earlier one (a parameter replaced by a type that
// names a later parameter): the nodes below a node's root lie in boxes of
// their own and stay where they are as their root moves. Exchanging them
// again in the order made gives the instance back.
struct ЗаменыВШаблоне {
    struct Замена {
        ast::Тип* место;
        ast::Тип прежний;
        explicit Замена(ast::Тип& тип) : место(&тип), прежний(std::move(тип)) {}
    };
    std::vector<Замена> замены;

    // A failed allocation leaves the node as it was.
    void заменить(ast::Тип& тип, const ast::Тип& замена) {
        ast::Тип копия = замена;
        замены.emplace_back(тип);
        тип = std::move(копия);
    }
    void как_написано() noexcept {
        for (auto замена = замены.rbegin(); замена != замены.rend(); ++замена)
            std::swap(*замена->место, замена->прежний);
    }
    void как_в_экземпляре() noexcept {
        for (auto& замена : замены)
            std::swap(*замена.место, замена.прежний);
    }
};
static_assert(std::is_nothrow_swappable_v<ast::Тип> &&
              std::is_nothrow_move_constructible_v<ЗаменыВШаблоне::Замена>);

namespace {

// What building one instance spends and what it built, for a build that is
// bounded: the work left to all instances, charged with every node a
// replacement copies; the types in which a parameter was replaced, each
// with the first parameter replaced in it, to be measured once every
// parameter is in place; and whether a type outgrew its bound or the work
// ran out, after which nothing more is copied.
struct Учёт {
    struct Затронутый {
        std::size_t первый_параметр;
        ast::Тип* тип;
    };
    std::size_t& бюджет;
    std::string обобщение;
    bool превышен = false;
    std::size_t замен = 0;
    // The first parameter replaced in the type being walked.
    std::size_t первый_параметр = 0;
    std::vector<Затронутый> затронутые;
    // Set while the nodes replaced are a template's own, to be put back.
    ЗаменыВШаблоне* в_шаблоне = nullptr;

    Учёт(std::size_t& бюджет_экземпляров, std::string имя)
        : бюджет(бюджет_экземпляров), обобщение(std::move(имя)) {}

    bool списать(std::size_t единиц) {
        if (превышен || единиц > бюджет) {
            превышен = true;
            return false;
        }
        бюджет -= единиц;
        return true;
    }

    // Every type a replacement went into, resolved within the bounds and
    // charged with its printed length, in the order in which replacing the
    // parameters one after the other would first reach them: by the first
    // parameter replaced in them, then in the order of the walk. The first
    // generic whose mangled name outgrows the bound is named; any other
    // excess names the generic being instantiated.
    Итог<void> измерить() {
        auto затронутые_типы = std::exchange(затронутые, {});
        std::ranges::stable_sort(затронутые_типы, {}, &Затронутый::первый_параметр);
        for (const auto& [параметр, тип] : затронутые_типы) {
            if (превышен)
                break;
            auto решённый = преобразовать_тип_в_пределе(*тип, предел_длины_типа);
            if (!решённый)
                return превышен_предел(решённый.error());
            const auto длина = длина_в_тексте(*решённый, предел_длины_типа);
            if (!длина || !списать(*длина))
                превышен = true;
        }
        if (превышен)
            return превышен_предел(обобщение);
        return {};
    }
};

// One generic parameter and the written type that takes its place.
struct Подстановка {
    std::string_view параметр;
    const ast::Тип& замена;
    std::size_t узлов_замены = 1;
};

// The generic parameters of a template with the written types that take
// their places, replaced as if one after the other in declaration order,
// each over the result of the one before, so that a replacement that names
// a later parameter is replaced again; yet in one walk, which reads each
// node once however many parameters there are: a mention takes the type of
// the first parameter of its name, and the type it takes is walked again
// for the later parameters only. With the build's bookkeeping when it is
// bounded.
struct Подстановки {
    std::vector<Подстановка> по_порядку;
    // Where each name stands among several parameters, in order.
    std::unordered_map<std::string_view, std::vector<std::size_t>, ХешКлюча> места;
    Учёт* учёт = nullptr;
    // The walk's own list of the right operands of binary operators whose
    // left is being walked, innermost last; not part of what is replaced.
    mutable std::vector<ast::Выражение*> правые;

    Подстановки(std::vector<Подстановка> подстановки, Учёт* учёт_построения)
        : по_порядку(std::move(подстановки)), учёт(учёт_построения) {
        if (по_порядку.size() > 1)
            for (std::size_t номер = 0; номер < по_порядку.size(); ++номер)
                места[по_порядку[номер].параметр].push_back(номер);
    }

    // The first parameter from `с` on that the name names, if any.
    std::optional<std::size_t> найти(std::string_view имя, std::size_t с) const {
        if (по_порядку.size() == 1) {
            if (с == 0 && имя == по_порядку.front().параметр)
                return 0;
            return std::nullopt;
        }
        const auto найдены = места.find(имя);
        if (найдены == места.end())
            return std::nullopt;
        const auto место = std::ranges::lower_bound(найдены->second, с);
        if (место == найдены->second.end())
            return std::nullopt;
        return *место;
    }
};

// The scalar types carry nothing to substitute.
template <class T>
concept СкалярныйТип = std::is_empty_v<T>;

// The walks below change the nodes they are given: the public functions copy
// their input once, an instance is built in its template's own nodes, and
// several parameters are replaced one after the other over the same nodes.
// Past the stack's limit they go no deeper; the check they are part of ends
// with that stop.
void в_выражении(ast::Выражение& выражение, const Подстановки& п);
void в_узле_выражения(ast::Выражение& узел, const Подстановки& п);
void в_блоке(ast::Блок& блок, const Подстановки& п);

// The nodes of the type once every parameter from `с` on is replaced in it.
// A build that is bounded charges each replacement with the nodes it
// copies. A mention replaced by a type is read again as that type, for the
// parameters after the one replaced, in the same frame.
std::size_t в_типе(ast::Тип& тип, const Подстановки& п, std::size_t с = 0) {
    using Т = ast::Тип;
    if (ast::стек_исчерпан()) [[unlikely]]
        return 1;
    for (;;) {
        std::size_t узлов = 1;
        const auto внутри = [&](ast::Тип& внутренний) {
            узлов += в_типе(внутренний, п, с);
            return std::optional<std::size_t>();
        };
        const auto параметр =
            std::visit(Перегрузка{
                           [](const СкалярныйТип auto&) { return std::optional<std::size_t>(); },
                           [&](const Т::Пользовательский& т) { return п.найти(т.имя, с); },
                           [&](Т::Обобщённый& т) {
                               for (auto& аргумент : т.параметры())
                                   внутри(аргумент);
                               return std::optional<std::size_t>();
                           },
                           [&](Т::Массив& т) { return внутри(*т.элемент); },
                           [&](Т::Опциональный& т) { return внутри(*т.тип); },
                           [&](Т::Результат& т) { return внутри(*т.тип); },
                           [&](Т::Канал& т) { return внутри(*т.тип); },
                       },
                       тип.вид);
        if (!параметр)
            return узлов;
        const auto& подстановка = п.по_порядку[*параметр];
        if (п.учёт == nullptr) {
            тип = подстановка.замена;
        } else {
            if (!п.учёт->списать(подстановка.узлов_замены))
                return узлов;
            ++п.учёт->замен;
            п.учёт->первый_параметр = std::min(п.учёт->первый_параметр, *параметр);
            if (п.учёт->в_шаблоне != nullptr)
                п.учёт->в_шаблоне->заменить(тип, подстановка.замена);
            else
                тип = подстановка.замена;
        }
        с = *параметр + 1;
        if (с == п.по_порядку.size())
            return подстановка.узлов_замены;
    }
}

// A type of its own (a parameter's, a field's, a declared one, a type
// argument): in a bounded build it may not outgrow предел_узлов_типа, and if
// a replacement went into it, it is measured once the build is done.
void в_типе_целиком(ast::Тип& тип, const Подстановки& п) {
    if (п.учёт == nullptr) {
        в_типе(тип, п);
        return;
    }
    const auto замен = п.учёт->замен;
    п.учёт->первый_параметр = п.по_порядку.size();
    if (в_типе(тип, п) > предел_узлов_типа)
        п.учёт->превышен = true;
    if (п.учёт->замен != замен)
        п.учёт->затронутые.push_back({п.учёт->первый_параметр, &тип});
}

void в_типах(std::span<ast::Тип> типы, const Подстановки& п) {
    for (auto& тип : типы)
        в_типе_целиком(тип, п);
}

void в_выражениях(std::span<ast::Выражение> выражения, const Подстановки& п) {
    for (auto& выражение : выражения)
        в_выражении(выражение, п);
}

void в_выражении(ast::Выражение& выражение, const Подстановки& п) {
    using В = ast::Выражение;
    // A name or a literal, as most statements and operands are, holds no
    // type: it is left at once.
    if (ast::без_детей(выражение) || ast::стек_исчерпан())
        return;
    // A prefix operator holds no type: a run of them is passed over in this
    // frame, to the operand of the last. So is the left operand of a binary
    // operator, down which its chains lean: its right operand waits in
    // п.правые until everything on its left is walked, in the recursion's
    // order with no frame per level; a name or a literal holds no type.
    const std::size_t своих_от = п.правые.size();
    for (ast::Выражение* узел = &выражение;;) {
        while (auto* унарное = std::get_if<В::Унарное>(&узел->вид))
            узел = &*унарное->операнд;
        if (auto* бинарное = std::get_if<В::Бинарное>(&узел->вид)) {
            if (!ast::без_детей(бинарное->правое()))
                п.правые.push_back(&бинарное->правое());
            узел = &бинарное->левое();
            continue;
        }
        в_узле_выражения(*узел, п);
        if (п.правые.size() == своих_от)
            return;
        узел = п.правые.back();
        п.правые.pop_back();
    }
}

// One node's children, but for what в_выражении goes down itself.
void в_узле_выражения(ast::Выражение& узел, const Подстановки& п) {
    using В = ast::Выражение;
    std::visit(Перегрузка{
                   [](В::ЦелоеЛит&) {},
                   [](В::ДробноеЛит&) {},
                   [](В::ТекстЛит&) {},
                   [&](В::ИнтерполированныйТекст& в) {
                       for (auto& фрагмент : в.фрагменты)
                           std::visit(Перегрузка{
                                          [](ast::ФрагментТекста::Текст&) {},
                                          [&](ast::ФрагментТекста::Выражение& ф) {
                                              в_выражении(ф.выражение, п);
                                          },
                                      },
                                      фрагмент.вид);
                   },
                   [](В::ВерноЛит&) {},
                   [](В::НеуказаноЛит&) {},
                   [](В::Идентификатор&) {},
                   [&](В::МассивЛит& в) { в_выражениях(в.элементы, п); },
                   [&](В::ВызовФункции& в) {
                       в_типах(в.типовые_параметры(), п);
                       в_выражениях(в.аргументы(), п);
                   },
                   [&](В::ДоступКПолю& в) { в_выражении(в.объект(), п); },
                   [&](В::ВызовМетода& в) {
                       в_выражении(в.объект(), п);
                       в_типах(в.типовые_параметры(), п);
                       в_выражениях(в.аргументы(), п);
                   },
                   [&](В::ДоступПоИндексу& в) {
                       в_выражении(*в.массив, п);
                       в_выражении(*в.индекс, п);
                   },
                   [](ast::один_из<В::Бинарное, В::Унарное> auto&) {},
                   [&](В::Проброс& в) { в_выражении(*в.значение, п); },
                   [&](В::Успех& в) { в_выражении(*в.значение, п); },
                   [&](В::Ошибка& в) { в_выражении(*в.значение, п); },
               },
               узел.вид);
}

void в_месте(ast::МестоЗаписи& место, const Подстановки& п) {
    using М = ast::МестоЗаписи;
    if (ast::стек_исчерпан()) [[unlikely]]
        return;
    std::visit(Перегрузка{
                   [](М::Переменная&) {},
                   [&](М::Поле& м) { в_месте(*м.объект, п); },
                   [&](М::Индекс& м) {
                       в_месте(*м.массив, п);
                       в_выражении(*м.индекс, п);
                   },
               },
               место.вид);
}

void в_операторе(ast::Оператор& оператор, const Подстановки& п) {
    using О = ast::Оператор;
    std::visit(Перегрузка{
                   [&](О::ОбъявлениеПеременной& о) {
                       в_типе_целиком(о.тип(), п);
                       в_выражении(о.значение(), п);
                   },
                   [&](О::ОбъявлениеНеизменной& о) {
                       в_типе_целиком(о.тип(), п);
                       в_выражении(о.значение(), п);
                   },
                   [&](О::Присваивание& о) {
                       в_месте(о.цель(), п);
                       в_выражении(о.значение(), п);
                   },
                   [&](О::ВыражениеОператор& о) { в_выражении(о.выражение, п); },
                   [&](О::Если& о) {
                       в_выражении(о.условие(), п);
                       в_блоке(о.то(), п);
                       if (о.иначе())
                           в_блоке(*о.иначе(), п);
                   },
                   [&](О::ДляКаждого& о) {
                       в_выражении(о.коллекция(), п);
                       в_блоке(о.тело(), п);
                   },
                   [&](О::Пока& о) {
                       в_выражении(о.условие(), п);
                       в_блоке(о.тело(), п);
                   },
                   [&](О::Вернуть& о) {
                       if (о.значение)
                           в_выражении(*о.значение, п);
                   },
                   [&](О::ПараллельныйБлок& о) { в_блоке(о.тело, п); },
                   [](О::Прервать&) {},
                   [](О::Продолжить&) {},
               },
               оператор.вид);
}

void в_блоке(ast::Блок& блок, const Подстановки& п) {
    if (ast::стек_исчерпан()) [[unlikely]]
        return;
    for (auto& [оператор, строка] : блок)
        в_операторе(оператор, п);
}

void в_функции(ast::ОбъявлениеФункции& функция, const Подстановки& п) {
    for (auto& параметр : функция.параметры)
        в_типе_целиком(параметр.тип, п);
    if (функция.тип_возврата)
        в_типе_целиком(*функция.тип_возврата, п);
    в_блоке(функция.тело, п);
}

// The parameters of a template paired with the written type arguments, for
// a build that is bounded.
Подстановки подстановки(const std::vector<ast::ОбобщённыйПараметр>& параметры,
                        const std::vector<ast::Тип>& аргументы, Учёт& учёт) {
    std::vector<Подстановка> пары;
    for (std::size_t номер = 0; номер < параметры.size() && номер < аргументы.size(); ++номер)
        пары.push_back({параметры[номер].имя, аргументы[номер], узлов_типа(аргументы[номер])});
    return {std::move(пары), &учёт};
}

// One parameter and its type, for a walk that is not bounded.
Подстановки одна(std::string_view параметр, const ast::Тип& замена) {
    return {{{параметр, замена}}, nullptr};
}

// A walk over the node when there is a parameter to replace.
template <class Узел, class Обход>
void подставить_все(Узел& узел, const Подстановки& подстановки, Обход обход) {
    if (!подстановки.по_порядку.empty())
        обход(узел, подстановки);
}

// An instance of a function or method: its parameters, return type and
// body with the generic parameters replaced; or the limit message when a
// type it would hold outgrows its bound or the work of instances runs out.
Итог<void> построить(ast::ОбъявлениеФункции& экземпляр, const Подстановки& подстановки,
                     Учёт& учёт) {
    подставить_все(экземпляр, подстановки, в_функции);
    return учёт.измерить();
}

// An instance built in its template's own nodes, from its first replacement
// until it is checked: its replacements stand where an instance of the same
// template made inside it (recursion through types) finds them, and a
// function bears the instance's name, which the messages of its check give.
// That inner instance is built in the same nodes: it puts the outer one's
// replacements back first, so that it starts from the template as written,
// and makes them again once it is checked, before the outer check goes on.
// Nothing else moves or frees a template's nodes while an instance stands
// in them: templates are all entered before any body is checked, and the
// check reads a body without changing it. When it goes out of scope, on
// success, on an error and on a stop past the stack's limit alike, the
// template is as it was before.
struct ВШаблоне {
    СемантическийАнализатор& анализатор;
    ПараИмён шаблон;
    ЗаменыВШаблоне замены;
    // Of the instance of the same template this one is made in, if any.
    ЗаменыВШаблоне* внешние = nullptr;
    std::string* имя = nullptr;
    std::string прежнее_имя;

    ВШаблоне(СемантическийАнализатор& а, const ПараИмён& ключ, Учёт& учёт)
        : анализатор(а), шаблон(ключ) {
        auto& стоящие = анализатор.шаблоны_на_месте[шаблон];
        внешние = std::exchange(стоящие, &замены);
        if (внешние != nullptr)
            внешние->как_написано();
        учёт.в_шаблоне = &замены;
    }
    ~ВШаблоне() {
        замены.как_написано();
        if (имя != nullptr)
            *имя = std::move(прежнее_имя);
        if (внешние != nullptr)
            внешние->как_в_экземпляре();
        if (auto* стоящие = анализатор.шаблоны_на_месте.найти(шаблон))
            *стоящие = внешние;
    }
    ВШаблоне(const ВШаблоне&) = delete;
    ВШаблоне& operator=(const ВШаблоне&) = delete;

    // The function or method takes the instance's name; it keeps its generic
    // parameters, which its check does not read.
    ast::ОбъявлениеФункции& назвать(ast::ОбъявлениеФункции& функция, std::string имя_экземпляра) {
        прежнее_имя = std::exchange(функция.имя, std::move(имя_экземпляра));
        имя = &функция.имя;
        return функция;
    }
};

// What the tables keep of an instance once it is checked: all but its body,
// which is checked where it stands and then dropped.
ast::ОбъявлениеФункции без_тела(const ast::ОбъявлениеФункции& функция) {
    return {
        .имя = функция.имя,
        .обобщённые_параметры = {},
        .параметры = функция.параметры,
        .тип_возврата = функция.тип_возврата,
        .тело = {},
        .позиция = функция.позиция,
        .видимость = функция.видимость,
    };
}

std::optional<РешённыйТип> тип_возврата(const ast::ОбъявлениеФункции& функция) {
    if (!функция.тип_возврата)
        return std::nullopt;
    return преобразовать_тип(*функция.тип_возврата);
}

СигнатураФункции сигнатура(const ast::ОбъявлениеФункции& функция) {
    СигнатураФункции итог{.параметры = {}, .тип_возврата = тип_возврата(функция)};
    for (const auto& параметр : функция.параметры)
        итог.параметры.push_back(преобразовать_тип(параметр.тип));
    return итог;
}

// The key of a template among those on the stack of instances: (structure,
// method) with an empty part for a plain function or a structure.
ПараИмён ключ_функции(const std::string& функция) {
    return {"", функция};
}
ПараИмён ключ_структуры(const std::string& структура) {
    return {структура, ""};
}

// Each instance is entered in its tables before its body is checked, so a
// body that uses its own instance again ends at once; a body that asks for
// ever new instances (a function of T that calls itself with a list of T)
// is stopped by the bounds of limits.hpp. The template's nodes are charged
// to the work of instances before its instance is built; they are counted
// at its first instance, when no instance stands in them.
Итог<void> проверить_пределы(СемантическийАнализатор& анализатор, const ПараИмён& шаблон,
                             std::string_view обобщение, std::string_view имя_экземпляра,
                             auto&& размер) {
    const auto* повторов = анализатор.шаблоны_на_стеке.найти(шаблон);
    if ((повторов != nullptr && *повторов >= предел_повторов_шаблона) ||
        анализатор.глубина_инстанциаций >= предел_вложенности ||
        анализатор.число_экземпляров >= предел_числа_экземпляров ||
        имя_экземпляра.size() > предел_длины_типа)
        return превышен_предел(обобщение);
    const auto* известный = анализатор.размеры_шаблонов.найти(шаблон);
    const std::size_t узлов =
        известный != nullptr ? *известный : анализатор.размеры_шаблонов[шаблон] = размер();
    if (узлов > анализатор.бюджет_инстанциаций)
        return превышен_предел(обобщение);
    анализатор.бюджет_инстанциаций -= узлов;
    return {};
}

// Counts one instance as made and its template as standing among the
// instances being checked until it goes out of scope.
struct Вложенность {
    СемантическийАнализатор& анализатор;
    ПараИмён шаблон;
    Вложенность(СемантическийАнализатор& а, ПараИмён ключ)
        : анализатор(а), шаблон(std::move(ключ)) {
        ++анализатор.глубина_инстанциаций;
        ++анализатор.число_экземпляров;
        ++анализатор.шаблоны_на_стеке[шаблон];
    }
    ~Вложенность() {
        --анализатор.глубина_инстанциаций;
        --анализатор.шаблоны_на_стеке[шаблон];
    }
    Вложенность(const Вложенность&) = delete;
    Вложенность& operator=(const Вложенность&) = delete;
};

// Checks an instance body as a body of its own: on a fresh stack of scopes,
// outside every loop, collecting its assignment records in a list of its own.
// The instance is made wherever a call first uses it, and its body must see
// nothing of the body that stands there. The state of that body is put back
// afterwards; the result is the list the instance's check collected.
template <class Проверка>
Итог<Присваивания> проверить_отдельно(СемантическийАнализатор& анализатор, Проверка проверка) {
    auto области = std::exchange(анализатор.области, СтекОбластей{});
    анализатор.области.войти();
    const auto глубина_циклов = std::exchange(анализатор.глубина_циклов, 0);
    auto присваивания = std::exchange(анализатор.разрешённые_присваивания, {});
    auto тип_возврата = std::exchange(анализатор.текущий_тип_возврата, std::nullopt);
    auto структура = std::exchange(анализатор.текущая_структура, std::nullopt);

    auto итог = проверка();

    auto собранные = std::exchange(анализатор.разрешённые_присваивания, std::move(присваивания));
    анализатор.области = std::move(области);
    анализатор.глубина_циклов = глубина_циклов;
    анализатор.текущий_тип_возврата = std::move(тип_возврата);
    анализатор.текущая_структура = std::move(структура);
    if (!итог)
        return tl::unexpected(std::move(итог.error()));
    return собранные;
}

std::string имена_параметров(const std::vector<ast::ОбобщённыйПараметр>& параметры) {
    std::string итог;
    for (const auto& параметр : параметры) {
        if (!итог.empty())
            итог += ", ";
        итог += параметр.имя;
    }
    return итог;
}

}  // namespace

ast::Тип подставить_тип(const ast::Тип& тип, const std::string& параметр, const ast::Тип& замена) {
    auto копия = тип;
    в_типе(копия, одна(параметр, замена));
    return копия;
}

ast::Оператор подставить_тип_в_оператор(const ast::Оператор& оператор, const std::string& параметр,
                                        const ast::Тип& замена) {
    auto копия = оператор;
    в_операторе(копия, одна(параметр, замена));
    return копия;
}

ast::Выражение подставить_тип_в_выражение(const ast::Выражение& выражение,
                                          const std::string& параметр, const ast::Тип& замена) {
    auto копия = выражение;
    в_выражении(копия, одна(параметр, замена));
    return копия;
}

ast::МестоЗаписи подставить_тип_в_место_записи(const ast::МестоЗаписи& место,
                                               const std::string& параметр,
                                               const ast::Тип& замена) {
    auto копия = место;
    в_месте(копия, одна(параметр, замена));
    return копия;
}

ast::Блок подставить_тип_в_блок(const ast::Блок& блок, const std::string& параметр,
                                const ast::Тип& замена) {
    auto копия = блок;
    в_блоке(копия, одна(параметр, замена));
    return копия;
}

Итог<std::optional<РешённыйТип>>
СемантическийАнализатор::гарантировать_инстанциацию_обобщённой_функции(const std::string& имя,
                                                                       const ast::Тип& аргумент) {
    auto ключ = std::pair{имя, преобразовать_тип(аргумент)};
    if (const auto* готовое = экземпляры_функций.найти(ключ)) {
        const auto* сигнатура = сигнатуры_экземпляров_функций.найти(*готовое);
        if (сигнатура == nullptr || !инстанцированные_функции.содержит(*готовое))
            return ошибка(fmt::format(сообщения::инстанциация_потеряна, *готовое));
        return сигнатура->тип_возврата;
    }
    auto* шаблон = обобщённые_функции.найти(имя);
    if (шаблон == nullptr)
        return ошибка(fmt::format(сообщения::обобщённая_функция_не_найдена, имя));
    auto манглированное = манглированное_имя(имя, ключ.second);
    const ПараИмён шаблон_на_стеке = ключ_функции(имя);
    if (auto предел = проверить_пределы(*this, шаблон_на_стеке, имя, манглированное,
                                        [&] { return размер_шаблона(*шаблон); });
        !предел)
        return tl::unexpected(std::move(предел.error()));

    // Only the first generic parameter is replaced: a template has exactly
    // one. The written argument is copied before an instance of this same
    // template that it may stand in puts its replacements back.
    const std::vector<ast::Тип> аргументы{аргумент};
    Учёт учёт{бюджет_инстанциаций, имя};
    const auto замены = подстановки(шаблон->обобщённые_параметры, аргументы, учёт);
    ВШаблоне в_шаблоне(*this, шаблон_на_стеке, учёт);
    auto& экземпляр = в_шаблоне.назвать(*шаблон, манглированное);
    if (auto построен = построить(экземпляр, замены, учёт); !построен)
        return tl::unexpected(std::move(построен.error()));
    auto итог = сигнатура(экземпляр);
    auto возврат = итог.тип_возврата;

    // Entered before the body is checked, so that a body calling its own
    // function with the same argument finds the instance being built.
    инстанцированные_функции.вставить(манглированное, без_тела(экземпляр));
    сигнатуры_экземпляров_функций.вставить(манглированное, std::move(итог));
    экземпляры_функций.вставить(std::move(ключ), манглированное);
    Вложенность вложенность(*this, шаблон_на_стеке);
    auto присваивания = проверить_отдельно(*this, [&] { return проверить_функцию(экземпляр); });
    if (!присваивания)
        return tl::unexpected(std::move(присваивания.error()));
    присваивания_экземпляров_функций.вставить(std::move(манглированное), std::move(*присваивания));
    return возврат;
}

Итог<СигнатураФункции> СемантическийАнализатор::гарантировать_инстанциацию_обобщённого_метода(
    const ИмяТипа& структура, const std::string& метод, const ast::Тип& аргумент) {
    auto ключ = std::pair{ЧленТипа{структура, метод}, преобразовать_тип(аргумент)};
    if (const auto* готовое = экземпляры_методов.найти(ключ)) {
        // Found by the same key, which is hashed and compared in the time
        // of the method's name and the argument's outer level.
        const auto* сигнатура = сигнатуры_экземпляров_методов.найти(ключ);
        if (сигнатура == nullptr)
            return ошибка(fmt::format(сообщения::инстанциация_метода_потеряна, *готовое));
        return *сигнатура;
    }
    auto* шаблон = обобщённые_методы.найти(ключ.first);
    if (шаблон == nullptr)
        return ошибка(fmt::format(сообщения::обобщённый_метод_не_найден, структура, метод));
    auto имя_экземпляра = манглированное_имя(метод, ключ.second);
    auto ключ_экземпляра = fmt::format("{}::{}", структура, имя_экземпляра);
    auto обобщение = fmt::format("{}.{}", структура, метод);
    const ПараИмён шаблон_на_стеке{структура.текст(), метод};
    if (auto предел = проверить_пределы(*this, шаблон_на_стеке, обобщение, ключ_экземпляра,
                                        [&] { return размер_шаблона(*шаблон); });
        !предел)
        return tl::unexpected(std::move(предел.error()));

    const std::vector<ast::Тип> аргументы{аргумент};
    Учёт учёт{бюджет_инстанциаций, std::move(обобщение)};
    const auto замены = подстановки(шаблон->обобщённые_параметры, аргументы, учёт);
    ВШаблоне в_шаблоне(*this, шаблон_на_стеке, учёт);
    auto& экземпляр = в_шаблоне.назвать(*шаблон, std::move(имя_экземпляра));
    if (auto построен = построить(экземпляр, замены, учёт); !построен)
        return tl::unexpected(std::move(построен.error()));
    auto итог = сигнатура(экземпляр);

    // Entered before the body is checked, as for functions.
    инстанцированные_методы.вставить(ключ_экземпляра, {структура.текст(), без_тела(экземпляр)});
    сигнатуры_экземпляров_методов.вставить(ключ, итог);
    Вложенность вложенность(*this, шаблон_на_стеке);
    экземпляры_методов.вставить(std::move(ключ), ключ_экземпляра);
    auto присваивания =
        проверить_отдельно(*this, [&] { return проверить_метод(структура, экземпляр); });
    if (!присваивания)
        return tl::unexpected(std::move(присваивания.error()));
    присваивания_экземпляров_методов.вставить(std::move(ключ_экземпляра), std::move(*присваивания));
    return итог;
}

Итог<РешённыйТип> СемантическийАнализатор::гарантировать_инстанциацию_обобщённой_структуры(
    const std::string& имя, const std::vector<ast::Тип>& аргументы) {
    std::vector<РешённыйТип> типы;
    for (const auto& аргумент : аргументы)
        типы.push_back(преобразовать_тип(аргумент));
    auto ключ = std::pair{имя, std::move(типы)};
    if (const auto* готовое = экземпляры_структур.найти(ключ))
        return тип_структуры(*готовое);
    auto* найденный = обобщённые_структуры.найти(имя);
    if (найденный == nullptr)
        return ошибка(fmt::format(сообщения::обобщённая_структура_не_найдена, имя));
    const auto& параметры = найденный->обобщённые_параметры;
    if (параметры.size() != аргументы.size())
        return ошибка(fmt::format(сообщения::число_типовых_параметров, имя, параметры.size(),
                                  аргументы.size(), имя, имена_параметров(параметры)));
    auto имя_экземпляра = манглированное_имя_многих(имя, ключ.second);
    const ИмяТипа тип_экземпляра = имя_экземпляра;
    // Templates are entered only before any body is checked, so the
    // template stays in place while its instance is made and checked.
    ast::ОбъявлениеСтруктуры& шаблон = *найденный;
    const ПараИмён шаблон_на_стеке = ключ_структуры(имя);
    if (auto предел = проверить_пределы(*this, шаблон_на_стеке, имя, имя_экземпляра,
                                        [&] { return размер_шаблона(шаблон); });
        !предел)
        return tl::unexpected(std::move(предел.error()));
    // The written arguments may stand in an instance of this same template,
    // whose replacements are put back while this one is built: they are
    // taken as they read now.
    const std::vector<ast::Тип> написанные = аргументы;
    Учёт учёт{бюджет_инстанциаций, имя};
    const auto замены = подстановки(шаблон.обобщённые_параметры, написанные, учёт);

    // The fields are replaced in copies of their types, the methods in the
    // template's own ones.
    std::vector<ПолеТипа> поля;
    for (const auto& поле : шаблон.поля) {
        auto тип = поле.тип;
        подставить_все(тип, замены, в_типе_целиком);
        if (auto измерено = учёт.измерить(); !измерено)
            return tl::unexpected(std::move(измерено.error()));
        поля.push_back({поле.имя, преобразовать_тип(тип)});
    }
    поля_структур.вставить(тип_экземпляра, std::move(поля));
    for (const auto& поле : шаблон.поля)
        видимость_полей.вставить({тип_экземпляра, поле.имя},
                                 поле.видимость.value_or(ast::Видимость::Публично));

    // The signatures of all methods are entered before any body is checked,
    // so that a method may call a method declared after it. The errors keep
    // their order all the same: a method that cannot be instantiated ends the
    // registration here, and its error is returned at its own turn, after the
    // bodies of the methods before it have been checked.
    ВШаблоне в_шаблоне(*this, шаблон_на_стеке, учёт);
    std::vector<const ast::ОбъявлениеФункции*> методы;
    std::vector<ast::ОбъявлениеФункции> заголовки_методов;
    std::optional<std::string> отказ;
    for (auto& метод : шаблон.методы) {
        if (!метод.обобщённые_параметры.empty()) {
            отказ = fmt::format(сообщения::обобщённый_метод_в_обобщённой_структуре, имя, метод.имя);
            break;
        }
        if (сигнатуры_методов.содержит({тип_экземпляра, метод.имя})) {
            отказ =
                fmt::format(сообщения::метод_инстанциирован_повторно, имя_экземпляра, метод.имя);
            break;
        }
        if (auto построен = построить(метод, замены, учёт); !построен)
            return tl::unexpected(std::move(построен.error()));
        auto [параметры_метода, возврат] = сигнатура(метод);
        сигнатуры_методов.вставить(
            {тип_экземпляра, метод.имя},
            {std::move(параметры_метода), std::move(возврат), метод.видимость});
        заголовки_методов.push_back(без_тела(метод));
        методы.push_back(&метод);
    }

    // The instance is entered before its methods are checked, so that a method
    // that builds its own structure with the same arguments finds it.
    инстанцированные_структуры.вставить(имя_экземпляра, ast::ОбъявлениеСтруктуры{
                                                            .имя = имя_экземпляра,
                                                            .обобщённые_параметры = {},
                                                            .контракты = {},
                                                            .поля = шаблон.поля,
                                                            .методы = std::move(заголовки_методов),
                                                            .позиция = шаблон.позиция,
                                                        });
    экземпляры_структур.вставить(std::move(ключ), имя_экземпляра);
    Вложенность вложенность(*this, шаблон_на_стеке);
    for (const auto* метод : методы) {
        auto присваивания =
            проверить_отдельно(*this, [&] { return проверить_метод(тип_экземпляра, *метод); });
        if (!присваивания)
            return tl::unexpected(std::move(присваивания.error()));
        auto& список = присваивания_по_имени[имя_экземпляра];
        список.insert(список.end(), std::make_move_iterator(присваивания->begin()),
                      std::make_move_iterator(присваивания->end()));
    }
    if (отказ)
        return ошибка(std::move(*отказ));
    return тип_структуры(тип_экземпляра);
}

}  // namespace vokra::semantic
