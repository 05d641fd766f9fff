#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ast/stack.hpp"
#include "semantic/analyser.hpp"
#include "semantic/limits.hpp"
#include "semantic/messages.hpp"

namespace vokra::semantic {

void СтекОбластей::объявить(const std::string& имя, РешённыйТип тип, bool неизменная) {
    вставить(имя, ИнформацияОПеременной{std::move(тип), неизменная});
}

void СтекОбластей::объявить_по_ссылке(const std::string& имя, const РешённыйТип& тип,
                                      bool неизменная) {
    вставить(имя, ИнформацияОПеременной{{}, неизменная, &тип});
}

namespace {

std::uint32_t хеш_имени(const std::string& имя) {
    return ИндексЗаписей::сжать(ХешКлюча{}(имя));
}

}  // namespace

void СтекОбластей::вставить(const std::string& имя, ИнформацияОПеременной информация) {
    if (начала_областей.empty()) {
        // The outermost scope lives as long as the analyser; losing it is a
        // fault of the analyser itself, not of the program under check.
        std::fputs(fmt::format(сообщения::стек_пуст).c_str(), stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
    const auto хеш = хеш_имени(имя);
    auto номер = позиция(имя, хеш);
    if (номер < 0) {
        имена.push_back({имя, {}});
        номер = static_cast<std::ptrdiff_t>(имена.size() - 1);
        индекс.вставить(хеш, имена.size() - 1, имена.size());
    }
    auto& вхождения = имена[static_cast<std::size_t>(номер)].вхождения;
    const std::size_t глубина = начала_областей.size() - 1;
    if (!вхождения.empty() && вхождения.back().глубина == глубина) {
        вхождения.back().информация = std::move(информация);
        return;
    }
    вхождения.push_back({глубина, std::move(информация)});
    объявленные.push_back(static_cast<std::size_t>(номер));
}

void СтекОбластей::выйти() {
    // Every name of the innermost scope has its innermost entry there: the
    // scopes inside it are gone already.
    for (std::size_t i = начала_областей.back(); i < объявленные.size(); ++i)
        имена[объявленные[i]].вхождения.pop_back();
    объявленные.resize(начала_областей.back());
    начала_областей.pop_back();
}

std::ptrdiff_t СтекОбластей::позиция(const std::string& имя, std::uint32_t хеш) const {
    return индекс.найти(хеш, [&](std::size_t номер) { return имена[номер].имя == имя; });
}

const СтекОбластей::Вхождение* СтекОбластей::последнее(const std::string& имя) const {
    const auto номер = позиция(имя, хеш_имени(имя));
    if (номер < 0)
        return nullptr;
    const auto& вхождения = имена[static_cast<std::size_t>(номер)].вхождения;
    return вхождения.empty() ? nullptr : &вхождения.back();
}

const ИнформацияОПеременной* СтекОбластей::найти(const std::string& имя) const {
    const auto* вхождение = последнее(имя);
    return вхождение ? &вхождение->информация : nullptr;
}

bool СтекОбластей::в_текущей(const std::string& имя) const {
    const auto* вхождение = последнее(имя);
    return вхождение && вхождение->глубина + 1 == начала_областей.size();
}

std::vector<std::string> СтекОбластей::все_видимые_имена() const {
    std::vector<std::string> видимые;
    видимые.reserve(объявленные.size());
    for (const auto номер : объявленные)
        видимые.push_back(имена[номер].имя);
    return видимые;
}

СемантическийАнализатор СемантическийАнализатор::новый() {
    СемантическийАнализатор анализатор;
    анализатор.области.войти();
    анализатор.бюджет_инстанциаций = бюджет_минимум;
    return анализатор;
}

РешённыйТип СемантическийАнализатор::разрешить_тип_параметра(const ast::Тип& тип) const {
    // Past the stack's limit the check ends with that stop.
    if (ast::стек_исчерпан()) [[unlikely]]
        return неизвестный_тип();
    if (const auto* обобщённый = std::get_if<ast::Тип::Обобщённый>(&тип.вид)) {
        const auto параметры = обобщённый->параметры();
        if (встроенный_список(*обобщённый))
            return тип_списка(разрешить_тип_параметра(параметры[0]));
        if (встроенный_словарь(*обобщённый))
            return {РешённыйТип::Словарь{разрешить_тип_параметра(параметры[0]),
                                         разрешить_тип_параметра(параметры[1])}};
    }
    if (const auto* пользовательский = std::get_if<ast::Тип::Пользовательский>(&тип.вид))
        if (контракты.содержит(пользовательский->имя))
            return {РешённыйТип::Контракт{пользовательский->имя}};
    return преобразовать_тип(тип);
}

bool СемантическийАнализатор::разрешается_как_написано(const ast::Тип& тип) const {
    if (const auto* обобщённый = std::get_if<ast::Тип::Обобщённый>(&тип.вид)) {
        if (встроенный_список(*обобщённый) || встроенный_словарь(*обобщённый))
            return std::ranges::all_of(обобщённый->параметры(), [&](const ast::Тип& параметр) {
                return разрешается_как_написано(параметр);
            });
    }
    const auto* пользовательский = std::get_if<ast::Тип::Пользовательский>(&тип.вид);
    return пользовательский == nullptr || !контракты.содержит(пользовательский->имя);
}

}  // namespace vokra::semantic
