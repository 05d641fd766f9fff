#include "вокра_пакеты/commands.hpp"

#include <fmt/core.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "unicode/unicode.hpp"
#include "вокра_пакеты/index.hpp"
#include "вокра_пакеты/install.hpp"
#include "вокра_пакеты/installed.hpp"
#include "вокра_пакеты/interruption.hpp"
#include "вокра_пакеты/messages.hpp"
#include "вокра_пакеты/result.hpp"
#include "вокра_пакеты/text.hpp"

namespace vokra::пакеты {

void вывести_подсказку() {
    fmt::print(stdout, "{}", тексты::справка);
}

namespace {

// Runs the command named by the word, or gives nothing for an unknown word.
std::optional<Итог> запустить(const std::vector<std::string>& аргументы) {
    const std::string_view слово = аргументы[1];
    // The required argument is the one right after the command word, as it
    // stands; options count wherever they appear.
    const std::string* аргумент = аргументы.size() > 2 ? &аргументы[2] : nullptr;
    const auto есть_флаг = [&](std::string_view флаг) {
        return std::find(аргументы.begin() + 1, аргументы.end(), флаг) != аргументы.end();
    };

    if (слово == тексты::команда_установить)
        return установить_зависимости(есть_флаг(тексты::флаг_обновить_блокировку));
    if (слово == тексты::команда_список)
        return показать_список();
    if (слово == тексты::команда_удалить) {
        if (!аргумент)
            return неудача(тексты::укажи_имя_для_удаления);
        return удалить_пакет(*аргумент, есть_флаг(тексты::флаг_force));
    }
    if (слово == тексты::команда_индекс_настроить) {
        const std::string_view адрес =
            аргумент ? vokra::unicode::обрезать(*аргумент) : std::string_view();
        if (адрес.empty())
            return неудача(тексты::укажи_адрес_индекса);
        return настроить_индекс(std::string(адрес));
    }
    if (слово == тексты::команда_индекс_обновить)
        return обновить_индекс();
    if (слово == тексты::команда_искать) {
        if (!аргумент)
            return неудача(тексты::укажи_запрос);
        return искать_в_индексе(*аргумент);
    }
    if (слово == тексты::команда_добавить) {
        if (!аргумент)
            return неудача(тексты::укажи_имя_для_добавления);
        return добавить_из_индекса(*аргумент);
    }
    return std::nullopt;
}

}  // namespace

int выполнить_команду(const std::vector<std::string>& аргументы) {
    if (аргументы.size() < 2) {
        вывести_подсказку();
        return 0;
    }
    const auto итог = запустить(аргументы);
    if (!итог) {
        вывести_подсказку();
        return аргументы[1].empty() ? 0 : 1;
    }
    if (!*итог) {
        // An interrupted command says nothing more: the program ends by the
        // signal.
        if (прервано())
            return 1;
        std::fflush(stdout);
        // Error texts carry lines of manifests, catalogues and git's own
        // messages, which come from elsewhere.
        fmt::print(stderr, тексты::ошибка, строки_для_показа(итог->error()));
        std::fputc('\n', stderr);
        return 1;
    }
    return 0;
}

}  // namespace vokra::пакеты
