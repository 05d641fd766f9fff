#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "panel/core/files.hpp"
#include "panel/core/packages.hpp"
#include "panel/core/paths.hpp"
#include "panel/core/state.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {
namespace {

std::string повторить(std::string_view часть, int раз) {
    std::string итог;
    while (раз-- > 0) {
        итог += часть;
    }
    return итог;
}

TEST(ТекстПанели, ОбрезкаИОднаСтрока) {
    struct Случай {
        std::string вход, края, первая, одна;
    };
    const std::vector<Случай> случаи = {
        {"\xEF\xBB\xBF  путь\r\n", "путь", "\xEF\xBB\xBF  путь", "\xEF\xBB\xBF путь "},
        {"\xBF\xEF x \t", "x", "\xBF\xEF x ", "\xBF\xEF x \t"},
        {"a \r\n  b\tc", "a \r\n  b\tc", "a ", "a b\tc"},
        {" \r\n", "", " ", " "},
        {"д\xD0", "д\xD0", "д\xD0", "д"},
    };
    for (const auto& с : случаи) {
        EXPECT_EQ(обрезать_края(с.вход), с.края) << с.вход;
        EXPECT_EQ(первая_строка(с.вход), с.первая) << с.вход;
        EXPECT_EQ(в_одну_строку(с.вход), с.одна) << с.вход;
    }
}

TEST(ТекстПанели, ОбрезкаИПереносПоСимволам) {
    const std::string сто_девяносто = повторить("я", 190);
    EXPECT_EQ(обрезать_символы(сто_девяносто + "ю", 190), сто_девяносто + "…");
    EXPECT_EQ(обрезать_символы(сто_девяносто, 190), сто_девяносто);
    EXPECT_EQ(перенести_текст(повторить("ж", 50), 46),
              повторить("ж", 46) + "\n" + повторить("ж", 4));
    // A space after 38 characters ends the line and is dropped; an earlier
    // one is copied.
    EXPECT_EQ(перенести_текст(повторить("a", 38) + " b", 46), повторить("a", 38) + "\nb");
    EXPECT_EQ(перенести_текст(повторить("a", 37) + " b", 46), повторить("a", 37) + " b");
    EXPECT_EQ(перенести_текст("x\ny\xE2\x80", 46), "x\ny");
}

TEST(СписокПакетов, СтрокиПакетовИПодробности) {
    struct Случай {
        std::string вывод;
        std::vector<std::string> имена, источники, описания;
    };
    const std::vector<Случай> случаи = {
        {"Пакеты:\n  a\n    источник: git\n  b\n", {"a", "b"}, {"git", "—"}, {"—", "—"}},
        {"  a\n    описание: раз\n    описание: два\n    источник: s", {"a"}, {"s"}, {"два"}},
        {"  a\r\n", {"a\r"}, {"—"}, {"—"}},
        // Three-space explanation lines and bare two-space lines are no
        // packages; the loose file's two-space line is one.
        {"⚠️ Файлы:\n   Такие файлы\n  \n  старый.код\n",
         {"старый.код"},
         {"—"},
         {"—"}},
        {"В 'пакеты/' ничего не установлено.\n", {}, {}, {}},
    };
    for (const auto& с : случаи) {
        std::vector<std::string> имена{"старое"}, источники{"с"}, описания{"о"};
        разобрать_пакеты(с.вывод, имена, источники, описания);
        auto ожидаемые = [](std::string первое, std::vector<std::string> остальные) {
            остальные.insert(остальные.begin(), std::move(первое));
            return остальные;
        };
        EXPECT_EQ(имена, ожидаемые("старое", с.имена)) << с.вывод;
        EXPECT_EQ(источники, ожидаемые("с", с.источники)) << с.вывод;
        EXPECT_EQ(описания, ожидаемые("о", с.описания)) << с.вывод;
    }
}

// Only what the window can show reaches the drawing calls: the table rows
// whose top lies inside it, and outside texts cut to a line of the window.
TEST(ГраницыРисования, СтрокиТаблицыИДлинаТекстов) {
    for (const auto& [пакетов, видимых] : std::vector<std::pair<std::size_t, std::size_t>>{
             {0, 0}, {1, 1}, {20, 20}, {21, 20}, {10000, 20}}) {
        EXPECT_EQ(видимых_строк_пакетов(пакетов), видимых) << пакетов;
    }

    const std::string длинный = повторить("щ", 500000);
    const std::string обрезанный = повторить("щ", 240) + "…";
    std::vector<std::string> имена, источники, описания;
    разобрать_пакеты(
        "  " + длинный + "\n    источник: " + длинный + "\n    описание: " + длинный + "\n  b\n",
        имена, источники, описания);
    EXPECT_EQ(имена, (std::vector<std::string>{обрезанный, "b"}));
    EXPECT_EQ(источники, (std::vector<std::string>{обрезанный, "—"}));
    EXPECT_EQ(описания, (std::vector<std::string>{обрезанный, "—"}));

    // Twenty lines, each cut; shorter texts stay as they are.
    std::string строки;
    for (int i = 0; i < 25; ++i) {
        строки += длинный.substr(0, 600) + "\n";
    }
    const std::string двадцать_строк = повторить(обрезанный + "\n", 19) + обрезанный;
    EXPECT_EQ(обрезать_многострочный_текст(строки), двадцать_строк);
    for (const std::string& короткий :
         std::vector<std::string>{"", "a\n", "a\n\nb", двадцать_строк}) {
        EXPECT_EQ(обрезать_многострочный_текст(короткий), короткий);
    }
}

TEST(ПутиПанели, ДомашняяПапкаИУстановка) {
    const char* прежний = std::getenv("HOME");
    const std::string сохранённый = прежний ? прежний : "";
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(папка_установки_по_умолчанию(), "/home/u/.vokra");
    // Without HOME the password database names the folder; never the
    // shared temporary folder while the user has a home.
    for (const bool пустая : {false, true}) {
        пустая ? ::setenv("HOME", "", 1) : ::unsetenv("HOME");
        const std::string дом = домашняя_папка();
        EXPECT_TRUE(!дом.empty() && это_папка(дом)) << дом;
    }
    ::setenv("HOME", сохранённый.c_str(), 1);

    char программа[] = "Vokra-Panel", первый[] = "/opt/vokra/x", без_черты[] = "x";
    char* аргументы[] = {программа, первый, nullptr};
    глобальный_argc = 2;
    глобальный_argv = аргументы;
    EXPECT_EQ(папка_исполняемого_файла(), "/opt/vokra");
    аргументы[1] = без_черты;
    EXPECT_EQ(папка_исполняемого_файла(), ".");
    глобальный_argc = 0;
    глобальный_argv = nullptr;

    char образец[] = "/tmp/vokra_paths_test.XXXXXX";
    ASSERT_NE(::mkdtemp(образец), nullptr);
    const std::string папка = образец;
    EXPECT_FALSE(вокра_уже_установлена(папка));
    ::mkdir((папка + "/share").c_str(), 0700);
    ::mkdir(путь_файла_версии(папка).c_str(), 0700);  // a folder is not a readable file
    EXPECT_FALSE(вокра_уже_установлена(папка));
    ::rmdir(путь_файла_версии(папка).c_str());
    ASSERT_TRUE(записать_файл(путь_файла_версии(папка), "0.3.3\n"));
    EXPECT_TRUE(вокра_уже_установлена(папка));
    std::filesystem::remove_all(папка);
}

// Only a regular file, a link to one included, counts as a version file. It
// is opened without waiting and read no further than a version line: a FIFO
// in its place would stop the frame loop in the open, and a device without
// end would be read for ever.
TEST(ПутиПанели, ФайлВерсииТолькоОбычный) {
    char образец[] = "/tmp/vokra_version_test.XXXXXX";
    ASSERT_NE(::mkdtemp(образец), nullptr);
    const std::string папка = образец;
    const std::string версия = путь_файла_версии(папка);
    ::mkdir((папка + "/share").c_str(), 0700);
    ASSERT_TRUE(записать_файл(папка + "/настоящая", "0.3.3\n"));
    struct Случай {
        const char* что;
        int (*сделать)(const char* путь, const std::string& папка);
        bool установлена;
    };
    const std::vector<Случай> случаи = {
        {"FIFO", [](const char* п, const std::string&) { return ::mkfifo(п, 0600); }, false},
        {"link to a device",
         [](const char* п, const std::string&) { return ::symlink("/dev/zero", п); }, false},
        {"link to a version file",
         [](const char* п, const std::string& д) {
             return ::symlink((д + "/настоящая").c_str(), п);
         },
         true},
    };
    for (const Случай& случай : случаи) {
        SCOPED_TRACE(случай.что);
        ::unlink(версия.c_str());
        ASSERT_EQ(случай.сделать(версия.c_str(), папка), 0);
        EXPECT_EQ(вокра_уже_установлена(папка), случай.установлена);
    }
    std::filesystem::remove_all(папка);
}

}  // namespace
}  // namespace vokra::panel
