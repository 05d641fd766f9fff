// The semantic analyser of one parsed program: its tables, the stack of
// scopes of the body under check, and every checking operation. It is built
// empty by `новый`, filled and checked by one call of `проверить_программу`
// and then dropped; the first error ends the check and comes back as a value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ast/ast.hpp"
#include "semantic/error.hpp"
#include "semantic/table.hpp"
#include "semantic/types.hpp"

namespace vokra::semantic {

struct ИнформацияОПеременной {
    РешённыйТип собственный;
    bool неизменная = false;
    // A parameter's type is read from its function's registered signature,
    // which outlives the body's scope, instead of being copied into it.
    const РешённыйТип* из_сигнатуры = nullptr;

    const РешённыйТип& тип() const { return из_сигнатуры ? *из_сигнатуры : собственный; }
};

// The scopes of the body under check, the innermost last. The outermost one
// is made by `новый` and stays empty. Each name known to the stack has one
// record holding its live entries, the innermost last, so that a lookup
// hashes the name once and reads one entry however deep the scopes are. The
// names the scopes declared stand in one list, scope after scope, each in
// the order of its first declaration there; leaving a scope drops its part
// of the list and the last entry of each name in it.
struct СтекОбластей {
    // Enters the name into the innermost scope, replacing an entry of the
    // same name there.
    void объявить(const std::string& имя, РешённыйТип тип, bool неизменная);
    // The same for a type that lives longer than the scope.
    void объявить_по_ссылке(const std::string& имя, const РешённыйТип& тип, bool неизменная);
    // The innermost entry of the name, or none.
    const ИнформацияОПеременной* найти(const std::string& имя) const;
    // Whether the innermost scope itself holds the name.
    bool в_текущей(const std::string& имя) const;
    // The names of all scopes, the outermost scope first.
    std::vector<std::string> все_видимые_имена() const;
    void войти() { начала_областей.push_back(объявленные.size()); }
    void выйти();

  private:
    struct Вхождение {
        // The depth of the scope that holds it, 0 for the outermost.
        std::size_t глубина;
        ИнформацияОПеременной информация;
    };
    struct ЗаписьИмени {
        std::string имя;
        std::vector<Вхождение> вхождения;
    };
    // Every name ever declared, found through the index by its hash; a name
    // whose scopes have all been left keeps its record with no entries.
    std::vector<ЗаписьИмени> имена;
    ИндексЗаписей индекс;
    // Positions in `имена`: the names declared by the live scopes.
    std::vector<std::size_t> объявленные;
    // Where each live scope's part of `объявленные` begins.
    std::vector<std::size_t> начала_областей;

    void вставить(const std::string& имя, ИнформацияОПеременной информация);
    std::ptrdiff_t позиция(const std::string& имя, std::uint32_t хеш) const;
    const Вхождение* последнее(const std::string& имя) const;
};

// One per assignment statement: the type of the variable the assignment
// declared, or none when it gave a value to something that existed. The type
// is boxed, since the list holds a record for every assignment of the
// program and most declare nothing: a record is one pointer.
struct РазрешённоеПрисваивание {
    ast::Коробка<РешённыйТип> объявленный;
    const РешённыйТип* объявленный_тип() const { return объявленный.указатель.get(); }
};

// Parameter types and the optional return type of a function.
struct СигнатураФункции {
    std::vector<РешённыйТип> параметры;
    std::optional<РешённыйТип> тип_возврата;
};

// A method's signature with its visibility as written.
struct СигнатураМетода {
    std::vector<РешённыйТип> параметры;
    std::optional<РешённыйТип> тип_возврата;
    std::optional<ast::Видимость> видимость;
};

struct ПолеТипа {
    std::string имя;
    РешённыйТип тип;
};
// A structure's fields in declaration order, found by name.
using ПоляТипа = СписокПоИменам<ПолеТипа, &ПолеТипа::имя>;

// A contract's requirements in the order written, found by method name.
using ТребованияКонтракта =
    СписокПоИменам<ast::СигнатураМетодаКонтракта, &ast::СигнатураМетодаКонтракта::имя>;

using ПараИмён = std::pair<std::string, std::string>;
// The replacements an instance made in its template's own nodes (generics.cpp).
struct ЗаменыВШаблоне;
// A field or method of a structure: the structure's name and the member's.
using ЧленТипа = std::pair<ИмяТипа, std::string>;
using Присваивания = std::vector<РазрешённоеПрисваивание>;

// A name sought in the tables keyed by texts or by ИмяТипа, hashed once for
// all of them: the name of a structure hashes as its text does.
struct ИскомоеИмя {
    std::string_view текст;
    std::size_t хеш;

