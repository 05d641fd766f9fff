#include <gtest/gtest.h>

#include <cstdlib>

#include "sandbox.hpp"

namespace vokra::пакеты {
namespace {

namespace fs = std::filesystem;

const std::string не_папка =
    "Ошибка: 'пакеты' — не папка, а ссылка или файл — вокра_пакеты работает только с настоящей "
    "папкой 'пакеты/'\n";

class СсылкиВПроекте : public тест::Песочница {
  protected:
    void манифест(const std::string& текст) { записать(проект / "вокра.зависимости", текст); }
};

// The lock file and a package folder shipped as links to the user's files:
// the install puts its own files in their place and leaves the targets.
TEST_F(СсылкиВПроекте, УстановкаЗаменяетСсылкиСвоимиФайлами) {
    const auto с = репозиторий("с", {{"v1.0.0", {{"с.код", "с"}}}});
    манифест("с = git " + с + " версия=^1.0.0\n");
    записать(дом / ".bashrc", "export PATH=/bin\n");
    записать(дом / "важное" / "заметки.txt", "мои заметки");
    fs::create_symlink(дом / ".bashrc", проект / "вокра.блокировка");
    fs::create_directories(проект / "пакеты");
    fs::create_symlink(дом / "важное", проект / "пакеты" / "с");
    const auto снаружи = снимок_вне_проекта();

    const auto итог = пакеты({"установить"});
    EXPECT_EQ(итог.код, 0) << итог.ошибки;
    EXPECT_EQ(fs::symlink_status(проект / "вокра.блокировка").type(), fs::file_type::regular);
    EXPECT_TRUE(
        прочитать(проект / "вокра.блокировка").ends_with("с = git " + с + " версия=v1.0.0\n"));
    EXPECT_EQ(fs::symlink_status(проект / "пакеты" / "с").type(), fs::file_type::directory);
    EXPECT_EQ(содержимое(проект / "пакеты" / "с"),
              (std::vector<std::string>{".метаданные", "с.код"}));
    EXPECT_EQ(снимок_вне_проекта(), снаружи);

    // The older layout's metadata folder as a link: the removal stays inside.
    записать(проект / "пакеты" / "старый.код", "");
    записать(дом / "мета" / "старый.метаданные", "чужое");
    fs::create_symlink(дом / "мета", проект / "пакеты" / ".метаданные");
    const auto снаружи_с_метой = снимок_вне_проекта();
    const auto удаление = пакеты({"удалить", "старый"});
    EXPECT_EQ(удаление.код, 0) << удаление.ошибки;
    EXPECT_EQ(удаление.вывод, "Удалено: пакеты/старый.код\n");
    EXPECT_EQ(снимок_вне_проекта(), снаружи_с_метой);
}

TEST_F(СсылкиВПроекте, ДобавлениеНеПишетЗаПределыПроекта) {
    const auto индекс =
        репозиторий("индекс", {{"", {{"каталог.пакеты", "json = git /r/json.git\n"}}}});
    ASSERT_EQ(пакеты({"индекс-настроить", индекс}).код, 0);
    ASSERT_EQ(пакеты({"индекс-обновить"}).код, 0);
    записать(дом / "чужой", "x = git /r/x.git\n");
    записать(проект / "настройки" / "зависимости", "x = git /r/x.git\n");
    const auto снаружи = снимок_вне_проекта();

    struct Случай {
        fs::path цель;
        bool внутри;
    };
    const Случай случаи[] = {
        {дом / "чужой", false},
        {"../дом/нет", false},
        {"настройки/../../дом/чужой", false},
        {"настройки/зависимости", true},
    };
    for (const auto& с : случаи) {
        fs::remove(проект / "вокра.зависимости");
        fs::create_symlink(с.цель, проект / "вокра.зависимости");
        const auto итог = пакеты({"добавить", "json"});
        EXPECT_TRUE(fs::is_symlink(проект / "вокра.зависимости")) << с.цель;
        if (с.внутри) {
            EXPECT_EQ(итог.код, 0) << итог.ошибки;
            EXPECT_EQ(прочитать(проект / "настройки" / "зависимости"),
                      "x = git /r/x.git\njson = git /r/json.git\n");
        } else {
            EXPECT_EQ(итог.код, 1) << с.цель;
            EXPECT_EQ(итог.ошибки,
                      "Ошибка: 'вокра.зависимости' указывает за пределы папки проекта — "
                      "вокра_пакеты не пишет через такую ссылку\n");
        }
        EXPECT_EQ(снимок_вне_проекта(), снаружи) << с.цель;
    }
}

TEST_F(СсылкиВПроекте, ПапкаПакетовНеНастоящая) {
    const auto ssh = репозиторий("ssh", {{"", {{"ключ.код", "подмена"}}}});
    манифест(".ssh = git " + ssh + "\n");
    записать(дом / ".ssh" / "id_ed25519", "ключ");

    for (const bool ссылка : {true, false}) {
        fs::remove_all(проект / "пакеты");
        if (ссылка)
            fs::create_symlink(дом, проект / "пакеты");
        else
            записать(проект / "пакеты", "файл");
        const auto снаружи = снимок_вне_проекта();
        const auto в_проекте = снимок(проект);
        for (const std::vector<std::string>& команда :
             {std::vector<std::string>{"установить"}, {"удалить", ".ssh", "--force"}}) {
            const auto итог = пакеты(команда);
            EXPECT_EQ(итог.код, 1) << команда[0];
            EXPECT_EQ(итог.ошибки, не_папка) << команда[0];
            EXPECT_EQ(снимок_вне_проекта(), снаружи) << команда[0];
            EXPECT_EQ(снимок(проект), в_проекте) << команда[0];
        }
    }
    // Listing may still read through the link.
    fs::remove(проект / "пакеты");
    fs::create_symlink(дом, проект / "пакеты");
    const auto список = пакеты({"список"});
    EXPECT_EQ(список.код, 0);
    EXPECT_NE(список.вывод.find("\n  .ssh\n"), std::string::npos) << список.вывод;
}

// With HOME empty the settings folder lies in the project and is the
// project's: a link there that leads out of the project is neither written
// nor read through; one that stays inside is written through, as the
// manifest is.
TEST_F(СсылкиВПроекте, ПапкаНастроекВПроекте) {
    const auto индекс =
        репозиторий("индекс", {{"", {{"каталог.пакеты", "json = git /r/json.git\n"}}}});
    записать(дом / "адрес.txt", "мой адрес");
    записать(дом / "настройки" / "индекс_url.txt", индекс);
    git(корень, {"clone", "-q", индекс, (дом / "клон").string()});
    struct Случай {
        std::string ссылка;  // inside the project
        fs::path цель;
        std::vector<std::string> команда;
    };
    const Случай случаи[] = {
        {".вокра/индекс_url.txt", дом / "адрес.txt", {"индекс-настроить", индекс}},
        {".вокра", дом / "настройки", {"индекс-настроить", индекс}},
        {".вокра", дом / "настройки", {"искать", "json"}},
        {".вокра/индекс", дом / "клон", {"индекс-обновить"}},
        {".вокра/индекс", дом / "клон", {"добавить", "json"}},
    };
    ::setenv("HOME", "", 1);
    for (const auto& с : случаи) {
        fs::remove_all(проект / ".вокра");
        if (с.ссылка != ".вокра")
            записать(проект / ".вокра" / "индекс_url.txt", индекс);
        fs::remove(проект / с.ссылка);
        fs::create_symlink(с.цель, проект / с.ссылка);
        const auto снаружи = снимок_вне_проекта();
        const auto итог = пакеты(с.команда);
        EXPECT_EQ(итог.код, 1) << с.ссылка << " " << с.команда[0];
        EXPECT_EQ(итог.ошибки, "Ошибка: '" + с.ссылка +
                                   "' указывает за пределы папки проекта — вокра_пакеты не читает "
                                   "и не пишет через такую ссылку\n");
        EXPECT_EQ(снимок_вне_проекта(), снаружи) << с.ссылка << " " << с.команда[0];
    }

    fs::remove_all(проект / ".вокра");
    записать(проект / "свои" / "адрес.txt", "старый");
    fs::create_directories(проект / ".вокра");
    fs::create_symlink("../свои/адрес.txt", проект / ".вокра" / "индекс_url.txt");
    const auto внутри = пакеты({"индекс-настроить", индекс});
    ::setenv("HOME", дом.c_str(), 1);
    EXPECT_EQ(внутри.код, 0) << внутри.ошибки;
    EXPECT_TRUE(fs::is_symlink(проект / ".вокра" / "индекс_url.txt"));
    EXPECT_EQ(прочитать(проект / "свои" / "адрес.txt"), индекс);
}

}  // namespace
}  // namespace vokra::пакеты
