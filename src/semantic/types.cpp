#include "semantic/types.hpp"

#include <array>
#include <limits>
#include <mutex>
#include <new>
#include <span>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "ast/stack.hpp"
#include "semantic/messages.hpp"
#include "semantic/overload.hpp"
#include "semantic/table.hpp"
#include "token/debug_text.hpp"

namespace vokra::semantic {

namespace {

template <class T>
concept БезДанных = std::is_empty_v<T>;

// Printing stops once the text is longer than `предел` bytes: a caller that
// bounds the types it builds learns so without printing a huge one whole.
// It stops as well where the stack's limit is past (ast/stack.hpp), and so
// do the comparison, the hash and the conversion below: a resolved type may
// nest as deep as the statements that built it one around the other.
void напечатать(std::string& в, const РешённыйТип& тип, std::size_t предел);

void напечатать_обёртку(std::string& в, std::string_view название, const ОбщийТип& внутри,
                        std::size_t предел) {
    в += название;
    в += '(';
    напечатать(в, *внутри, предел);
    в += ')';
}

void напечатать(std::string& в, const РешённыйТип& тип, std::size_t предел) {
    using Т = РешённыйТип;
    if (в.size() > предел || ast::стек_исчерпан())
        return;
    std::visit(
        Перегрузка{
            [&]<БезДанных К>(const К&) { в += К::название; },
            [&](const Т::Структура& с) {
                в += fmt::format("Структура({})", отладка_текста(с.имя.текст()));
            },
            [&](const Т::Контракт& к) {
                в += fmt::format("Контракт({})", отладка_текста(к.имя.текст()));
            },
            [&](const Т::Массив& м) {
                в += "Массив { элемент: ";
                напечатать(в, *м.элемент, предел);
                в += fmt::format(", размер: {} }}", м.размер);
            },
            [&](const Т::Результат& р) { напечатать_обёртку(в, р.название, р.тип, предел); },
            [&](const Т::Список& с) { напечатать_обёртку(в, с.название, с.элемент, предел); },
            [&](const Т::Канал& к) { напечатать_обёртку(в, к.название, к.элемент, предел); },
            [&](const Т::Опциональный& о) { напечатать_обёртку(в, о.название, о.тип, предел); },
            [&](const Т::Словарь& с) {
                в += "Словарь(";
                напечатать(в, *с.ключ, предел);
                в += ", ";
                напечатать(в, *с.значение, предел);
                в += ')';
            },
        },
        тип.вид);
}

constexpr std::size_t без_предела = std::numeric_limits<std::size_t>::max();

РешённыйТип обернуть_в_список(РешённыйТип элемент) {
    return тип_списка(std::move(элемент));
}

}  // namespace

std::string в_тексте(const РешённыйТип& тип) {
    std::string в;
    напечатать(в, тип, без_предела);
    return в;
}

std::optional<std::size_t> длина_в_тексте(const РешённыйТип& тип, std::size_t предел) {
    std::string в;
    напечатать(в, тип, предел);
    if (в.size() > предел)
        return std::nullopt;
    return в.size();
}

std::string в_тексте(const std::vector<РешённыйТип>& типы) {
    std::string в = "[";
    for (std::size_t i = 0; i < типы.size(); ++i) {
        if (в.size() > предел_печати_списка)
            return в;
        if (i > 0)
            в += ", ";
        напечатать(в, типы[i], предел_печати_списка);
    }
    в += ']';
    return в;
}

std::string в_тексте(const std::optional<РешённыйТип>& тип) {
    return тип ? "Some(" + в_тексте(*тип) + ")" : "None";
}

namespace {

std::string часть_имени(const РешённыйТип& тип, std::size_t предел);

// The conversion of a written type. Past the first mangled name longer than
// `предел` bytes it builds nothing more and keeps the name of that name's
// generic in `превысило`; the type it gives is then of no use.
struct Преобразование {
    std::size_t предел = без_предела;
    std::optional<std::string> превысило;
    // Only the lengths of the mangled names are wanted: an instance outside
    // every other name is measured, not written, and stands as Неизвестен.
    bool только_длины = false;

