// Runs the action scripts for real: `sh` in the background through the task
// machinery, against a temporary home folder, with the stand-in tools of
// stand_ins/ first on PATH.
#include "panel/core/tasks.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "panel/core/dialogs.hpp"
#include "panel/core/files.hpp"
#include "panel/core/packages.hpp"
#include "panel/core/paths.hpp"
#include "panel/core/scripts.hpp"
#include "panel/core/state.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {
namespace {

namespace fs = std::filesystem;

const fs::path подставные = fs::path(__FILE__).parent_path() / "stand_ins";

std::string прочитать(const fs::path& путь) {
    return прочитать_файл(путь.string()).value_or("<нет файла>");
}

// Waits up to ten seconds for the condition to hold.
template <typename Условие>
bool дождаться(Условие условие) {
    for (int шаг = 0; шаг < 500 && !условие(); ++шаг) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return условие();
}

// The process is gone or only waits to be waited for.
bool закончился(pid_t процесс) {
    const auto сведения = прочитать_файл("/proc/" + std::to_string(процесс) + "/stat");
    const std::size_t скобка = сведения ? сведения->rfind(')') : std::string::npos;
    return скобка == std::string::npos || скобка + 2 >= сведения->size() ||
           (*сведения)[скобка + 2] == 'Z';
}

mode_t режим(const fs::path& путь) {
    struct stat сведения {};
    return ::stat(путь.c_str(), &сведения) == 0 ? сведения.st_mode & 07777 : 0;
}

void записать(const fs::path& путь, std::string_view текст) {
    ASSERT_TRUE(записать_файл(путь.string(), текст)) << путь;
}

// Everything below a folder, relative paths in order.
std::vector<std::string> содержимое(const fs::path& папка) {
    std::vector<std::string> пути;
    for (const auto& запись : fs::recursive_directory_iterator(папка)) {
        пути.push_back(запись.path().lexically_relative(папка).string());
    }
    std::sort(пути.begin(), пути.end());
    return пути;
}

class ЗадачиПанели : public ::testing::Test {
  protected:
    void SetUp() override {
        char образец[] = "/tmp/vokra_tasks_test.XXXXXX";
        ASSERT_NE(::mkdtemp(образец), nullptr);
        корень = образец, дом = корень / "дом", рабочая = корень / "рабочая",
        запись = корень / "запись";
        fs::create_directories(дом), fs::create_directories(запись);
        // The install source: ./bin beside the panel's working folder.
        fs::create_directories(рабочая / "bin");
        for (const auto* имя : {"запустить", "вокра_пакеты"}) {
            fs::copy_file(подставные / имя, рабочая / "bin" / имя);
        }
        записать(рабочая / "bin" / "привет.код", "печать(\"Привет!\")\n");
        прежняя_папка = fs::current_path();
        fs::current_path(рабочая);
        прежний_path = std::getenv("PATH");
        ::setenv("PATH", path_с_подставными().c_str(), 1);
        ::setenv("HOME", дом.c_str(), 1);
        ::setenv("VOKRA_TEST_RECORD", запись.c_str(), 1);
        состояние.папка_установки = папка_установки_по_умолчанию();
    }

    void TearDown() override {
        глобальная_папка_программы.clear();
        fs::current_path(прежняя_папка);
        ::setenv("PATH", прежний_path.c_str(), 1);
        ::unsetenv("VOKRA_TEST_RELEASE_JSON");
        ::unsetenv("VOKRA_TEST_STALL_AT");
        ::unsetenv("VOKRA_TEST_STALL_HOW");
        ::unsetenv("VOKRA_TEST_PICKED");
        ::unsetenv("LC_ALL");
        fs::remove_all(корень);
    }

    std::string path_с_подставными() const { return подставные.string() + ":" + прежний_path; }

    // Starts the task, waits for its marker and completes it.
    void выполнить(std::int64_t вид, const std::string& тело) {
        начать_задачу_или_ошибка(состояние, вид, тело, "идёт");
        ASSERT_EQ(состояние.вид_задачи, вид) << состояние.текст_диалога;
        std::int64_t итог = -2;
        for (int шаг = 0; шаг < 1500 && итог == -2; ++шаг) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            итог = проверить_метку();
        }
        ASSERT_NE(итог, -2) << "the task never wrote its marker";
        завершить_задачу(состояние, итог);
        EXPECT_EQ(состояние.вид_задачи, 0);
    }

