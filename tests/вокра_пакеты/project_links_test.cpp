#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vokra::пакеты
