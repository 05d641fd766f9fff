#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>

#include "readme.hpp"
#include "sandbox.hpp"
#include "вокра_пакеты/process.hpp"

namespace vokra::readme {
namespace {

namespace fs = std::filesystem;

class NeovimСервер : public пакеты::тест::Песочница {
  protected:
    void SetUp() override {
        Песочница::SetUp();
        // Whatever Neovim keeps of its own stays in the test's home.
        ::setenv("XDG_DATA_HOME", (дом / ".local/share").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (дом / ".local/state").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (дом / ".cache").c_str(), 1);
        const std::string папка = fs::path(VOKRA_LSP_BINARY).parent_path().string();
        ::setenv("PATH", (папка + ":" + std::getenv("PATH")).c_str(), 1);
    }
};

// The README's configuration in a headless Neovim: a buffer with an error
// gets the server's diagnostic, and hover over a Cyrillic name answers with
// its signature (the cursor's column reaches the server through the
// client's own position encoding).
TEST_F(NeovimСервер, НастройкаИзREADMEДаётДиагностикуИПодсказку) {
    const auto настройка = блок_раздела(текст_readme(), "Use", "lua");
    ASSERT_TRUE(настройка) << "no ```lua block in the section «Use» of " VOKRA_README;
    записать(проект / "init.lua", *настройка);
    fs::copy_file(NEOVIM_SESSION, проект / "сеанс.lua");
    const std::string вызов = "    вернуть удвоить(1) + утроить(1);";
    записать(проект / "пример.код",
             "функция удвоить(целое х): целое\n    вернуть х * 2;\nконец\n\n"
             "функция главная(): целое\n" +
                 вызов + "\nконец\n");
    // Vim's 1-based byte column of the name's second letter.
    const std::size_t столбец = вызов.find("удвоить") + 1 + std::string_view("у").size();

    пакеты::ЗапускПроцесса запуск;
    запуск.аргументы = {"nvim",
                        "--headless",
                        "--clean",
                        "-u",
                        "init.lua",
                        "-c",
                        "call cursor(6, " + std::to_string(столбец) + ")",
                        "-c",
                        "luafile сеанс.lua",
                        "пример.код"};
    const auto итог = пакеты::запустить_процесс(запуск);
    if (!итог && итог.error() == ENOENT)
        GTEST_SKIP() << "nvim is not installed";
    ASSERT_TRUE(итог) << итог.error();
    EXPECT_EQ(итог->код_выхода, 0);
    EXPECT_EQ(прочитать(проект / "отчёт"),
              "diagnostic 0:0 [без точной позиции] функция 'утроить' не объявлена (может, вы "
              "имели в виду 'удвоить'?)\n"
              "hover ```\nфункция удвоить(целое х): целое\n```\n")
        << итог->вывод << итог->ошибки;
}

}  // namespace
}  // namespace vokra::readme