    void ожидать_диалог(std::int64_t вариант, std::string_view заголовок, std::string_view текст) {
        EXPECT_EQ(состояние.вид_диалога, диалоги::СООБЩЕНИЕ);
        EXPECT_EQ(состояние.вариант_диалога, вариант);
        EXPECT_EQ(состояние.заголовок_диалога, заголовок);
        EXPECT_EQ(состояние.текст_диалога, перенести_текст(текст, ШИРИНА_ТЕКСТА_ДИАЛОГА));
        закрыть_диалог(состояние);
    }

    void установить(const std::string& D) {
        выполнить(виды_задач::УСТАНОВКА, тело_установки(D));
        ожидать_диалог(2, "Готово",
                       "Вокра установлена в:\n" + D +
                           "\n\nОткрой НОВЫЙ терминал: там заработает команда «запустить "
                           "файл.код» из любой папки.");
    }
    void удалить(const std::string& D) {
        выполнить(виды_задач::УДАЛЕНИЕ, тело_удаления(D));
        ожидать_диалог(2, "Вокра удалена", "Папка удалена:\n" + D);
    }
    static std::string строка_path(const std::string& D) {
        return "export PATH=\"" + D + "/bin:$PATH\"\n";
    }

    fs::path корень, дом, рабочая, запись, прежняя_папка;
    std::string прежний_path;
    СостояниеПриложения состояние;
};

TEST_F(ЗадачиПанели, УстановкаСборкаПакетыИУдаление) {
    const std::string D = состояние.папка_установки;
    const std::string строка = строка_path(D);
    записать(дом / ".profile", "alias x=y");  // no final line feed
    fs::create_directories(дом / "настройки");
    записать(дом / "настройки" / "zshrc", "# " + D + "/bin стоит в PATH\n");
    fs::create_symlink(дом / "настройки" / "zshrc", дом / ".zshrc");

    установить(D);
    EXPECT_TRUE(состояние.установлена);
    EXPECT_EQ(прочитать(D + "/share/version.txt"), "0.3.3\n");
    EXPECT_EQ(прочитать(D + "/share/привет.код"), "печать(\"Привет!\")\n");
    EXPECT_TRUE(::access((D + "/bin/вокра_пакеты").c_str(), X_OK) == 0);
    // The file that already names the folder is left alone.
    EXPECT_EQ(прочитать(дом / ".profile"), "alias x=y\n" + строка);
    EXPECT_EQ(прочитать(дом / ".zshrc"), "# " + D + "/bin стоит в PATH\n");
    установить(D);  // a second time: no second line
    EXPECT_EQ(прочитать(дом / ".profile"), "alias x=y\n" + строка);

    выполнить(виды_задач::ПАКЕТЫ, тело_пакетов(D));
    EXPECT_EQ(состояние.вид_диалога, 0);
    ASSERT_TRUE(состояние.пакеты_ждут_разбора);
    std::vector<std::string> имена, источники, описания;
    разобрать_пакеты(состояние.вывод_пакетов, имена, источники, описания);
    EXPECT_EQ(имена, (std::vector<std::string>{"json", "сеть", "старый.код"}));

    // Only the added line goes; the user's own line naming the folder stays,
    // and the link stays a link.
    записать(дом / "настройки" / "zshrc", "# " + D + "/bin стоит в PATH\n" + строка + "x=1\n");
    удалить(D);
    EXPECT_FALSE(fs::exists(D));
    EXPECT_FALSE(состояние.установлена);
    EXPECT_EQ(прочитать(дом / ".profile"), "alias x=y\n");
    EXPECT_TRUE(fs::is_symlink(дом / ".zshrc"));
    EXPECT_EQ(прочитать(дом / ".zshrc"), "# " + D + "/bin стоит в PATH\nx=1\n");
    EXPECT_EQ(содержимое(дом),
              (std::vector<std::string>{".profile", ".zshrc", "настройки", "настройки/zshrc"}));
}