    using А = ast::Тип;
    using Т = РешённыйТип;

    Т operator()(const ast::Тип& тип) {
        if (ast::стек_исчерпан()) [[unlikely]]
            return неизвестный_тип();
        return std::visit(*this, тип.вид);
    }

    Т operator()(const А::Целое&) { return {Т::Целое{}}; }
    Т operator()(const А::Целое8&) { return {Т::Целое8{}}; }
    Т operator()(const А::Целое16&) { return {Т::Целое16{}}; }
    Т operator()(const А::Целое32&) { return {Т::Целое32{}}; }
    Т operator()(const А::Целое64&) { return {Т::Целое64{}}; }
    Т operator()(const А::Беззнак8&) { return {Т::Беззнак8{}}; }
    Т operator()(const А::Беззнак16&) { return {Т::Беззнак16{}}; }
    Т operator()(const А::Беззнак32&) { return {Т::Беззнак32{}}; }
    Т operator()(const А::Беззнак64&) { return {Т::Беззнак64{}}; }
    Т operator()(const А::Дробное&) { return {Т::Дробное{}}; }
    Т operator()(const А::Дробное32&) { return {Т::Дробное32{}}; }
    Т operator()(const А::Дробное64&) { return {Т::Дробное64{}}; }
    Т operator()(const А::Текст&) { return {Т::Текст{}}; }
    Т operator()(const А::Верно&) { return {Т::Верно{}}; }
    Т operator()(const А::Пользовательский& п) { return тип_структуры(п.имя); }
    Т operator()(const А::Обобщённый& о) {
        if (встроенный_список(о))
            return обернуть_в_список((*this)(о.параметры()[0]));
        if (встроенный_словарь(о)) {
            auto ключ = (*this)(о.параметры()[0]);
            return {Т::Словарь{std::move(ключ), (*this)(о.параметры()[1])}};
        }
        if (!имя_экземпляра(о))
            return неизвестный_тип();
        if (только_длины) {
            std::size_t длина = 0;
            измерить_имя(длина, о);
            return неизвестный_тип();
        }
        std::string имя;
        if (!дописать_имя(имя, о))
            return неизвестный_тип();
        return тип_структуры(std::move(имя));
    }