    explicit ИскомоеИмя(std::string_view имя) : текст(имя), хеш(хеш_текста(имя)) {}
    bool operator()(const std::string& ключ) const { return ключ == текст; }
    bool operator()(const ИмяТипа& ключ) const { return ключ.текст() == текст; }
};

// A member sought in the tables keyed by ЧленТипа, without a key built for
// it: its hash is the one ХешКлюча gives the pair.
struct ИскомыйЧлен {
    const ИмяТипа& тип;
    std::string_view член;
    std::size_t хеш;

    ИскомыйЧлен(const ИмяТипа& владелец, std::string_view имя)
        : тип(владелец), член(имя), хеш(ХешКлюча::смешать(владелец.хеш(), хеш_текста(имя))) {}
    bool operator()(const ЧленТипа& ключ) const { return ключ.first == тип && ключ.second == член; }
};
// Module name to the names of the functions it declares.
using Модули = Таблица<std::string, Множество<std::string>>;

struct СемантическийАнализатор {
    СтекОбластей области;
    Присваивания разрешённые_присваивания;
    Таблица<std::string, СигнатураФункции> сигнатуры_функций;
    Таблица<ИмяТипа, ПоляТипа> поля_структур;
    Таблица<ИмяТипа, СписокПоИменам<std::string>> контракты_структур;
    // The same pairs of structure and contract, found at once.
    Множество<std::pair<ИмяТипа, ИмяТипа>> заявленные_контракты;
    Таблица<ЧленТипа, ast::Видимость> видимость_полей;
    Множество<ЧленТипа> слабые_поля;
    Таблица<ЧленТипа, СигнатураМетода> сигнатуры_методов;
    std::optional<РешённыйТип> текущий_тип_возврата;
    std::optional<ИмяТипа> текущая_структура;
    Множество<РешённыйТип> типы_списков;
    Множество<std::pair<РешённыйТип, РешённыйТип>> типы_словарей;
    Таблица<std::string, ast::ОбъявлениеСтруктуры> обобщённые_структуры;
    // (structure, resolved type arguments) to the instance's mangled name.
    Таблица<std::pair<std::string, std::vector<РешённыйТип>>, std::string> экземпляры_структур;
    Таблица<std::string, ast::ОбъявлениеСтруктуры> инстанцированные_структуры;
    Таблица<std::string, Присваивания> присваивания_по_имени;
    Таблица<std::string, ast::ОбъявлениеФункции> обобщённые_функции;
    // (function, resolved type argument) to the instance's mangled name.
    Таблица<std::pair<std::string, РешённыйТип>, std::string> экземпляры_функций;
    Таблица<std::string, ast::ОбъявлениеФункции> инстанцированные_функции;
    Таблица<std::string, Присваивания> присваивания_экземпляров_функций;
    Таблица<ЧленТипа, ast::ОбъявлениеФункции> обобщённые_методы;
    // ((structure, method), resolved type argument) to the method instance key.
    Таблица<std::pair<ЧленТипа, РешённыйТип>, std::string> экземпляры_методов;
    // Method instance key to (structure, instance).
    Таблица<std::string, std::pair<std::string, ast::ОбъявлениеФункции>> инстанцированные_методы;
    Таблица<std::string, Присваивания> присваивания_экземпляров_методов;
    Модули модули;
    Таблица<ПараИмён, СигнатураФункции> сигнатуры_функций_модулей;
    Таблица<std::string, std::string> единственный_модуль_функции;
    Таблица<ПараИмён, std::string> имена_функций_модулей;
    Таблица<std::string, std::vector<std::string>> модули_функции;
    Таблица<ИмяТипа, ТребованияКонтракта> контракты;
    Таблица<std::string, std::string> символы_внешних_функций;
    // Each contract's requirements with their types converted, in the order
    // written, made at the contract's first use (требования_контракта).
    Таблица<ИмяТипа, std::vector<СигнатураФункции>> сигнатуры_контрактов;
    // The converted parameter and return types of every function instance
    // (by its mangled name) and method instance (by the key of
    // экземпляры_методов), made with the instance: a later use reads them
    // instead of converting them again.
    Таблица<std::string, СигнатураФункции> сигнатуры_экземпляров_функций;
    Таблица<std::pair<ЧленТипа, РешённыйТип>, СигнатураФункции> сигнатуры_экземпляров_методов;
    std::size_t глубина_циклов = 0;
    // The argument types of the calls being typed, each call's above those
    // of the calls it stands inside (calls.cpp).
    std::vector<РешённыйТип> стек_типов_аргументов;
    // What есть_приватные_поля found, by structure.
    Таблица<ИмяТипа, bool> приватные_поля_структур;
    // Instances whose bodies are being checked right now, one inside the
    // other, how often each template stands among them (keyed by structure
    // and method, the other part empty for a function or a structure), and
    // every instance made so far; the work instances may still do, and the
    // nodes of each template measured once: bounds that stop instantiation
    // that would never end or never fit (limits.hpp).
    std::size_t глубина_инстанциаций = 0;
    Таблица<ПараИмён, std::size_t> шаблоны_на_стеке;
    // For each template, what the innermost of its instances being checked
    // replaced in the template's own nodes, where it is built; none when no
    // instance of it is being checked.
    Таблица<ПараИмён, ЗаменыВШаблоне*> шаблоны_на_месте;
    std::size_t число_экземпляров = 0;
    std::size_t бюджет_инстанциаций = 0;
    Таблица<ПараИмён, std::size_t> размеры_шаблонов;