// Under a UTF-8 locale, start-up files holding a NUL and bytes that are not
// UTF-8 keep every byte but the PATH line's, also a last line without a line
// feed that the user wrote after it.
TEST_F(ЗадачиПанели, ФайлыЗапускаСНулёмИНеUtf8) {
    ::setenv("LC_ALL", "C.UTF-8", 1);
    const std::string D = состояние.папка_установки;
    const std::string строка = строка_path(D);
    const std::string профиль("a=1\n\0b\0", 7);  // ends in a NUL, no line feed
    const std::string zshrc = "# \xcf\xf0\xe8\xe2\xe5\xf2 cp1251\nx=1\n";
    записать(дом / ".profile", профиль);
    записать(дом / ".zshrc", zshrc);
    установить(D);
    установить(D);  // the line is found in both files: nothing more is added
    EXPECT_EQ(прочитать(дом / ".profile"), профиль + "\n" + строка);
    EXPECT_EQ(прочитать(дом / ".zshrc"), zshrc + строка);

    const std::string после("y\0z", 3);
    записать(дом / ".zshrc", zshrc + строка + после);
    удалить(D);
    EXPECT_EQ(прочитать(дом / ".profile"), профиль + "\n");
    EXPECT_EQ(прочитать(дом / ".zshrc"), zshrc + после);
    EXPECT_EQ(содержимое(дом), (std::vector<std::string>{".profile", ".zshrc"}));
}

// A process named like the panel that another user runs, with a compiler of
// its own beside it, is not taken for the panel.
TEST_F(ЗадачиПанели, ЧужойПроцессПанелиНеВыбирается) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a process as another user";
    }
    char образец[] = "/tmp/vokra_stranger.XXXXXX";
    ASSERT_NE(::mkdtemp(образец), nullptr);
    const fs::path чужая = образец;
    fs::create_directories(чужая / "bin");
    fs::copy_file(подставные / "запустить", чужая / "bin" / "запустить");
    fs::copy_file("/bin/sleep", чужая / "Vokra-Panel");
    fs::permissions(чужая, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    const std::string программа = (чужая / "Vokra-Panel").string();
    std::vector<std::string> аргументы{"setpriv",        "--reuid=65534", "--regid=65534",
                                       "--clear-groups", программа,       "60"};
    std::vector<char*> argv;
    for (auto& а : аргументы) {
        argv.push_back(а.data());
    }
    argv.push_back(nullptr);
    pid_t чужой = 0;
    if (::posix_spawnp(&чужой, "setpriv", nullptr, nullptr, argv.data(), environ) != 0) {
        fs::remove_all(чужая);
        GTEST_SKIP() << "no setpriv";
    }
    const fs::path имя_процесса = "/proc/" + std::to_string(чужой) + "/comm";
    for (int шаг = 0; шаг < 250 && прочитать(имя_процесса) != "Vokra-Panel\n"; ++шаг) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string видно = прочитать(имя_процесса);

    ::setenv("PATH", прежний_path.c_str(), 1);  // the real pgrep
    выполнить(виды_задач::СБОРКА, определить_папку_панели() + "echo \"$PANEL_DIR\" > '" +
                                      (корень / "папка").string() + "'\n");
    ::kill(чужой, SIGKILL);
    ::waitpid(чужой, nullptr, 0);
    fs::remove_all(чужая);
    ASSERT_EQ(видно, "Vokra-Panel\n");
    EXPECT_NE(прочитать(корень / "папка"), чужая.string() + "\n");
}

// A quoted install folder, and a home whose name stands between double
// quotes in the PATH lines: neither may run as code.
TEST_F(ЗадачиПанели, ПапкаИДомСКавычкамиИЗнакамиОболочки) {
    for (const auto& [имя_дома, папка] : {std::pair<fs::path, fs::path>{"дом", "дом/it's a 'dir'"},
                                          {"д$(touch взлом)`touch взлом`\"\\", "простая"}}) {
        SCOPED_TRACE(имя_дома);
        const fs::path д = корень / имя_дома;
        fs::create_directories(д), fs::create_directories(корень / папка);
        ::setenv("HOME", д.c_str(), 1);
        const std::string D = (корень / папка / ".vokra").string();
        состояние.папка_установки = D;
        установить(D);
        EXPECT_EQ(прочитать(д / ".profile"), строка_path(D));
        EXPECT_EQ(прочитать(д / ".zshrc"), строка_path(D));
        выполнить(виды_задач::СБОРКА, тело_сборки(D));
        ожидать_диалог(2, "Сборка успешна", "Пример привет.код собран без ошибок.");
        EXPECT_TRUE(fs::exists(D + "/work/привет"));
        удалить(D);
        EXPECT_EQ(прочитать(д / ".profile") + прочитать(д / ".zshrc"), "");
        EXPECT_FALSE(fs::exists(D));
        EXPECT_EQ(содержимое(рабочая),
                  (std::vector<std::string>{"bin", "bin/вокра_пакеты", "bin/запустить",
                                            "bin/привет.код"}));
        EXPECT_FALSE(fs::exists(д / "взлом"));
    }
}

