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

void СтекОбластей::вставить(const std::string& имя, ИнформацияОПеременной информация) {
    if (области.empty()) {
        // The outermost scope lives as long as the analyser; losing it is a
        // fault of the analyser itself, not of the program under check.
        std::fputs(fmt::format(сообщения::стек_пуст).c_str(), stderr);
        std::fputc('\n', stderr);
        std::abort();
    }
    области.back().вставить(имя, std::move(информация));
}

const ИнформацияОПеременной* СтекОбластей::найти(const std::string& имя) const {
    for (auto область = области.rbegin(); область != области.rend(); ++область)
        if (const auto* информация = область->найти(имя))
            return информация;
    return nullptr;
}

std::vector<std::string> СтекОбластей::все_видимые_имена() const {
    std::vector<std::string> имена;
    for (const auto& область : области)
        for (const auto& [имя, информация] : область)
            имена.push_back(имя);
    return имена;
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
