#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <regex>

#include "sandbox.hpp"
#include "вокра_пакеты/files.hpp"

namespace vokra::пакеты {
namespace {

namespace fs = std::filesystem;

const std::string внимание = std::string("⚠️") + "  ";
const std::string з = "\uFFFD";

class ЧужиеДанные : public тест::Песочница {
  protected:
    void манифест(const std::string& текст) { записать(проект / "вокра.зависимости", текст); }
    std::string пакет(const std::string& имя, const std::string& собственный = "") {
        std::map<std::string, std::string> файлы{{имя + ".код", имя}};
        if (!собственный.empty())
            файлы["вокра.зависимости"] = собственный;
        return репозиторий(имя, {{"", файлы}});
    }
};

// The manifest and the lock file of a project may link to any file, and any
// file may be huge: nothing of a file outside the project is shown, nothing
// is read past the size limit, and a long line is quoted only in part.
TEST_F(ЧужиеДанные, СсылкиРазмерыИДлинныеСтроки) {
    const std::string метка = "МЕТКА_ТАЙНЫ";
    записать(корень / "секрет.txt", метка + "\n");
    ::setenv("ВОКРА_ТАЙНА", метка.c_str(), 1);
    const auto с = репозиторий("с", {{"v1.0.0", {{"с.код", "с"}}}});
    const std::string манифест_с = "с = git " + с + " версия=^1.0.0\n";
    // A package's own manifest one byte past the limit, of empty lines that
    // would read as no dependencies.
    const auto б = пакет("б", std::string(наибольший_размер_файла + 1, '\n'));
    const auto снаружи = снимок_вне_проекта();

    for (const fs::path& цель : {корень / "секрет.txt", fs::path("/proc/self/environ")}) {
        fs::remove(проект / "вокра.блокировка");
        fs::remove(проект / "вокра.зависимости");
        fs::create_symlink(цель, проект / "вокра.зависимости");
        const auto манифест_ссылка = пакеты({"установить"});
        EXPECT_EQ(манифест_ссылка.код, 1);
        EXPECT_EQ(манифест_ссылка.ошибки,
                  "Ошибка: 'вокра.зависимости' указывает за пределы папки проекта — вокра_пакеты "
                  "не читает через такую ссылку\n");

        fs::remove(проект / "вокра.зависимости");
        манифест(манифест_с);
        fs::create_symlink(цель, проект / "вокра.блокировка");
        const auto блокировка_ссылка = пакеты({"установить"});
        EXPECT_EQ(блокировка_ссылка.код, 0) << блокировка_ссылка.ошибки;
        EXPECT_TRUE(блокировка_ссылка.вывод.starts_with(
            внимание +
            "не удалось прочитать 'вокра.блокировка' (это ссылка за пределы папки проекта) — "
            "игнорирую её"))
            << блокировка_ссылка.вывод;
        EXPECT_EQ(fs::symlink_status(проект / "вокра.блокировка").type(), fs::file_type::regular);
        for (const auto& итог : {манифест_ссылка, блокировка_ссылка})
            EXPECT_EQ((итог.вывод + итог.ошибки).find(метка), std::string::npos) << цель;
    }
    ::unsetenv("ВОКРА_ТАЙНА");

    // Sparse files of 256 MB: read whole, they would take that much memory.
    const std::string слишком_большой = "файл слишком большой (больше 4 МБ)";
    fs::resize_file(проект / "вокра.блокировка", std::uintmax_t{1} << 28);
    const auto большая_блокировка = пакеты({"установить"});
    EXPECT_EQ(большая_блокировка.код, 0);
    EXPECT_TRUE(большая_блокировка.вывод.starts_with(
        внимание + "не удалось прочитать 'вокра.блокировка' (" + слишком_большой + ")"))
        << большая_блокировка.вывод;
    fs::resize_file(проект / "вокра.зависимости", std::uintmax_t{1} << 28);
    const auto большой = пакеты({"установить"});
    EXPECT_EQ(большой.ошибки,
              "Ошибка: не удалось прочитать 'вокра.зависимости': " + слишком_большой + "\n");

    манифест("б = git " + б + "\n");
    const auto собственный = пакеты({"установить"});
    EXPECT_EQ(собственный.ошибки,
              "Ошибка: не удалось прочитать 'вокра.зависимости' внутри пакета 'б': " +
                  слишком_большой + "\n");

    // Long texts from the manifest and from git are cut, never inside a character.
    std::string длинная;
    for (int i = 0; i < 50000; ++i)
        длинная += "ж";
    const std::string показ = длинная.substr(0, 400) + "…";
    манифест(длинная + "\n");
    EXPECT_EQ(пакеты({"установить"}).ошибки,
              "Ошибка: строка 1: ожидался формат 'имя = git URL [ветка=ИМЯ] "
              "[описание=\"текст\"]', получено: '" +
                  показ + "'\n");
    for (const std::string версия : {"", " версия=^1.0.0"}) {
        манифест("д = git " + (корень / длинная.substr(0, 4000)).string() + версия + "\n");
        const auto итог = пакеты({"установить"});
        EXPECT_EQ(итог.код, 1);
        EXPECT_LT(итог.вывод.size(), 1000u) << итог.вывод;
        EXPECT_LT(итог.ошибки.size(), 1500u) << итог.ошибки;
        EXPECT_NE(итог.ошибки.find("…"), std::string::npos) << итог.ошибки;
    }
    EXPECT_EQ(снимок_вне_проекта(), снаружи);
}

// A tag that the lock file's line would read back as another text is never
// chosen, so the next install takes the version this one installed.
TEST_F(ЧужиеДанные, БлокировкаВоспроизводитУстановленное) {
    const auto с = репозиторий("с", {{"1.0.0", {{"с.код", "1.0.0"}}},
                                     {"v1.1.0-rc.1", {{"с.код", "1.1.0-rc.1"}}},
                                     {"1.2.0-описание=\"\"версия=1.0.0", {{"с.код", "1.2.0"}}},
                                     {"1.3.0-a\u00A0b", {{"с.код", "1.3.0"}}}});
    манифест("с = git " + с + " версия=^1.0.0\n");
    const auto снаружи = снимок_вне_проекта();
    // A lock line written by hand can name that tag after a description.
    const std::string чужая =
        "с = git " + с + " описание=\"\" версия=1.2.0-описание=\"\"версия=1.0.0\n";
    struct Шаг {
        std::string блокировка;
        std::string откуда;
    };
    const Шаг шаги[] = {{"", "разрешено в тег"},
                        {"", "взято из 'вокра.блокировка': тег"},
                        {чужая, "разрешено в тег"}};
    for (const auto& шаг : шаги) {
        if (!шаг.блокировка.empty())
            записать(проект / "вокра.блокировка", шаг.блокировка);
        const auto итог = пакеты({"установить"});
        EXPECT_EQ(итог.код, 0) << итог.ошибки;
        EXPECT_NE(итог.вывод.find(шаг.откуда + " 'v1.1.0-rc.1'"), std::string::npos) << итог.вывод;
        EXPECT_EQ(прочитать(проект / "пакеты" / "с" / "с.код"), "1.1.0-rc.1");
        EXPECT_TRUE(прочитать(проект / "вокра.блокировка")
                        .ends_with("\nс = git " + с + " версия=v1.1.0-rc.1\n"));
    }
    EXPECT_EQ(снимок_вне_проекта(), снаружи);
}

// Control and direction characters in a name are refused before any folder
// is made, and shown as U+FFFD wherever a name is printed.
TEST_F(ЧужиеДанные, ИменаСУправляющимиСимволами) {
    const auto в = пакет("в");
    const auto а = пакет("а", "x\u202ey = git " + в + "\n");
    const auto снаружи = снимок_вне_проекта();
    const std::string отказ =
        "': оно становится папкой внутри 'пакеты/' и не может быть пустым, '.', '..', "
        "'.метаданные' или содержать '/'";
    struct Случай {
        std::string имя;
        std::string показ;
    };
    const Случай случаи[] = {
        {"a\x1b[2Jb", "a" + з + "[2Jb"},
        {"a\rb", "a" + з + "b"},
        {"a\tb", "a\tb"},
        {"a\x7f", "a" + з},
        {"a\u009b31m", "a" + з + "31m"},
        {"\u200ea", з + "a"},
        {"a\u200f", "a" + з},
        {"a\u202eb", "a" + з + "b"},
        {"\u202aa\u202c", з + "a" + з},
        {"\u2066a\u2069", з + "a" + з},
        {"js\u200bon", "js\u200bon"},
        {"a\u061cb", "a\u061cb"},
        {"a\u200db", "a\u200db"},
        {"a\u2060b", "a\u2060b"},
        {"a\ufeffb", "a\ufeffb"},
        {"a\u00adb", "a\u00adb"},
        {"a\u2028b", "a\u2028b"},
        {"a\u2029b", "a\u2029b"},
        {"a,b", "a,b"},
        {".git", ".git"},
        {".скрытый", ".скрытый"},
    };
    for (const auto& с : случаи) {
        манифест(с.имя + " = git " + в + "\n");
        const auto итог = пакеты({"установить"});
        EXPECT_EQ(итог.код, 1) << с.показ;
        EXPECT_EQ(итог.ошибки, "Ошибка: недопустимое имя пакета '" + с.показ + отказ + "\n");
        EXPECT_FALSE(fs::exists(проект / "пакеты")) << с.показ;
    }

    манифест("а = git " + а + "\n");
    const auto транзитивно = пакеты({"установить"});
    EXPECT_EQ(транзитивно.ошибки,
              "Ошибка: у пакета 'а' некорректный собственный 'вокра.зависимости': недопустимое "
              "имя пакета 'x" +
                  з + "y" + отказ + "\n");
    EXPECT_EQ(содержимое(проект / "пакеты"), std::vector<std::string>{});

    // Folders made before names were checked are listed without their raw characters.
    fs::create_directories(проект / "пакеты" / "x\u202ey");
    fs::create_directories(проект / "пакеты" / "x\x1b[2Jy");
    const auto список = пакеты({"список"}).вывод;
    EXPECT_NE(список.find("\n  x" + з + "y\n"), std::string::npos) << список;
    EXPECT_NE(список.find("\n  x" + з + "[2Jy\n"), std::string::npos) << список;
    EXPECT_EQ(снимок_вне_проекта(), снаружи);
}

// A package that came over the network names repositories over the network
// only: a path of this machine or a file:// address in its own manifest is
// refused before anything of it is installed. The project, and packages
// that lie on this machine, may still name local repositories.
TEST_F(ЧужиеДанные, СетевойПакетНеНазываетЛокальных) {
    // The person's own settings serve https://vokra.test/ from the local
    // repositories, so that a package comes "over the network".
    записать(дом / ".gitconfig", "[url \"file://" + (корень / "репозитории").string() +
                                     "/\"]\n\tinsteadOf = https://vokra.test/\n");
    const auto секрет = пакет("secret");
    struct Случай {
        std::string откуда;  // the package's own address
        std::string адрес;   // what its manifest names
        bool отказ;
    };
    const Случай случаи[] = {
        {"https://vokra.test/net.git", секрет, true},
        {"https://vokra.test/net.git", "file://" + секрет, true},
        {"https://vokra.test/net.git", "../репозитории/secret.git", true},
        {"https://vokra.test/net.git", "https://vokra.test/secret.git", false},
        {"", секрет, false},
    };
    for (const auto& с : случаи) {
        fs::remove_all(проект / "пакеты");
        fs::remove_all(корень / "исходники" / "net");
        fs::remove_all(корень / "репозитории" / "net.git");
        const auto net = пакет("net", "секрет = git " + с.адрес + "\n");
        манифест("net = git " + (с.откуда.empty() ? net : с.откуда) + "\n");
        const auto снаружи = снимок_вне_проекта();
        const auto итог = пакеты({"установить"});
        if (с.отказ) {
            EXPECT_EQ(итог.код, 1) << с.адрес;
            EXPECT_EQ(итог.ошибки,
                      "Ошибка: пакет 'net' получен по сети, а его 'вокра.зависимости' называет "
                      "репозиторий на этом компьютере: '" +
                          с.адрес +
                          "' — такой адрес может указать только сам проект или пакет, который "
                          "и сам лежит на этом компьютере\n");
            EXPECT_EQ(содержимое(проект / "пакеты"), std::vector<std::string>{}) << с.адрес;
        } else {
            EXPECT_EQ(итог.код, 0) << итог.ошибки;
            EXPECT_EQ(прочитать(проект / "пакеты" / "секрет" / "secret.код"), "secret");
        }
        EXPECT_EQ(снимок_вне_проекта(), снаружи) << с.адрес;
    }
}

// A file that begins with a UTF-8 byte-order mark, as some editors save it,
// reads as the text after the mark.
TEST_F(ЧужиеДанные, МеткаПорядкаБайтов) {
    const std::string метка = "\xEF\xBB\xBF";
    const auto с = репозиторий("с", {{"v1.0.0", {{"с.код", "с"}}}});
    const auto индекс =
        репозиторий("индекс", {{"", {{"каталог.пакеты", метка + "json = git /r/json.git\n"}}}});
    ASSERT_EQ(пакеты({"индекс-настроить", индекс}).код, 0);
    const std::string строка = "с = git " + с + " версия=^1.0.0\n";
    struct Случай {
        fs::path файл;
        std::string текст;
        std::vector<std::string> команда;
        std::string вывод;  // a part of it
    };
    const Случай случаи[] = {
        {проект / "вокра.зависимости",
         метка + строка,
         {"установить"},
         "Устанавливаю 'с' из " + с + "...\n"},
        {проект / "вокра.блокировка",
         метка + "с = git " + с + " версия=v1.0.0\n",
         {"установить"},
         "взято из 'вокра.блокировка': тег 'v1.0.0'"},
        {проект / "пакеты" / "с" / ".метаданные",
         метка + "источник=/r/с.git\n",
         {"список"},
         "\n    источник: /r/с.git\n"},
        {дом / ".вокра" / "индекс_url.txt",
         метка + индекс,
         {"индекс-обновить"},
         "Скачиваю индекс впервые (" + индекс + ")...\n"},
        {{}, "", {"искать", "json"}, "Найдено (1):\n  json\n"},
    };
    for (const auto& случай : случаи) {
        if (!случай.файл.empty())
            записать(случай.файл, случай.текст);
        const auto итог = пакеты(случай.команда);
        EXPECT_EQ(итог.код, 0) << итог.ошибки;
        EXPECT_NE(итог.вывод.find(случай.вывод), std::string::npos) << итог.вывод;
    }
    EXPECT_EQ(содержимое(проект / "пакеты"), std::vector<std::string>{"с"});

    // Where the manifest is written back, its mark stays.
    ASSERT_EQ(пакеты({"добавить", "json"}).код, 0);
    EXPECT_EQ(прочитать(проект / "вокра.зависимости"), метка + строка + "json = git /r/json.git\n");
}

// An address holding a control character would reach git as another
// address (a NUL byte ends it early): it is refused before anything is
// written.
TEST_F(ЧужиеДанные, АдресСУправляющимСимволом) {
    const auto в = пакет("в");
    const std::string нуль("\0", 1);
    const std::string отказ =
        "': в нём есть управляющий символ, и git получил бы не тот адрес, что записан\n";
    struct Случай {
        std::string манифест;
        std::string ошибка;
    };
    const Случай случаи[] = {
        {"в = git " + в + нуль + "x\n",
         "Ошибка: недопустимый адрес репозитория '" + в + з + "x" + отказ},
        {"в = git " + в + "\x1b[2J версия=^1.0.0\n",
         "Ошибка: недопустимый адрес репозитория '" + в + з + "[2J" + отказ},
        {"в = git " + в + " ветка=main" + нуль + "x\n",
         "Ошибка: недопустимая ветка или версия 'main" + з +
             "x' у пакета 'в': в ней есть управляющий символ, и git получил бы не то, что "
             "записано\n"},
        {"а = git " + пакет("а", "в = git /r/в" + нуль + ".git\n") + "\n",
         "Ошибка: у пакета 'а' некорректный собственный 'вокра.зависимости': недопустимый адрес "
         "репозитория '/r/в" +
             з + ".git" + отказ},
    };
    const auto снаружи = снимок_вне_проекта();
    for (const auto& с : случаи) {
        манифест(с.манифест);
        const auto итог = пакеты({"установить"});
        EXPECT_EQ(итог.код, 1);
        EXPECT_EQ(итог.ошибки, с.ошибка);
        EXPECT_EQ(содержимое(проект / "пакеты"), std::vector<std::string>{});
        EXPECT_FALSE(fs::exists(проект / "вокра.блокировка"));
    }
    const auto индекс = пакеты({"индекс-настроить", в + "\x1b"});
    EXPECT_EQ(индекс.ошибки, "Ошибка: недопустимый адрес репозитория '" + в + з + отказ);
    EXPECT_EQ(снимок_вне_проекта(), снаружи);
}

// Keeps the installed folder of a package from being removed while it lives.
// Root ignores a folder's permission bits, so for root one file in it is
// made immutable instead. Descriptors follow the folder when it is renamed.
struct НеудаляемаяПапка {
    int папка = -1;
    int файл = -1;
    bool удалось = false;