TEST_F(ЗадачиПанели, ПапкаСоЗнакамиОболочкиНеУстанавливается) {
    for (const std::string знак : {"\"", "$(touch взлом)", "`touch взлом`", "\\", "\n", ":."}) {
        состояние.папка_установки = (дом / ("x" + знак + "y") / ".vokra").string();
        начать_задачу_или_ошибка(состояние, виды_задач::УСТАНОВКА,
                                 тело_установки(состояние.папка_установки), "идёт");
        EXPECT_EQ(состояние.вид_задачи, 0);
        EXPECT_EQ(состояние.заголовок_диалога, "Неподходящая папка");
        EXPECT_EQ(состояние.текст_статуса, "");
    }
    EXPECT_TRUE(содержимое(дом).empty());
    EXPECT_TRUE(папка_годится_для_path("/home/u/it's mine/.vokra"));

    // A relative home gives a relative folder, which a PATH entry cannot be.
    ::setenv("HOME", "дом", 1);
    состояние.папка_установки = папка_установки_по_умолчанию();
    начать_задачу_или_ошибка(состояние, виды_задач::УСТАНОВКА,
                             тело_установки(состояние.папка_установки), "идёт");
    EXPECT_EQ(состояние.вид_задачи, 0);
    EXPECT_EQ(состояние.заголовок_диалога, "Неподходящая папка");
    EXPECT_FALSE(fs::exists(рабочая / "дом"));
}

TEST_F(ЗадачиПанели, ПроверкаОбновлений) {
    const fs::path json = корень / "release.json";
    записать(json,
             "{\n  \"tag_name\": \"v9.9.9\",\n  \"body\": \"Новое:\\r\\n- быстрее\",\n"
             "  \"assets\": [ {\"name\": \"vokra-Linux.tar.gz\"} ]\n}\n");
    ::setenv("VOKRA_TEST_RELEASE_JSON", json.c_str(), 1);
    выполнить(виды_задач::ОБНОВЛЕНИЯ, тело_обновлений());
    EXPECT_EQ(состояние.вид_диалога, 0);
    EXPECT_TRUE(состояние.есть_обновление);
    EXPECT_EQ(состояние.новая_версия, "9.9.9");
    EXPECT_EQ(состояние.что_нового, "Новое:\n- быстрее");
    EXPECT_NE(прочитать(запись / "curl").find("/releases/latest\n"), std::string::npos);

    записать(json, R"({"tag_name":"v0.3.3"})");
    выполнить(виды_задач::ОБНОВЛЕНИЯ, тело_обновлений());
    ожидать_диалог(2, "Обновлений нет", "У тебя последняя версия: 0.3.3");

    ::unsetenv("VOKRA_TEST_RELEASE_JSON");
    выполнить(виды_задач::ОБНОВЛЕНИЯ, тело_обновлений());
    ожидать_диалог(1, "Нет связи с GitHub",
                   "Не удалось выполнить запрос. Проверь интернет и наличие curl в системе.");
}

TEST_F(ЗадачиПанели, ВыборПапки) {
    const std::string прежняя = состояние.папка_установки;
    ::setenv("VOKRA_TEST_PICKED", (корень / "нет такой").c_str(), 1);
    выполнить(виды_задач::ВЫБОР_ПАПКИ, тело_выбора_папки());
    EXPECT_EQ(состояние.папка_установки, прежняя);
    EXPECT_EQ(состояние.вид_диалога, диалоги::УСТАНОВКА);
    EXPECT_NE(прочитать(запись / "zenity").find("--directory\n"), std::string::npos);

    // The warning that zenity writes first is not taken for the folder.
    ::setenv("VOKRA_TEST_PICKED", рабочая.c_str(), 1);
    выполнить(виды_задач::ВЫБОР_ПАПКИ, тело_выбора_папки());
    EXPECT_EQ(состояние.папка_установки, рабочая.string() + "/.vokra");
    EXPECT_EQ(
        состояние.текст_диалога,
        перенести_текст(сообщение_установки(состояние.папка_установки), ШИРИНА_ТЕКСТА_ДИАЛОГА));

    ::unsetenv("VOKRA_TEST_PICKED");  // cancelled
    выполнить(виды_задач::ВЫБОР_ПАПКИ, тело_выбора_папки());
    EXPECT_EQ(состояние.папка_установки, рабочая.string() + "/.vokra");
}