    // Appends the mangled name of `о` to `в`. The part of an argument that
    // is itself such an instance is its name, so it is written in place
    // rather than built apart and copied at every level: a name nested N
    // deep costs its length, not N times it. Arguments are gone through in
    // order and each name is measured once complete, so the generic kept
    // in `превысило` is the same first one as if every argument were
    // converted before its name; false once one is kept.
    bool дописать_имя(std::string& в, const А::Обобщённый& о) {
        if (превысило)
            return false;
        const std::size_t начало = в.size();
        в += о.имя();
        в += "__";
        for (std::size_t i = 0; i < о.параметры().size(); ++i) {
            if (i > 0)
                в += '_';
            const auto& параметр = о.параметры()[i];
            const auto* вложенный = std::get_if<А::Обобщённый>(&параметр.вид);
            if (вложенный && имя_экземпляра(*вложенный)) {
                if (!дописать_имя(в, *вложенный))
                    return false;
                continue;
            }
            auto аргумент = (*this)(параметр);
            if (превысило)
                return false;
            в += часть_имени(аргумент, предел);
        }
        if (в.size() - начало > предел) {
            превысило = о.имя();
            return false;
        }
        return true;
    }
    // Adds to `длина` the length дописать_имя would append for `о`, with the
    // same outcome, building only the parts of arguments that are no
    // instance. A name nested N deep costs its depth, not its length.
    bool измерить_имя(std::size_t& длина, const А::Обобщённый& о) {
        if (превысило)
            return false;
        std::size_t своя = о.имя().size() + 2;
        for (std::size_t i = 0; i < о.параметры().size(); ++i) {
            if (i > 0)
                ++своя;
            const auto& параметр = о.параметры()[i];
            const auto* вложенный = std::get_if<А::Обобщённый>(&параметр.вид);
            if (вложенный && имя_экземпляра(*вложенный)) {
                if (!измерить_имя(своя, *вложенный))
                    return false;
                continue;
            }
            // The part of any other argument is its printed form, in which
            // the names of instances are written out.
            только_длины = false;
            auto аргумент = (*this)(параметр);
            только_длины = true;
            if (превысило)
                return false;
            своя += часть_имени(аргумент, предел).size();
        }
        if (своя > предел) {
            превысило = о.имя();
            return false;
        }
        длина += своя;
        return true;
    }
    Т operator()(const А::Массив& м) {
        if (!м.размер)
            return неизвестный_тип();
        return {Т::Массив{(*this)(*м.элемент), static_cast<std::uint64_t>(*м.размер)}};
    }
    Т operator()(const А::Опциональный& о) { return {Т::Опциональный{(*this)(*о.тип)}}; }
    Т operator()(const А::Результат& р) { return тип_результата((*this)(*р.тип)); }
    Т operator()(const А::Канал& к) { return {Т::Канал{(*this)(*к.тип)}}; }
};

}  // namespace

bool имя_экземпляра(const ast::Тип::Обобщённый& тип) {
    return !тип.параметры().empty() && !встроенный_список(тип) && !встроенный_словарь(тип);
}

РешённыйТип преобразовать_тип(const ast::Тип& тип) {
    return Преобразование{}(тип);
}

tl::expected<РешённыйТип, std::string> преобразовать_тип_в_пределе(const ast::Тип& тип,
                                                                   std::size_t предел) {
    Преобразование преобразование{.предел = предел, .превысило = std::nullopt};
    auto итог = преобразование(тип);
    if (преобразование.превысило)
        return tl::unexpected(std::move(*преобразование.превысило));
    return итог;
}

std::optional<std::string> превышает_предел_имени(const ast::Тип& тип, std::size_t предел) {
    Преобразование преобразование{
        .предел = предел, .превысило = std::nullopt, .только_длины = true};
    преобразование(тип);
    return std::move(преобразование.превысило);
}

namespace {

// The type parts of kinds 0 to 13, in kind order; the same words name the
// numeric kinds in casts.
constexpr std::array<std::string_view, 14> слова_скаляров = {
    "целое",     "целое8",    "целое16", "целое32",   "целое64",   "беззнак8", "беззнак16",
    "беззнак32", "беззнак64", "дробное", "дробное32", "дробное64", "текст",    "верно",
};

// The payload-free kind with the given number (0 to 13).
template <std::size_t... Н>
РешённыйТип скаляр_по_номеру(std::size_t номер, std::index_sequence<Н...>) {
    РешённыйТип итог = неизвестный_тип();
    ((номер == Н ? (итог.вид.emplace<Н>(), 0) : 0), ...);
    return итог;
}

}  // namespace

namespace {

// The type part, its printing stopped past `предел` bytes.
std::string часть_имени(const РешённыйТип& тип, std::size_t предел) {
    const auto номер = тип.вид.index();
    if (номер < слова_скаляров.size())
        return std::string(слова_скаляров[номер]);
    if (const auto* структура = std::get_if<РешённыйТип::Структура>(&тип.вид))
        return структура->имя.текст();
    std::string в;
    напечатать(в, тип, предел);
    return в;
}

// The mangled name of a generic and its arguments; past `предел` bytes no
// more parts are added.
std::string имя_многих(std::string_view имя, const std::vector<РешённыйТип>& типы,
                       std::size_t предел) {
    std::string в = fmt::format("{}__", имя);
    for (std::size_t i = 0; i < типы.size() && в.size() <= предел; ++i) {
        if (i > 0)
            в += '_';
        в += часть_имени(типы[i], предел);
    }
    return в;
}

}  // namespace

std::string манглированное_имя_типа(const РешённыйТип& тип) {
    return часть_имени(тип, без_предела);
}

std::string манглированное_имя(std::string_view имя, const РешённыйТип& тип) {
    return fmt::format("{}__{}", имя, манглированное_имя_типа(тип));
}

std::string манглированное_имя_многих(std::string_view имя, const std::vector<РешённыйТип>& типы) {
    return имя_многих(имя, типы, без_предела);
}

std::optional<РешённыйТип> имя_числового_типа_в_решённый_тип(std::string_view имя) {
    for (std::size_t номер = 0; номер < 12; ++номер)
        if (слова_скаляров[номер] == имя)
            return скаляр_по_номеру(номер, std::make_index_sequence<12>{});
    return std::nullopt;
}

bool совместимы(const РешённыйТип& ожидаемый, const РешённыйТип& фактический) {
    return фактический.неизвестен() || ожидаемый == фактический;
}

bool совместимы_с_приведением(const РешённыйТип& ожидаемый, const РешённыйТип& фактический) {
    return (ожидаемый.числовой() && фактический.числовой()) || совместимы(ожидаемый, фактический);
}

Итог<void> проверить_совместимость_типов(const РешённыйТип& ожидаемый,
                                         const РешённыйТип& фактический,
                                         std::string_view контекст) {
    if (совместимы(ожидаемый, фактический))
        return {};
    return ошибка(fmt::format(сообщения::несовпадение_типов, контекст, ожидаемый, фактический));
}

Итог<void> проверить_совместимость_с_приведением(const РешённыйТип& ожидаемый,
                                                 const РешённыйТип& фактический,
                                                 std::string_view контекст) {
    if (ожидаемый.числовой() && фактический.числовой())
        return {};
    return проверить_совместимость_типов(ожидаемый, фактический, контекст);
}

namespace {

// The first part of the hash of each kind, drawn from the process's key.
std::size_t зерно_вида(std::size_t номер) {
    static const auto зёрна = [] {
        std::array<std::size_t, std::variant_size_v<РешённыйТип::Вид>> итог{};
        for (std::size_t i = 0; i < итог.size(); ++i) {
            const char вид[] = {'#', static_cast<char>(i)};
            итог[i] = хеш_текста(std::string_view(вид, sizeof вид));
        }
        return итог;
    }();
    return зёрна[номер];
}

// A number mixed with a salt drawn from the process's key: as unknown in
// advance as the hash of its bytes, at a fraction of its cost.
std::size_t хеш_числа(std::uint64_t число) {
    static const std::size_t соль = хеш_текста("#число");
    return ХешКлюча::смешать(соль, число);
}

// The hash of `Массив { элемент, размер }` from its element's hash and the
// hash of its size, as хеш_типа gives it.
std::size_t хеш_массива(std::size_t хеш_элемента, std::size_t хеш_размера) {
    constexpr std::size_t вид_массива = 15;
    static_assert(std::is_same_v<std::variant_alternative_t<вид_массива, РешённыйТип::Вид>,
                                 РешённыйТип::Массив>);
    static const std::size_t зерно = зерно_вида(вид_массива);
    return ХешКлюча::смешать(ХешКлюча::смешать(зерно, хеш_элемента), хеш_размера);
}

}  // namespace

std::size_t хеш_типа(const РешённыйТип& тип) {
    using Т = РешённыйТип;
    std::size_t хеш = зерно_вида(тип.вид.index());
    const auto смешать = [&](std::size_t ещё) { хеш = ХешКлюча::смешать(хеш, ещё); };
    std::visit(
        Перегрузка{
            []<БезДанных К>(const К&) {},
            [&](const Т::Структура& с) { смешать(с.имя.хеш()); },
            [&](const Т::Контракт& к) { смешать(к.имя.хеш()); },
            [&](const Т::Массив& м) { хеш = хеш_массива(м.элемент.хеш(), хеш_числа(м.размер)); },
            [&](const Т::Результат& р) { смешать(р.тип.хеш()); },
            [&](const Т::Список& с) { смешать(с.элемент.хеш()); },
            [&](const Т::Канал& к) { смешать(к.элемент.хеш()); },
            [&](const Т::Опциональный& о) { смешать(о.тип.хеш()); },
            [&](const Т::Словарь& с) {
                смешать(с.ключ.хеш());
                смешать(с.значение.хеш());
            },
        },
        тип.вид);
    return хеш;
}

namespace {

// Every shared node of one kind alive (types, names), found by its hash. A
// node in the table is whole while the lock is held: one whose last holder
// drops it leaves the table first, under the lock, and only then lets go of
// what it holds. A lock keeps the table whole whichever thread makes or
// drops a node. The table is never destroyed, so that a node that outlives
// the others at the end of the process still finds it.
template <class Узел>
struct ТаблицаОбщих {
    struct Запись {
        const Узел* узел;
        std::weak_ptr<const Узел> ссылка;
    };
    std::mutex замок;
    std::unordered_multimap<std::size_t, Запись> узлы;