    НеудаляемаяПапка(const fs::path& путь, const std::string& имя_файла) {
        папка = ::open(путь.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        файл = ::open((путь / имя_файла).c_str(), O_RDONLY | O_CLOEXEC);
        удалось = ::geteuid() == 0 ? неизменяемый(true) : ::fchmod(папка, 0555) == 0;
    }
    ~НеудаляемаяПапка() {
        if (удалось && ::geteuid() == 0)
            неизменяемый(false);
        else if (удалось)
            ::fchmod(папка, 0755);
        ::close(файл);
        ::close(папка);
    }
    bool неизменяемый(bool да) {
        int флаги = 0;
        if (::ioctl(файл, FS_IOC_GETFLAGS, &флаги) != 0)
            return false;
        флаги = да ? (флаги | FS_IMMUTABLE_FL) : (флаги & ~FS_IMMUTABLE_FL);
        return ::ioctl(файл, FS_IOC_SETFLAGS, &флаги) == 0;
    }
};

// Once the new version has taken the package's place, an old copy that
// cannot be removed is a warning: the install completes, and the next
// install removes the copy.
TEST_F(ЧужиеДанные, СтараяКопияНеУдаляется) {
    const auto а = репозиторий("а", {{"1.0.0", {{"а.код", "1"}}}, {"1.1.0", {{"а.код", "2"}}}});
    манифест("а = git " + а + " версия=1.0.0\n");
    ASSERT_EQ(пакеты({"установить"}).код, 0);
    const auto снаружи = снимок_вне_проекта();

    манифест("а = git " + а + " версия=1.1.0\n");
    std::string остаток;
    {
        НеудаляемаяПапка замок(проект / "пакеты" / "а", "а.код");
        if (!замок.удалось)
            GTEST_SKIP() << "the file system or the process cannot make a file immutable";
        const auto итог = пакеты({"установить"});
        EXPECT_EQ(итог.код, 0) << итог.ошибки;
        std::smatch найдено;
        const std::regex предупреждение(внимание +
                                        "'а' обновлён, но его прежнюю копию не удалось удалить: "
                                        "(пакеты/\\.вокра_новый_\\w+) \\(.*\\) — следующая "
                                        "установка попробует удалить её снова\\.\n");
        ASSERT_TRUE(std::regex_search(итог.вывод, найдено, предупреждение)) << итог.вывод;
        остаток = найдено[1];
        EXPECT_EQ(прочитать(проект / остаток / "а.код"), "1");
        EXPECT_EQ(прочитать(проект / "пакеты" / "а" / "а.код"), "2");
        EXPECT_TRUE(прочитать(проект / "вокра.блокировка").ends_with(" версия=1.1.0\n"));
        EXPECT_TRUE(прочитать(проект / "пакеты" / "а" / ".метаданные").ends_with("версия=1.1.0\n"));
    }
    EXPECT_EQ(пакеты({"установить"}).код, 0);
    EXPECT_FALSE(fs::exists(проект / остаток));
    EXPECT_EQ(содержимое(проект / "пакеты"), std::vector<std::string>{"а"});
    EXPECT_EQ(снимок_вне_проекта(), снаружи);
}

}  // namespace
}  // namespace vokra::пакеты