    static СемантическийАнализатор новый();

    // Declared types: a user type that names a registered contract becomes a
    // contract type; Список and Словарь resolve their arguments the same way.
    РешённыйТип разрешить_тип_параметра(const ast::Тип& тип) const;
    // Whether разрешить_тип_параметра gives the plain conversion of `тип`:
    // it does unless a contract is named where a parameter's type, a list's
    // element or a dictionary's key or value is written.
    bool разрешается_как_написано(const ast::Тип& тип) const;

    // Whole program (program.cpp). `модуль_узла` names the imported module of
    // each node; an empty entry marks the main file.
    Итог<void> проверить_программу(const std::vector<ast::ВерхнийУзел>& узлы, const Модули& модули,
                                   const std::vector<std::optional<std::string>>& модуль_узла);
    // The same check for a caller that needs nothing of the tree's bodies
    // afterwards: the template tables take the bodies of generic
    // declarations over instead of cloning them, and once the last pass is
    // past a top-level node the bodies of its functions and methods are
    // freed, so no body is held twice and the whole tree never stands beside
    // the tables filled while the bodies are checked. The tables still own
    // everything they keep.
    Итог<void> проверить_программу_освобождая_тела(
        std::vector<ast::ВерхнийУзел>& узлы, const Модули& модули,
        const std::vector<std::optional<std::string>>& модуль_узла);

    // Function and method bodies (bodies.cpp).
    // `сигнатура`, when given, is the function's registered signature: its
    // types are those of the parameters, resolved once.
    Итог<void> проверить_функцию(const ast::ОбъявлениеФункции& функция,
                                 const СигнатураФункции* сигнатура = nullptr);
    // `сигнатура`, when given, is the method's registered signature, whose
    // types are those written: a parameter is read from it unless resolving
    // it would name a contract.
    Итог<void> проверить_метод(const ИмяТипа& структура, const ast::ОбъявлениеФункции& метод,
                               const СигнатураМетода* сигнатура = nullptr);

    // Statements and assignment targets (statements.cpp).
    Итог<void> проверить_блок(const ast::Блок& блок);
    Итог<РешённыйТип> решить_тип_объявления(const ast::Тип& объявленный,
                                            const ast::Выражение& значение, const std::string& имя);
    Итог<РешённыйТип> тип_места_записи(const ast::МестоЗаписи& место);