TEST_F(ЗадачиПанели, ДокументацияИОшибкиСоСводкойЛога) {
    выполнить(виды_задач::ДОКУМЕНТАЦИЯ, тело_документации());
    ожидать_диалог(1, "README.md не найден",
                   "Файла README.md нет ни рядом с панелью, ни в папке проекта.");
    записать(рабочая / "README.md", "# Вокра\n");
    выполнить(виды_задач::ДОКУМЕНТАЦИЯ, тело_документации());
    EXPECT_EQ(состояние.вид_диалога, 0);
    EXPECT_EQ(прочитать(запись / "xdg-open"), "./README.md\n");

    fs::remove_all(рабочая / "bin");
    выполнить(виды_задач::УСТАНОВКА, тело_установки(состояние.папка_установки));
    ожидать_диалог(1, "Не удалось установить", "Не найден запустить. Панель запущена из: .");

    // The guarded step stops the body: the later line never runs.
    выполнить(виды_задач::СБОРКА,
              с_проверкой("printf 'ошибка:  \\r\\n строка 3\\n'; false") + "touch поздно\n");
    ожидать_диалог(1, "Ошибка сборки", "ошибка: строка 3");
    EXPECT_FALSE(fs::exists(рабочая / "поздно"));
    выполнить(виды_задач::ПАКЕТЫ, "printf '%0200d' 0; exit 3\n");
    ожидать_диалог(1, "Не удалось получить пакеты", std::string(190, '0') + "…");
    // A listing is read in its start, each line cut while read: a huge name
    // leaves the next row in place.
    выполнить(виды_задач::ПАКЕТЫ,
              "printf '  '; head -c 3000000 /dev/zero | tr '\\0' a; printf '\\n  b\\n'; "
              "yes '  c' | head -c 30000000\n");
    EXPECT_LE(состояние.вывод_пакетов.size(), std::size_t{4} << 20);
    std::vector<std::string> имена, источники, описания;
    разобрать_пакеты(состояние.вывод_пакетов, имена, источники, описания);
    ASSERT_GE(имена.size(), 2u);
    EXPECT_EQ(имена[0], std::string(240, 'a') + "…");
    EXPECT_EQ(имена[1], "b");
}

TEST_F(ЗадачиПанели, ПоздняяМеткаНеЧитаетсяКакНовая) {
    const fs::path файл = файл_задачи("sh");
    struct stat сведения {};
    ASSERT_EQ(::stat(файл.parent_path().c_str(), &сведения), 0);
    EXPECT_EQ(сведения.st_mode & 0777, 0700u);
    EXPECT_NE(файл.parent_path(), fs::path("/tmp"));

    начать_задачу_или_ошибка(состояние, виды_задач::СБОРКА, "sleep 1; exit 0\n", "идёт");
    const fs::path первая_метка = файл_задачи("done");
    завершить_задачу(состояние, -1);
    ожидать_диалог(1, "Слишком долго",
                   "Задача не завершилась за минуту. Возможно, нет интернета или команда "
                   "зависла.");

    начать_задачу_или_ошибка(состояние, виды_задач::СБОРКА, "sleep 3; exit 0\n", "идёт");
    for (int шаг = 0; шаг < 500 && !fs::exists(первая_метка); ++шаг) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(fs::exists(первая_метка));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(проверить_метку(), -2);
}

