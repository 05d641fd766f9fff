#include "вокра_пакеты/resolve.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include "sandbox.hpp"

namespace vokra::пакеты {
namespace {

ИнтервалВерсий интервал(const std::string& текст) {
    return требование_версии(текст).интервал;
}

TEST(ВыборТега, ПоВыводуLsRemote) {
    struct Случай {
        std::string вывод;
        std::string требование;
        std::optional<std::string> тег;
    };
    const Случай случаи[] = {
        {"a\trefs/tags/v1.4.0\nb\trefs/tags/v2.0.0\nc\trefs/tags/v2.1.0\nd\trefs/tags/v3.0.0\n",
         "^2.0.0", "v2.1.0"},
        {"a\trefs/tags/v2.1.0\nb\trefs/tags/v2.1.0^{}\n", "^2.0.0", "v2.1.0"},
        {"a\trefs/tags/2.1.0^{}\nb\trefs/tags/2.1.0\n", "^2.0.0", "2.1.0"},
        {"a\trefs/tags/2.1.0-beta\nb\trefs/tags/2.1.0\n", "^2.0.0", "2.1.0-beta"},
        {"a\trefs/tags/1.2.3\nb\trefs/tags/v1.2.3\n", "^1.0.0", "1.2.3"},
        {"a\trefs/tags/v2.0.0-beta\r\nb\trefs/tags/v1.9.5+x\r\n", "^1.9.0", "v1.9.5+x"},
        {"a\tHEAD\nb\trefs/heads/9.9.9\nrefs/tags/1.5.0\nc\trefs/tags/release-1\n"
         "d\trefs/tags/latest\ne refs/tags/1.6.0\nf\trefs/tags/1.1.0",
         "^1.0.0", "1.1.0"},
        {"a\trefs/tags/release-1\nb\trefs/tags/latest\n", "^1.0.0", std::nullopt},
        {"", "^1.0.0", std::nullopt},
        {"a\trefs/tags/^{}\nb\trefs/tags/\n", "^0.0.0", std::nullopt},
        // A line longer than any reference is passed over whole.
        {"a\trefs/tags/1.0.5-" + std::string(70000, 'x') +
             "\nrefs/tags/1.0.1\nb\trefs/tags/1.0.2\n",
         "^1.0.0", "1.0.2"},
    };
    for (const auto& с : случаи) {
        const auto тег = выбрать_тег(с.вывод, интервал(с.требование));
        EXPECT_EQ(тег ? std::optional(тег->тег) : std::nullopt, с.тег) << с.вывод;
        // Git's output comes in pieces cut anywhere.
        for (std::size_t размер : {1, 3, 7}) {
            const auto требуемый = интервал(с.требование);
            ПоискТега поиск{требуемый};
            for (std::size_t i = 0; i < с.вывод.size(); i += размер)
                поиск.принять(std::string_view(с.вывод).substr(i, размер));
            поиск.закончить();
            EXPECT_EQ(поиск.лучший ? std::optional(поиск.лучший->тег) : std::nullopt, с.тег)
                << с.вывод << размер;
        }
    }
}

class Разрешение : public тест::Песочница {
  protected:
    struct Ответ {
        ИтогС<ВыбранныйТег> итог;
        std::string вывод;
    };

    Ответ разрешить(const std::string& url, const std::string& требование,
                    const ЗаписиБлокировки& блокировка = {}) {
        testing::internal::CaptureStdout();
        auto итог =
            разрешить_версию_пакета("сеть", url, требование, интервал(требование), блокировка);
        std::fflush(stdout);
        return {std::move(итог), testing::internal::GetCapturedStdout()};
    }

    std::string с_тегами() {
        return репозиторий("сеть", {{"v1.4.0", {}},
                                    {"v2.0.0", {}},
                                    {"v2.1.0", {}, "", true},
                                    {"v3.0.0", {}},
                                    {"latest", {}}});
    }
};

TEST_F(Разрешение, ТегИзБлокировкиБезGit) {
    const auto url = с_тегами();
    const ЗаписиБлокировки блокировка{
        {"сеть", {"сеть", url, std::nullopt, "v1.4.0", std::nullopt}}};
    // Without git on PATH any call of it would fail.
    const std::string путь = std::getenv("PATH");
    ::setenv("PATH", "", 1);
    const auto ответ = разрешить(url, "^1.2.0", блокировка);
    ::setenv("PATH", путь.c_str(), 1);
    ASSERT_TRUE(ответ.итог) << ответ.итог.error();
    EXPECT_EQ(ответ.итог->тег, "v1.4.0");
    EXPECT_EQ(ответ.вывод,
              "'сеть' — ^1.2.0 взято из 'вокра.блокировка': тег 'v1.4.0' (без обращения к git "
              "ls-remote).\n");

    // An entry outside the range or from another address is passed over.
    const auto из_git = разрешить(url, "^2.0.0", блокировка);
    EXPECT_EQ(из_git.итог->версия, (Версия{2, 1, 0}));
    EXPECT_EQ(из_git.вывод, "'сеть' — ^2.0.0 разрешено в тег 'v2.1.0'.\n");
    auto чужая = блокировка;
    чужая["сеть"].url = url + "/";
    EXPECT_EQ(разрешить(url, "^1.2.0", чужая).итог->тег, "v1.4.0");
    EXPECT_NE(разрешить(url, "^1.2.0", чужая).вывод.find("разрешено в тег"), std::string::npos);
}

TEST_F(Разрешение, Неудачи) {
    const auto url = с_тегами();
    const auto нет_тега = разрешить(url, "^4.0.0");
    ASSERT_FALSE(нет_тега.итог);
    EXPECT_EQ(нет_тега.итог.error(),
              "не найден ни один git-тег в '" + url +
                  "', удовлетворяющий требованию версии '^4.0.0' (интервал >=4.0.0, <5.0.0) — "
                  "проверь, что у пакета вообще есть теги в формате semver ('X.Y.Z' или "
                  "'vX.Y.Z')");

    const auto нет_репозитория = разрешить((корень / "нет.git").string(), "^1.0.0");
    ASSERT_FALSE(нет_репозитория.итог);
    EXPECT_TRUE(нет_репозитория.итог.error().starts_with(
        "git ls-remote не удался для '" + (корень / "нет.git").string() + "': fatal: "))
        << нет_репозитория.итог.error();

    // An address that looks like an option stays an address.
    const auto метка = корень / "метка";
    const auto опция = разрешить("--upload-pack=touch " + метка.string(), "^1.0.0");
    ASSERT_FALSE(опция.итог);
    EXPECT_FALSE(std::filesystem::exists(метка));

    const std::string путь = std::getenv("PATH");
    ::setenv("PATH", "", 1);
    const auto без_git = разрешить(url, "^1.0.0");
    ::setenv("PATH", путь.c_str(), 1);
    ASSERT_FALSE(без_git.итог);
    EXPECT_EQ(без_git.итог.error(),
              "не удалось запустить git (установлен ли он?): No such file or directory (os error "
              "2)");
}

}  // namespace
}  // namespace vokra::пакеты