    // Expressions (expressions.cpp).
    Итог<РешённыйТип> тип_выражения(const ast::Выражение& выражение);
    Итог<void> проверить_доступ_к_полю(const ИмяТипа& структура, const std::string& поле) const;
    // The type of a field among the structure's fields, once its visibility
    // has been checked; an error for a name that is no field. The type is
    // the one in the list, which stays in place as the tables grow.
    Итог<const РешённыйТип*> тип_доступного_поля(const ИмяТипа& структура, const ПоляТипа& поля,
                                                 const std::string& поле);
    // The type of `владелец.поле` once the owner's type is known: the one
    // rule of every field access, for callers that typed the owner already.
    // The type is read in place: in the table of the structure's fields, in
    // the owner's own nodes, or the owner itself; so it lives as long as
    // the owner does, and a chain of accesses copies no type per level.
    Итог<const РешённыйТип*> тип_поля_значения(const РешённыйТип& владелец,
                                               const std::string& поле);
    // Whether a structure has a field that is not public: found from
    // видимость_полей at the structure's first field access and kept, so a
    // field of a structure without one is read with no look at its
    // visibility. A structure's fields and their visibility are entered
    // together, before any of its fields can be reached.
    bool есть_приватные_поля(const ИмяТипа& структура, const ПоляТипа& поля);

    // Calls by name, built-ins and module-qualified calls (calls.cpp).
    Итог<РешённыйТип> тип_вызова_функции(const ast::Выражение::ВызовФункции& вызов);
    Итог<РешённыйТип> тип_вызова_из_модуля(const std::string& модуль,
                                           const ast::Выражение::ВызовМетода& вызов);
    // Whether the structure names the contract after its `:`; a structure
    // missing from the table names none.
    bool реализует_контракт(const ИмяТипа& структура, const ИмяТипа& контракт) const;

    // Method calls and the built-in containers (methods.cpp).
    // The requirements of a registered contract with their types converted
    // once: what a call through it and a structure that declares it are
    // checked against, however often either is met. The span stays valid
    // as the table grows.
    std::span<const СигнатураФункции> требования_контракта(const ИмяТипа& контракт,
                                                           const ТребованияКонтракта& требования);
    Итог<РешённыйТип> тип_вызова_метода(const ast::Выражение::ВызовМетода& вызов);
    Итог<РешённыйТип> тип_метода_списка(const РешённыйТип& элемент, const std::string& метод,
                                        std::span<const ast::Выражение> аргументы);
    Итог<РешённыйТип> тип_метода_словаря(const РешённыйТип& ключ, const РешённыйТип& значение,
                                         const std::string& метод,
                                         std::span<const ast::Выражение> аргументы);
    Итог<РешённыйТип> тип_метода_канала(const РешённыйТип& элемент, const std::string& метод,
                                        std::span<const ast::Выражение> аргументы);

    // Generic instances (generics.cpp).
    Итог<std::optional<РешённыйТип>> гарантировать_инстанциацию_обобщённой_функции(
        const std::string& имя, const ast::Тип& аргумент);
    Итог<РешённыйТип> гарантировать_инстанциацию_обобщённой_структуры(
        const std::string& имя, const std::vector<ast::Тип>& аргументы);
    Итог<СигнатураФункции> гарантировать_инстанциацию_обобщённого_метода(const ИмяТипа& структура,
                                                                         const std::string& метод,
                                                                         const ast::Тип& аргумент);
};

// Whether a body returns a value on every path, and whether it holds a
// `прервать` of its own loop level (bodies.cpp).
bool блок_гарантирует_возврат(const ast::Блок& блок);
bool блок_содержит_прерывание(const ast::Блок& блок);

// The type of a binary operation on operands of these types, put in place
// of the left one's; that is left as it was when the operation fails
// (expressions.cpp).
Итог<void> применить_бинарную_операцию(РешённыйТип& левый, ast::БинарныйОператор оператор,
                                       const РешённыйТип& правый);

// Replacing a generic parameter by a written type in a copy of a tree
// (generics.cpp). The input is left untouched.
ast::Тип подставить_тип(const ast::Тип& тип, const std::string& параметр, const ast::Тип& замена);
ast::Оператор подставить_тип_в_оператор(const ast::Оператор& оператор, const std::string& параметр,
                                        const ast::Тип& замена);
ast::Выражение подставить_тип_в_выражение(const ast::Выражение& выражение,
                                          const std::string& параметр, const ast::Тип& замена);
ast::МестоЗаписи подставить_тип_в_место_записи(const ast::МестоЗаписи& место,
                                               const std::string& параметр, const ast::Тип& замена);
ast::Блок подставить_тип_в_блок(const ast::Блок& блок, const std::string& параметр,
                                const ast::Тип& замена);

}  // namespace vokra::semantic