// The uninstall killed at every step while it takes the PATH line out of
// the start-up files: stand-ins first on PATH for the tools a script may
// call count their calls, and the one at the chosen count stalls, before it
// runs or once 64 bytes of its output are written; the task's whole group is
// then killed there. Each file is then the old one or the new one, with its
// link and mode, and the next uninstall takes the line out and the copies
// the killed one left. The counts go up until a run passes them all.
TEST_F(ЗадачиПанели, УдалениеУбитоеНаЛюбомШаге) {
    const std::string D = состояние.папка_установки;
    const std::string строка = строка_path(D);
    const std::string профиль_до = "# начало\r\nA=1\r\n" + строка + "alias x=y";
    const std::string профиль_после = "# начало\r\nA=1\r\nalias x=y";
    const std::string zshrc_до = "x=1\n" + строка + "y=2\n", zshrc_после = "x=1\ny=2\n";
    const fs::path цель = дом / "настройки" / "zshrc", стоп = корень / "стоп";
    const fs::path счёт = корень / "счёт", метка = корень / "застрял";
    fs::create_directories(цель.parent_path()), fs::create_directories(стоп);
    fs::create_symlink(цель, дом / ".zshrc");
    записать(
        корень / "застревающий",
        "#!/bin/sh\nPATH=${PATH#*:}\nn=$(($(cat '" + счёт.string() +
            "' 2>/dev/null || echo 0) + 1))\necho $n > '" + счёт.string() +
            "'\nif [ $n -eq \"$VOKRA_TEST_STALL_AT\" ]; then\n"
            "  if [ \"$VOKRA_TEST_STALL_HOW\" = part ]; then \"${0##*/}\" \"$@\" | head -c 64; "
            "fi\n  echo $$ > '" +
            метка.string() + "'; exec sleep 600\nfi\nexec \"${0##*/}\" \"$@\"\n");
    fs::permissions(корень / "застревающий", fs::perms::owner_all);
    for (const char* инструмент : {"cat", "chmod", "cp", "dd", "dirname", "grep", "head", "mktemp",
                                   "mv", "readlink", "rm", "sed", "stat", "tail", "wc"}) {
        fs::create_symlink(корень / "застревающий", стоп / инструмент);
    }
    const auto файлы_как = [&](bool новые) {
        EXPECT_EQ(прочитать(дом / ".profile"), новые ? профиль_после : профиль_до);
        EXPECT_EQ(прочитать(цель), новые ? zshrc_после : zshrc_до);
    };
    for (const char* как : {"before", "part"}) {
        ::setenv("VOKRA_TEST_STALL_HOW", как, 1);
        bool прошёл = false;
        for (int шаг = 1; шаг < 200 && !прошёл; ++шаг) {
            SCOPED_TRACE(std::string(как) + " at call " + std::to_string(шаг));
            записать(дом / ".profile", профиль_до);
            записать(цель, zshrc_до);
            fs::permissions(дом / ".profile", fs::perms(0640));
            fs::permissions(цель, fs::perms(0604));
            fs::remove(счёт), fs::remove(метка);
            ::setenv("VOKRA_TEST_STALL_AT", std::to_string(шаг).c_str(), 1);
            ::setenv("PATH", (стоп.string() + ":" + path_с_подставными()).c_str(), 1);

            начать_задачу_или_ошибка(состояние, виды_задач::УДАЛЕНИЕ, тело_удаления(D), "идёт");
            std::int64_t итог = -2;
            ASSERT_TRUE(дождаться([&] {
                итог = проверить_метку();
                return итог != -2 || окончивается_на(прочитать(метка), "\n");
            }));
            ::setenv("PATH", path_с_подставными().c_str(), 1);
            if (итог != -2) {
                завершить_задачу(состояние, итог);
                ожидать_диалог(2, "Вокра удалена", "Папка удалена:\n" + D);
                файлы_как(true);
                прошёл = true;
                continue;
            }
            const pid_t застрявший = std::stoi(прочитать(метка));
            ASSERT_EQ(::kill(-::getpgid(застрявший), SIGKILL), 0);
            EXPECT_TRUE(дождаться([&] { return закончился(застрявший); }));
            завершить_задачу(состояние, -1);
            закрыть_диалог(состояние);
            const std::string профиль = прочитать(дом / ".profile"), zshrc = прочитать(цель);
            EXPECT_TRUE(профиль == профиль_до || профиль == профиль_после) << профиль;
            EXPECT_TRUE(zshrc == zshrc_до || zshrc == zshrc_после) << zshrc;

            удалить(D);
            файлы_как(true);
            EXPECT_EQ(режим(дом / ".profile"), 0640u);
            EXPECT_EQ(режим(цель), 0604u);
            EXPECT_TRUE(fs::is_symlink(дом / ".zshrc"));
            EXPECT_EQ(содержимое(дом), (std::vector<std::string>{".profile", ".zshrc", "настройки",
                                                                 "настройки/zshrc"}));
        }
        EXPECT_TRUE(прошёл);
    }
}

