#include "вокра_пакеты/files.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "sandbox.hpp"
#include "вокра_пакеты/process.hpp"

namespace vokra::пакеты {
namespace {

class Файлы : public тест::Песочница {};

TEST_F(Файлы, СтрогоеЧтение) {
    записать("текст", "строка\nЖ");
    записать("не_utf8", "a\xD0");
    fs::create_directory("папка");

    EXPECT_EQ(прочитать_текст("текст").value(), "строка\nЖ");
    EXPECT_EQ(прочитать_текст("не_utf8").error().текст, "содержимое не является текстом в UTF-8");
    EXPECT_EQ(прочитать_текст("папка").error().текст, "Is a directory (os error 21)");
    EXPECT_FALSE(прочитать_текст("папка").error().нет_файла);
    EXPECT_TRUE(прочитать_текст("нет").error().нет_файла);

    // A device or a pipe, directly or through a link, is refused rather than
    // read without end or waited on.
    fs::create_symlink("/dev/null", "устройство");
    ASSERT_EQ(::mkfifo("труба", 0600), 0);
    for (const char* путь : {"устройство", "труба"}) {
        const auto итог = прочитать_текст(путь);
        ASSERT_FALSE(итог) << путь;
        EXPECT_EQ(итог.error().текст, "это не обычный файл (символическая ссылка или что-то иное)");
    }
}

TEST_F(Файлы, АтомарнаяЗаписьСохраняетПрава) {
    ::umask(022);
    записать("файл", "старое");
    ::chmod("файл", 0640);
    ASSERT_TRUE(записать_атомарно("файл", "новое"));
    EXPECT_EQ(прочитать("файл"), "новое");
    struct stat сведения {};
    ::stat("файл", &сведения);
    EXPECT_EQ(сведения.st_mode & 07777, 0640u);

    // A link is written through only when asked; otherwise a regular file
    // with fresh permission bits takes its place and the target stays.
    fs::create_symlink("файл", "ссылка");
    ASSERT_TRUE(записать_атомарно("ссылка", "через ссылку", ЧерезСсылку::в_цель));
    EXPECT_TRUE(fs::is_symlink("ссылка"));
    EXPECT_EQ(прочитать("файл"), "через ссылку");
    ASSERT_TRUE(записать_атомарно("ссылка", "вместо ссылки"));
    EXPECT_EQ(fs::symlink_status("ссылка").type(), fs::file_type::regular);
    EXPECT_EQ(прочитать("ссылка"), "вместо ссылки");
    EXPECT_EQ(прочитать("файл"), "через ссылку");
    ::stat("ссылка", &сведения);
    EXPECT_EQ(сведения.st_mode & 07777, 0644u);

    ASSERT_TRUE(записать_атомарно("новый", ""));
    EXPECT_EQ(содержимое("."), (std::vector<std::string>{"новый", "ссылка", "файл"}));
    EXPECT_FALSE(записать_атомарно("нет/файл", "x"));
}

TEST_F(Файлы, ПроцессНеЗастреваетНаБольшомВыводеОшибок) {
    const auto итог = выполнить_процесс(
        {"sh", "-c", "head -c 3000000 /dev/zero >&2; head -c 2000000 /dev/zero; exit 3"});
    ASSERT_TRUE(итог);
    EXPECT_EQ(итог->ошибки.size(), 3000000u);
    EXPECT_EQ(итог->вывод.size(), 2000000u);
    EXPECT_EQ(итог->код_выхода, 3);

    // Bounded: only the last lines of standard error are kept, from a line's
    // start, while standard output may be taken as it comes.
    ЗапускПроцесса ограниченный;
    ограниченный.аргументы = {"sh", "-c",
                              "yes 0123456789 | head -c 3000000 >&2; echo конец >&2; "
                              "head -c 2000000 /dev/zero"};
    ограниченный.предел = 8192;
    std::size_t получено = 0;
    ограниченный.вывод_частями = [&](std::string_view часть) { получено += часть.size(); };
    const auto хвост = запустить_процесс(ограниченный);
    ASSERT_TRUE(хвост);
    EXPECT_EQ(получено, 2000000u);
    EXPECT_EQ(хвост->вывод, "");
    EXPECT_LE(хвост->ошибки.size(), 8192u);
    EXPECT_GT(хвост->ошибки.size(), 8000u);
    EXPECT_TRUE(хвост->ошибки.starts_with("0123456789\n")) << хвост->ошибки.substr(0, 20);
    EXPECT_TRUE(хвост->ошибки.ends_with("конец\n"));

    const auto убит = выполнить_процесс({"sh", "-c", "kill -9 $$"});
    ASSERT_TRUE(убит);
    EXPECT_FALSE(убит->успешен());

    const auto ввод = выполнить_процесс({"sh", "-c", "cat; echo конец"});
    EXPECT_EQ(ввод->вывод, "конец\n");

    EXPECT_EQ(выполнить_процесс({"нет-такой-программы"}).error(),
              "No such file or directory (os error 2)");
}

// A file that the person made read-only is not replaced, and the command
// says why, as writing it in place would; its content and mode stay.
TEST_F(Файлы, ТолькоДляЧтенияНеЗаменяется) {
    const auto индекс =
        репозиторий("индекс", {{"", {{"каталог.пакеты", "json = git /r/json.git\n"}}}});
    ASSERT_EQ(пакеты({"индекс-настроить", индекс}).код, 0);
    const auto с = репозиторий("с", {{"v1.0.0", {{"с.код", "с"}}}});
    записать("вокра.зависимости", "с = git " + с + " версия=^1.0.0\n");
    ASSERT_EQ(пакеты({"установить"}).код, 0);
    const std::string запрещено = "Permission denied (os error 13)\n";
    struct Случай {
        fs::path файл;
        std::vector<std::string> команда;
        std::string ошибка;
    };
    const Случай случаи[] = {
        {проект / "вокра.зависимости",
         {"добавить", "json"},
         "Ошибка: не удалось записать 'вокра.зависимости': " + запрещено},
        {проект / "вокра.блокировка",
         {"установить", "--обновить-блокировку"},
         "Ошибка: не удалось записать 'вокра.блокировка': " + запрещено},
        {дом / ".вокра" / "индекс_url.txt",
         {"индекс-настроить", "другой"},
         "Ошибка: не удалось сохранить адрес индекса: " + запрещено},
    };
    for (const auto& случай : случаи) {
        const std::string было = прочитать(случай.файл);
        ::chmod(случай.файл.c_str(), 0444);
        const auto итог = пакеты(случай.команда);
        EXPECT_EQ(итог.код, 1) << случай.файл;
        EXPECT_EQ(итог.ошибки, случай.ошибка);
        EXPECT_EQ(прочитать(случай.файл), было);
        struct stat сведения {};
        ::stat(случай.файл.c_str(), &сведения);
        EXPECT_EQ(сведения.st_mode & 07777, 0444u) << случай.файл;
        ::chmod(случай.файл.c_str(), 0644);
    }
}

// A full disk and a temporary folder that cannot be made are reported as
// what they are.
TEST_F(Файлы, СообщенияГоворятЧтоСлучилось) {
    const auto с = репозиторий("с", {{"v1.0.0", {{"с.код", std::string(300000, 'x')}}}});
    const fs::path нет = временная / "нет";
    const std::string без_временной = "Ошибка: не удалось создать временную папку для git в '" +
                                      нет.string() + "': No such file or directory (os error 2)\n";
    ::setenv("TMPDIR", нет.c_str(), 1);
    записать("вокра.зависимости", "с = git " + с + " версия=^1.0.0\n");
    EXPECT_EQ(пакеты({"установить"}).ошибки, без_временной);
    ASSERT_EQ(пакеты({"индекс-настроить", с}).код, 0);
    EXPECT_EQ(пакеты({"индекс-обновить"}).ошибки, без_временной);
    ::setenv("TMPDIR", временная.c_str(), 1);

    // The project on a small file system of its own, in a namespace of
    // its own, which ends with the command.
    const fs::path малая = проект / "малая";
    fs::create_directories(малая);
    const auto итог = выполнить_процесс(
        {"unshare", "-rm", "sh", "-c",
         "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99; cd \"$1\" && "
         "printf 'с = git %s\\n' \"$3\" > вокра.зависимости && exec \"$2\" установить",
         "sh", малая.string(), VOKRA_PAKETY_BINARY, с});
    ASSERT_TRUE(итог);
    if (итог->код_выхода == 99 || итог->ошибки.starts_with("unshare"))
        GTEST_SKIP() << "no file system of its own can be mounted here: " << итог->ошибки;
    EXPECT_EQ(итог->код_выхода, 1);
    EXPECT_TRUE(итог->ошибки.starts_with("Ошибка: не удалось скопировать '" + временная.string()))
        << итог->ошибки;
    EXPECT_TRUE(итог->ошибки.ends_with("/с.код': No space left on device (os error 28)\n"))
        << итог->ошибки;
}

}  // namespace
}  // namespace vokra::пакеты
