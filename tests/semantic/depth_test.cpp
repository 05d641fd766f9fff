// The deepest texts the parser accepts go through the whole check without
// exhausting the stack. The check runs on a thread with a large explicit
// stack, as the language server runs it; sanitizer builds need the room.
#include <pthread.h>

#include <functional>

#include "whole_program.hpp"

namespace vokra::semantic {
namespace {

std::string повтор(std::string_view кусок, std::size_t раз) {
    std::string текст;
    for (std::size_t i = 0; i < раз; ++i)
        текст += кусок;
    return текст;
}

void в_потоке(const std::function<void()>& работа) {
    pthread_attr_t свойства;
    pthread_attr_init(&свойства);
    pthread_attr_setstacksize(&свойства, std::size_t{256} << 20);
    pthread_t поток;
    auto запуск = [](void* р) -> void* {
        (*static_cast<const std::function<void()>*>(р))();
        return nullptr;
    };
    ASSERT_EQ(
        pthread_create(&поток, &свойства, запуск, const_cast<std::function<void()>*>(&работа)), 0);
    pthread_join(поток, nullptr);
    pthread_attr_destroy(&свойства);
}

bool разбирается(const std::string& текст) {
    return тест::парсер(текст).разобрать_программу().has_value();
}

TEST(Глубина, СамыеГлубокиеТекстыПроходятПроверку) {
    // Each text at nesting n: начало, лево repeated n / делитель times,
    // середина, право as often, конец; and what the whole check says.
    const struct {
        const char *начало, *лево, *середина, *право, *конец;
        std::size_t делитель;
        const char* итог;
    } случаи[] = {
        {"функция ф() { целое x = ", "(", "1", ")", "; }", 1, "ok"},
        {"функция ф() { целое x = ", "-", "1", "", "; }", 1, "ok"},
        {"функция ф() { целое x = 1", " + 1", "", "", "; }", 1, "ok"},
        {"функция ф() { целое x = ", "массив(", "1", ")", "; }", 1,
         "1: несовпадение типов для 'x': ожидался Целое, получено Массив { элемент: "},
        {"функция ф(целое[] н) { целое x = н", ".п", "", "(0)", "; }", 2, "ok"},
        {"функция ф(целое[] н): результат из целое { вернуть успех(н", "?", "", "", "); }", 1,
         "ok"},
        {"функция ф() { текст т = \"${", "(", "1", ")", "}\"; }", 1, "ok"},
        {"функция ф(): целое { ", "если (да) { ", "вернуть 1; ", "} иначе { вернуть 2; } ", "}", 1,
         "ok"},
        {"функция ф() { ", "пока (да) { ", "прервать; ", "} ", "}", 1, "ok"},
        {"функция ф() { если (да) { }", " иначе если (да) { }", "", "", " }", 1, "ok"},
        {"функция ф() { ", "для каждого x в массив(1) { параллельно { ", "", "} } ", "}", 2, "ok"},
        {"функция ф(", "Список из ", "целое с) { целое x = с; }", "", "", 1,
         "1: несовпадение типов для 'x': ожидался Целое, получено Список(Список("},
        {"структура Т { ", "результат из ", "целое п; }", "", "", 1, "ok"},
    };
    // A statement takes two levels of the parser's limit, an expression one.
    for (const auto& с : случаи) {
        const auto текст = [&](std::size_t n) {
            return с.начало + повтор(с.лево, n / с.делитель) + с.середина +
                   повтор(с.право, n / с.делитель) + с.конец;
        };
        std::size_t n = 1000;
        std::string итог;
        // The parser recurses as deep as the analyser: both on the thread.
        в_потоке([&] {
            while (n > 0 && !разбирается(текст(n)))
                --n;
            итог = тест::проверка(текст(n));
        });
        ASSERT_GT(n, 300u) << с.начало << с.лево;
        EXPECT_EQ(итог.substr(0, std::string_view(с.итог).size()), с.итог) << с.начало << с.лево;
    }
}

}  // namespace
}  // namespace vokra::semantic