// The task folder removed while the panel runs, then put back as a link to
// a folder of ours, as another user's folder with links to a file of ours,
// or with a looser mode: the next task runs in a new private folder, and
// nothing that stands under the old name is run or written.
TEST_F(ЗадачиПанели, ПапкаЗадачПроверяетсяПередЗадачей) {
    const fs::path наша = корень / "наша", наш_файл = корень / "наш_файл";
    const std::string подмена = "touch '" + (корень / "взлом").string() + "'\n";
    fs::create_directories(наша);
    записать(наш_файл, подмена);
    struct Случай {
        const char* что;
        void (*подменить)(const fs::path& папка, const std::string& основа, const fs::path& наша,
                          const fs::path& наш_файл);
    };
    const std::vector<Случай> случаи = {
        {"removed", [](const fs::path& п, const std::string&, const fs::path&,
                       const fs::path&) { fs::remove_all(п); }},
        {"a link to a folder of ours",
         [](const fs::path& п, const std::string& основа, const fs::path& наша,
            const fs::path& файл) {
             fs::remove_all(п);
             for (const char* суффикс : {"sh", "log", "done"}) {
                 fs::copy_file(файл, наша / (основа + суффикс));
             }
             fs::create_directory_symlink(наша, п);
         }},
        {"another user's folder",
         [](const fs::path& п, const std::string& основа, const fs::path&, const fs::path& файл) {
             fs::remove_all(п);
             fs::create_directory(п);
             for (const char* суффикс : {"sh", "log", "done"}) {
                 fs::create_symlink(файл, п / (основа + суффикс));
                 ::lchown((п / (основа + суффикс)).c_str(), 65534, 65534);
             }
             ::chown(п.c_str(), 65534, 65534);
         }},
        {"a looser mode", [](const fs::path& п, const std::string&, const fs::path&,
                             const fs::path&) { fs::permissions(п, fs::perms(0755)); }},
    };
    std::vector<fs::path> старые, новые;
    for (const Случай& случай : случаи) {
        SCOPED_TRACE(случай.что);
        const fs::path скрипт = файл_задачи("sh");
        старые.push_back(скрипт.parent_path());
        случай.подменить(скрипт.parent_path(), скрипт.stem().string() + ".", наша, наш_файл);
        выполнить(виды_задач::СБОРКА, "echo собрано\n");
        ожидать_диалог(2, "Сборка успешна", "Пример привет.код собран без ошибок.");
        новые.push_back(fs::path(файл_задачи("sh")).parent_path());
        struct stat сведения {};
        ASSERT_EQ(::lstat(новые.back().c_str(), &сведения), 0);
        EXPECT_TRUE(S_ISDIR(сведения.st_mode));
        EXPECT_EQ(сведения.st_mode & 07777, 0700u);
        EXPECT_EQ(сведения.st_uid, ::geteuid());
        EXPECT_NE(новые.back(), старые.back());
    }
    EXPECT_EQ(прочитать(наш_файл), подмена);
    for (const auto& файл : содержимое(наша)) {
        EXPECT_EQ(прочитать(наша / файл), подмена) << файл;
    }
    EXPECT_FALSE(fs::exists(корень / "взлом"));

    // At the end only the panel's own folder goes: each earlier one was
    // replaced by the next case.
    закончить_задачи();
    EXPECT_FALSE(fs::exists(новые.back()));
    EXPECT_EQ(содержимое(наша).size(), 3u);
    for (const fs::path& папка : старые) {
        fs::remove_all(папка);
    }
}

// A task given up after the time-out, and the task running when the panel
// ends, end with everything they started, a child that ignores TERM among
// them; no task keeps a descriptor of the panel's, and the release request
// gives up on its own before the panel would.
TEST_F(ЗадачиПанели, НичегоНеПереживаетПанель) {
    const fs::path номера = корень / "номера";
    const std::string в_номера = " >> '" + номера.string() + "'\n";
    const std::string тело = "(trap '' TERM; while :; do sleep 1; done) & echo $!" + в_номера +
                             "sleep 600 & echo $!" + в_номера + "while :; do echo '  x'; done\n";
    struct Случай {
        const char* как;
        void (*закончить)(СостояниеПриложения& состояние);
    };
    const std::vector<Случай> случаи = {
        {"given up", [](СостояниеПриложения& с) { завершить_задачу(с, -1); }},
        {"the panel ends",
         [](СостояниеПриложения& с) {
             закончить_задачи();
             с.вид_задачи = 0;
         }},
    };
    for (const Случай& случай : случаи) {
        SCOPED_TRACE(случай.как);
        fs::remove(номера);
        начать_задачу_или_ошибка(состояние, виды_задач::ПАКЕТЫ, тело, "идёт");
        ASSERT_TRUE(дождаться([&] {
            const std::string текст = прочитать(номера);
            return std::count(текст.begin(), текст.end(), '\n') == 2;
        }));
        случай.закончить(состояние);
        закрыть_диалог(состояние);
        std::istringstream список(прочитать(номера));
        for (pid_t процесс = 0; список >> процесс;) {
            EXPECT_TRUE(дождаться([&] { return закончился(процесс); })) << процесс;
        }
    }

    // Nor does a task hold a descriptor of the panel's open (a pipe whose
    // reader would wait for it).
    int концы[2];
    ASSERT_EQ(::pipe(концы), 0);
    ASSERT_EQ(::dup2(концы[1], 20), 20);
    выполнить(виды_задач::ПАКЕТЫ, "ls /proc/self/fd\n");
    ::close(20), ::close(концы[0]), ::close(концы[1]);
    EXPECT_EQ(состояние.вывод_пакетов.find("20\n"), std::string::npos) << состояние.вывод_пакетов;

    выполнить(виды_задач::ОБНОВЛЕНИЯ, тело_обновлений());
    закрыть_диалог(состояние);
    const std::string аргументы = прочитать(запись / "curl");
    const std::size_t предел = аргументы.find("--max-time\n");
    ASSERT_NE(предел, std::string::npos) << аргументы;
    EXPECT_LT(std::stod(аргументы.substr(предел + 11)) * 1000, 3600 * 16);
}