    static ТаблицаОбщих& общая() {
        static auto* таблица = new ТаблицаОбщих;
        return *таблица;
    }

    // The node of this hash that `равен` accepts, or the one `сделать`
    // makes. Only the node taken gets a new holder, so no holder is dropped
    // under the lock; and the table's entry is made before the node, so a
    // failure to allocate leaves no node to drop under it either.
    template <class Равен, class Сделать>
    std::shared_ptr<const Узел> найти_или_сделать(std::size_t хеш, Равен&& равен,
                                                  Сделать&& сделать) {
        std::lock_guard замок_таблицы(замок);
        for (auto [запись, конец] = узлы.equal_range(хеш); запись != конец; ++запись) {
            if (!равен(*запись->second.узел))
                continue;
            if (auto найден = запись->second.ссылка.lock())
                return найден;
        }
        const auto место = узлы.emplace(хеш, Запись{nullptr, {}});
        try {
            std::shared_ptr<const Узел> новый = сделать();
            место->second = {новый.get(), новый};
            return новый;
        } catch (...) {
            узлы.erase(место);
            throw;
        }
    }

    void убрать(std::size_t хеш, const Узел* узел) {
        std::lock_guard замок_таблицы(замок);
        for (auto [запись, конец] = узлы.equal_range(хеш); запись != конец; ++запись)
            if (запись->second.узел == узел) {
                узлы.erase(запись);
                return;
            }
    }
};

}  // namespace

namespace {

// The recent nodes of the check running on this thread, if any.
thread_local НедавниеУзлы* недавние_узлы_потока = nullptr;

}  // namespace

НедавниеУзлы::НедавниеУзлы() : прежние(недавние_узлы_потока) {
    недавние_узлы_потока = this;
}

НедавниеУзлы::~НедавниеУзлы() {
    недавние_узлы_потока = прежние;
}

namespace {

// The place of the recent nodes that holds the node of this hash `равен`
// accepts, if the check made it lately.
template <class Равен>
const std::shared_ptr<const УзелТипа>* недавний_узел(std::size_t хеш, Равен&& равен) {
    using Н = НедавниеУзлы;
    auto* недавние = недавние_узлы_потока;
    if (!недавние)
        return nullptr;
    const std::size_t место = 2 * (хеш & (Н::наборов - 1));
    const auto& кусок = недавние->куски[место / Н::мест_в_куске];
    if (!кусок)
        return nullptr;
    for (const auto& недавний : std::span(&(*кусок)[место % Н::мест_в_куске], 2))
        if (недавний && равен(*недавний))
            return &недавний;
    return nullptr;
}

// The node of this hash that `равен` accepts: one the check made lately, or
// the shared one, or the one `сделать` makes with the hash.
template <class Равен, class Сделать>
std::shared_ptr<const УзелТипа> общий_узел(std::size_t хеш, Равен&& равен, Сделать&& сделать) {
    using Н = НедавниеУзлы;
    if (const auto* недавний = недавний_узел(хеш, равен))
        return *недавний;
    auto* недавние = недавние_узлы_потока;
    const std::size_t место = 2 * (хеш & (Н::наборов - 1));
    std::unique_ptr<Н::Кусок>* кусок = nullptr;
    if (недавние)
        кусок = &недавние->куски[место / Н::мест_в_куске];
    auto узел =
        ТаблицаОбщих<УзелТипа>::общая().найти_или_сделать(хеш, равен, [&] { return сделать(хеш); });
    if (кусок == nullptr)
        return узел;
    if (!*кусок)
        *кусок = std::make_unique<Н::Кусок>();
    // The node the set kept longest is let go of.
    auto* набор = &(**кусок)[место % Н::мест_в_куске];
    набор[1] = std::move(набор[0]);
    набор[0] = узел;
    return узел;
}

// The types inside a node are nodes already, so comparing two nodes
// compares their own level alone.
auto равен_типу(const РешённыйТип& тип, std::size_t хеш) {
    return [&тип, хеш](const УзелТипа& узел) { return узел.хеш == хеш && узел.тип == тип; };
}

}  // namespace

ОбщийТип::ОбщийТип(const РешённыйТип& тип) {
    const std::size_t хеш = хеш_типа(тип);
    узел = общий_узел(хеш, равен_типу(тип, хеш),
                      [&](std::size_t х) { return std::make_shared<const УзелТипа>(тип, х); });
}

ОбщийТип::ОбщийТип(РешённыйТип&& тип) {
    const std::size_t хеш = хеш_типа(тип);
    узел = общий_узел(хеш, равен_типу(тип, хеш), [&](std::size_t х) {
        return std::make_shared<const УзелТипа>(std::move(тип), х);
    });
}

ОбщийТип общий_массив(ОбщийТип элемент, std::uint64_t размер, std::size_t уровней) {
    // The node of each level is only looked at while the levels are found
    // among the recent nodes: nothing changes them then, so each stays held
    // by its place, and only the last is taken, with one change of
    // reference counts for the whole run rather than two per level. A level
    // to be made takes the one below it first.
    const std::shared_ptr<const УзелТипа>* место = nullptr;
    const УзелТипа* ниже = элемент.узел.get();
    std::size_t хеш_ниже = ниже->хеш;
    const std::size_t хеш_размера = хеш_числа(размер);
    for (std::size_t уровень = 0; уровень < уровней; ++уровень) {
        const std::size_t хеш = хеш_массива(хеш_ниже, хеш_размера);
        const auto равен = [&](const УзелТипа& узел) {
            const auto* массив = std::get_if<РешённыйТип::Массив>(&узел.тип.вид);
            return узел.хеш == хеш && массив && массив->элемент.узел.get() == ниже &&
                   массив->размер == размер;
        };
        if (const auto* недавний = недавний_узел(хеш, равен)) {
            место = недавний;
        } else {
            if (место)
                элемент.узел = *std::exchange(место, nullptr);
            элемент.узел = общий_узел(хеш, равен, [&](std::size_t х) {
                return std::make_shared<const УзелТипа>(
                    РешённыйТип{РешённыйТип::Массив{элемент, размер}}, х);
            });
        }
        ниже = место ? место->get() : элемент.узел.get();
        хеш_ниже = хеш;
    }
    if (место)
        элемент.узел = *место;
    return элемент;
}

ОбщийТип::~ОбщийТип() {
    // A node holds the nodes inside it, and dropping the last holder of a
    // deep type frees one level per frame: past the stack's limit the node
    // is handed to the thread's list of what was put off, and freed from a
    // shallower frame. Should even that list not take it, it is freed here.
    if (!узел || !ast::за_пределом_стека()) [[likely]]
        return;
    using Владелец = std::shared_ptr<const УзелТипа>;
    if (auto* владелец = new (std::nothrow) Владелец(std::move(узел)))
        ast::отложить({владелец, [](void* в) { delete static_cast<Владелец*>(в); }});
}

УзелТипа::~УзелТипа() {
    ТаблицаОбщих<УзелТипа>::общая().убрать(хеш, this);
}

ИмяТипа::ИмяТипа(std::string_view имя) {
    const std::size_t хеш = хеш_текста(имя);
    узел = ТаблицаОбщих<УзелИмени>::общая().найти_или_сделать(
        хеш, [&](const УзелИмени& узел) { return узел.текст == имя; },
        [&] { return std::make_shared<const УзелИмени>(std::string(имя), хеш); });
}

УзелИмени::~УзелИмени() {
    ТаблицаОбщих<УзелИмени>::общая().убрать(хеш, this);
}

}  // namespace vokra::semantic

std::size_t std::hash<vokra::semantic::РешённыйТип>::operator()(
    const vokra::semantic::РешённыйТип& тип) const noexcept {
    return vokra::semantic::хеш_типа(тип);
}
