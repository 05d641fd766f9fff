#include "вокра_lsp/framing.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "вокра_lsp/error.hpp"

namespace vokra::lsp {
namespace {

// Reads bodies until the input ends or framing breaks.
struct Прочитанное {
    std::vector<std::string> тела;
    bool сломано = false;
};

Прочитанное прочитать_всё(const std::string& байты) {
    std::istringstream вход(байты);
    Прочитанное итог;
    for (;;) {
        auto тело = прочитать_тело(вход);
        if (!тело) {
            итог.сломано = true;
            return итог;
        }
        if (!*тело)
            return итог;
        итог.тела.push_back(std::move(**тело));
    }
}

TEST(Кадры, ЧтениеЦелыхСообщений) {
    const std::string большое(200'000, 'z');
    struct Случай {
        std::string байты;
        std::vector<std::string> тела;
    };
    const Случай случаи[] = {
        {"", {}},
        {"Content-Length: 2\r\n\r\n{}", {"{}"}},
        {"content-LENGTH: 2\r\nContent-Type: application/vscode-jsonrpc\r\n\r\n{}"
         "Content-Length: 0\r\n\r\n",
         {"{}", ""}},
        {"Content-Length: 4\r\n\r\nЖЖ", {"ЖЖ"}},  // bytes, not characters
        {"Content-Length: 1\r\nContent-Length: 2\r\n\r\n{}", {"{}"}},
        {"Content-Length: " + std::to_string(большое.size()) + "\r\n\r\n" + большое, {большое}},
    };
    for (const auto& с : случаи) {
        const auto прочитанное = прочитать_всё(с.байты);
        EXPECT_FALSE(прочитанное.сломано) << с.байты.substr(0, 80);
        EXPECT_EQ(прочитанное.тела, с.тела) << с.байты.substr(0, 80);
    }
}

TEST(Кадры, СломанныеЗаголовкиИКороткиеТела) {
    const char* const случаи[] = {
        "Content-Length: 2\n\r\n{}",                        // line feed alone
        "Content-Length 2\r\n\r\n{}",                       // no ": "
        "Content-Length: \r\n\r\n",                         // empty length
        "Content-Length: -1\r\n\r\n",                       // sign
        "Content-Length: +1\r\n\r\n{",                      // sign
        "Content-Length:  2\r\n\r\n{}",                     // extra space
        "Content-Length: 2x\r\n\r\n{}",                     // trailing garbage
        "Content-Length: 99999999999999999999999\r\n\r\n",  // overflow
        "Content-Type: a\r\n\r\n{}",                        // no length
        "Content-Length: 10\r\n\r\n{}",                     // short body
        "Content-Length: 1000000000000000\r\n\r\n{}",       // short body, huge claim
        "Content-Length: 2\r\n",                            // input ends in the headers
        "Content-Len",                                      // input ends in a line
    };
    for (const char* байты : случаи)
        EXPECT_TRUE(прочитать_всё(байты).сломано) << байты;
}

TEST(Кадры, ДлиннаяСтрокаЗаголовкаОбрываетЧтение) {
    // The line is never read whole, and the message quotes only its start.
    const std::string строка(предел_строки_заголовка * 4, 'x');
    std::istringstream вход(строка + "\r\n\r\n{}");
    const auto тело = прочитать_тело(вход);
    ASSERT_FALSE(тело.has_value());
    EXPECT_LT(вход.tellg(), предел_строки_заголовка + 2);
    EXPECT_NE(тело.error().find(строка.substr(0, 200) + "…"), std::string::npos);
    EXPECT_EQ(тело.error().find(строка.substr(0, 202)), std::string::npos);

    std::istringstream предельная(std::string(предел_строки_заголовка - 1, 'x') + "\r\n\r\n");
    const auto ошибка = прочитать_тело(предельная);
    ASSERT_FALSE(ошибка.has_value());
    EXPECT_EQ(ошибка.error().find("длиннее"), std::string::npos) << "a line at the limit is read";
}

TEST(Кадры, СтрокаОшибкиБезУправляющихСимволов) {
    EXPECT_EQ(строка_ошибки({"a\x1b[2Jb\n\tв\u0085"}), "Error: a\\u{1b}[2Jb\\u{a}\\u{9}в\\u{85}");
}

TEST(Кадры, ЗаписьЧитаетсяОбратно) {
    std::ostringstream выход;
    ASSERT_TRUE(записать_тело(выход, "{\"a\":\"ё\"}"));
    ASSERT_TRUE(записать_тело(выход, ""));
    EXPECT_EQ(выход.str(), "Content-Length: 10\r\n\r\n{\"a\":\"ё\"}Content-Length: 0\r\n\r\n");
    EXPECT_EQ(прочитать_всё(выход.str()).тела, (std::vector<std::string>{"{\"a\":\"ё\"}", ""}));
}

}  // namespace
}  // namespace vokra::lsp