// Started through a link of another name from a folder that holds a
// compiler and a README of its own, the panel installs from its own folder
// and opens its own README, even one whose name needs quoting.
TEST_F(ЗадачиПанели, СвояПапкаПанели) {
    const fs::path своя = корень / "при'ложение";
    fs::create_directories(своя / "bin");
    записать(своя / "bin" / "запустить", "#!/bin/sh\necho своя\n");
    записать(своя / "README.md", "# своя\n");
    записать(рабочая / "README.md", "# чужая\n");
    глобальная_папка_программы = своя.string();
    const std::string D = состояние.папка_установки;
    установить(D);
    EXPECT_EQ(прочитать(D + "/bin/запустить"), "#!/bin/sh\necho своя\n");
    выполнить(виды_задач::ДОКУМЕНТАЦИЯ, тело_документации());
    EXPECT_EQ(прочитать(запись / "xdg-open"), (своя / "README.md").string() + "\n");
}

// The installation where another user could change what it holds: in their
// folder, in one that anyone may write, made anew in a sticky one, or with a
// layout folder of theirs. Installing, building and listing are refused
// there and write nothing; the user's own folder reached through a link, or
// standing in a sticky folder, is fine.
TEST_F(ЗадачиПанели, ПапкаУстановкиВРукахПользователя) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make folders of another user";
    }
    const auto папка = [&](const char* имя, unsigned режим, uid_t владелец) {
        fs::create_directories(корень / имя);
        fs::permissions(корень / имя, fs::perms(режим));
        EXPECT_EQ(::chown((корень / имя).c_str(), владелец, владелец), 0);
    };
    папка("чужая", 0755, 65534);
    папка("общая", 0777, 0);
    папка("липкая", 01777, 0);
    папка("липкая/своя", 0755, 0);
    папка("своя/.vokra/bin", 0755, 0);
    EXPECT_EQ(::chown((корень / "своя/.vokra/bin").c_str(), 65534, 65534), 0);
    папка("своя/.vokra/share", 0755, 0);
    записать(корень / "своя/.vokra/share/version.txt", "0.3.3\n");
    fs::create_directories(корень / "за_ссылкой");
    fs::create_directory_symlink(корень / "за_ссылкой", корень / "ссылка");
    struct Случай {
        const char* папка;
        bool годится;
    };
    const std::vector<Случай> случаи = {
        {"чужая/.vokra", false}, {"общая/.vokra", false},      {"липкая/.vokra", false},
        {"своя/.vokra", false},  {"липкая/своя/.vokra", true}, {"ссылка/.vokra", true},
    };
    for (const Случай& случай : случаи) {
        SCOPED_TRACE(случай.папка);
        const std::string D = (корень / случай.папка).string();
        const std::vector<std::string> было = содержимое(корень);
        состояние.папка_установки = D;
        if (случай.годится) {
            установить(D);
            continue;
        }
        for (const auto& [вид, тело] : {std::pair{виды_задач::УСТАНОВКА, тело_установки(D)},
                                        std::pair{виды_задач::СБОРКА, тело_сборки(D)},
                                        std::pair{виды_задач::ПАКЕТЫ, тело_пакетов(D)}}) {
            начать_задачу_или_ошибка(состояние, вид, тело, "идёт");
            EXPECT_EQ(состояние.вид_задачи, 0);
            EXPECT_EQ(состояние.заголовок_диалога, "Неподходящая папка");
            закрыть_диалог(состояние);
        }
        EXPECT_EQ(содержимое(корень), было);
    }
}

}  // namespace
}  // namespace vokra::panel
