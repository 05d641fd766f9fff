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
    auto п = тест::парсер(текст);
    return п.разобрать_программу().has_value();
}

TEST(Глубина, СамыеГлубокиеТекстыПроходятПроверку) {
    // Each text at nesting n, and what the whole check says about it.
    const struct {
        std::function<std::string(std::size_t)> текст;
        const char* итог;
    } случаи[] = {
        {[](std::size_t n) {
             return "функция ф() { целое x = " + повтор("(", n) + "1" + повтор(")", n) + "; }";
         },
         "ok"},
        {[](std::size_t n) { return "функция ф() { целое x = " + повтор("-", n) + "1; }"; }, "ok"},
        {[](std::size_t n) { return "функция ф() { целое x = 1" + повтор(" + 1", n) + "; }"; },
         "ok"},
        {[](std::size_t n) {
             return "функция ф() { целое x = " + повтор("массив(", n) + "1" + повтор(")", n) +
                    "; }";
         },
         "1: несовпадение типов для 'x': ожидался Целое, получено Массив { элемент: "},
        {[](std::size_t n) {
             return "функция ф(целое[] н) { целое x = н" + повтор(".п", n / 2) +
                    повтор("(0)", n / 2) + "; }";
         },
         "ok"},
        {[](std::size_t n) {
             return "функция ф(целое[] н): результат из целое { вернуть успех(н" + повтор("?", n) +
                    "); }";
         },
         "ok"},
        {[](std::size_t n) {
             return "функция ф() { текст т = \"${" + повтор("(", n) + "1" + повтор(")", n) +
                    "}\"; }";
         },
         "ok"},
        {[](std::size_t n) {
             return "функция ф(): целое { " + повтор("если (да) { ", n) + "вернуть 1; " +
                    повтор("} иначе { вернуть 2; } ", n) + "}";
         },
         "ok"},
        {[](std::size_t n) {
             return "функция ф() { " + повтор("пока (да) { ", n) + "прервать; " + повтор("} ", n) +
                    "}";
         },
         "ok"},
        {[](std::size_t n) {
             return "функция ф() { если (да) { }" + повтор(" иначе если (да) { }", n) + " }";
         },
         "ok"},
        {[](std::size_t n) {
             return "функция ф() { " + повтор("для каждого x в массив(1) { параллельно { ", n / 2) +
                    повтор("} } ", n / 2) + "}";
         },
         "ok"},
        {[](std::size_t n) {
             return "функция ф(" + повтор("Список из ", n) + "целое с) { целое x = с; }";
         },
         "1: несовпадение типов для 'x': ожидался Целое, получено Список(Список("},
        {[](std::size_t n) { return "структура Т { " + повтор("результат из ", n) + "целое п; }"; },
         "ok"},
    };
    // A statement takes two levels of the parser's limit, an expression one.
    for (const auto& с : случаи) {
        std::size_t n = 1000;
        std::string итог;
        // The parser recurses as deep as the analyser: both on the thread.
        в_потоке([&] {
            while (n > 0 && !разбирается(с.текст(n)))
                --n;
            итог = тест::проверка(с.текст(n));
        });
        ASSERT_GT(n, 300u) << с.текст(1).substr(0, 80);
        EXPECT_EQ(итог.substr(0, std::string_view(с.итог).size()), с.итог)
            << с.текст(1).substr(0, 80);
    }
}

}  // namespace
}  // namespace vokra::semantic
