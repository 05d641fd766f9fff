#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "local_server.hpp"
#include "sandbox.hpp"
#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/install.hpp"
#include "вокра_пакеты/installed.hpp"

namespace vokra::пакеты {
namespace {

namespace fs = std::filesystem;

constexpr int код_остановки = 77;
int шагов_до_остановки = 0;

void остановить_на_шаге() {
    if (--шагов_до_остановки == 0)
        ::_exit(код_остановки);
}

class Прерывание : public тест::Песочница {
  protected:
    // Starts a child process, its output dropped, that ends with the work's
    // exit status.
    template <typename Работа>
    static pid_t начать_без_вывода(Работа&& работа) {
        std::fflush(nullptr);
        const pid_t ребёнок = ::fork();
        if (ребёнок == 0) {
            const int пусто = ::open("/dev/null", O_WRONLY);
            ::dup2(пусто, STDOUT_FILENO);
            ::dup2(пусто, STDERR_FILENO);
            ::_exit(работа());
        }
        return ребёнок;
    }

    // Runs a command in a child process that ends abruptly after the given
    // number of steps on disk, as a kill would. True when it was stopped,
    // false when it finished first.
    template <typename Команда>
    static bool выполнить_до_шага(int шаг, Команда&& команда) {
        const pid_t ребёнок = начать_без_вывода([шаг, &команда] {
            шагов_до_остановки = шаг;
            после_шага = остановить_на_шаге;
            return команда() ? 0 : 1;
        });
        int состояние = 0;
        ::waitpid(ребёнок, &состояние, 0);
        EXPECT_TRUE(WIFEXITED(состояние) && WEXITSTATUS(состояние) != 1) << шаг;
        return WIFEXITED(состояние) && WEXITSTATUS(состояние) == код_остановки;
    }
    bool установить_до_шага(int шаг) {
        return выполнить_до_шага(шаг, [] { return установить_зависимости(false); });
    }

    // The project as it was copied to "запас". The project folder itself
    // stays: it is the current folder.
    void вернуть_проект() {
        for (const auto& запись : fs::directory_iterator(проект))
            fs::remove_all(запись.path());
        fs::copy(корень / "запас", проект, fs::copy_options::recursive);
    }
};

// An update stopped after any step: the package's name holds the whole old
// or the whole new folder, the listing shows only the package, and the next
// install clears what was left.
TEST_F(Прерывание, ОбновлениеОстановленноеНаЛюбомШаге) {
    const auto а = репозиторий("а", {{"1.0.0", {{"а.код", "1"}, {"б.код", "1"}}},
                                     {"1.1.0", {{"а.код", "2"}, {"в.код", "2"}}}});
    записать(проект / "вокра.зависимости", "а = git " + а + " версия=1.0.0\n");
    ASSERT_EQ(пакеты({"установить"}).код, 0);
    const auto старая = снимок(проект / "пакеты" / "а");
    const auto старая_блокировка = прочитать(проект / "вокра.блокировка");
    fs::copy(проект, корень / "запас", fs::copy_options::recursive);

    записать(корень / "запас" / "вокра.зависимости", "а = git " + а + " версия=1.1.0\n");
    const std::map<std::string, std::string> новая{
        {".метаданные", "файл имя=а\nисточник=" + а + "\nверсия=1.1.0\n"},
        {"а.код", "файл 2"},
        {"в.код", "файл 2"}};
    const auto снаружи = снимок(корень, {проект, временная});

    int с_остатками = 0;
    int шаг = 1;
    for (;; ++шаг) {
        вернуть_проект();
        const bool остановлена = установить_до_шага(шаг);

        const auto пакет = снимок(проект / "пакеты" / "а");
        EXPECT_TRUE(пакет == старая || пакет == новая) << шаг;
        const auto блокировка = прочитать(проект / "вокра.блокировка");
        EXPECT_TRUE(блокировка == старая_блокировка ||
                    блокировка.ends_with("а = git " + а + " версия=1.1.0\n"))
            << шаг;
        const auto список = пакеты({"список"});
        EXPECT_TRUE(список.вывод.starts_with("Установленные пакеты (1):\n  а\n")) << список.вывод;
        EXPECT_EQ(список.вывод.find(".вокра_"), std::string::npos) << список.вывод;
        с_остатками += содержимое(проект / "пакеты").size() > 1;

        EXPECT_EQ(пакеты({"установить"}).код, 0) << шаг;
        EXPECT_EQ(содержимое(проект / "пакеты"), std::vector<std::string>{"а"}) << шаг;
        EXPECT_EQ(снимок(проект / "пакеты" / "а"), новая) << шаг;
        if (!остановлена || шаг > 50)
            break;
    }
    EXPECT_GT(шаг, 5);
    EXPECT_GT(с_остатками, 0);
    EXPECT_EQ(снимок(корень, {проект, временная}), снаружи);
    // What a killed install left in the temporary folder, the next one
    // removed.
    EXPECT_EQ(содержимое(временная), std::vector<std::string>{});
}

// A removal stopped after any step leaves the package whole or gone, never
// in part: the listing shows all of it or nothing, and the next command
// clears what was left aside.
TEST_F(Прерывание, УдалениеОстановленноеНаЛюбомШаге) {
    std::map<std::string, std::string> файлы;
    for (int i = 0; i < 20; ++i)
        файлы["ф" + std::to_string(i) + ".код"] = std::to_string(i);
    записать(проект / "вокра.зависимости", "м = git " + репозиторий("м", {{"", файлы}}) + "\n");
    ASSERT_EQ(пакеты({"установить"}).код, 0);
    const auto целый = снимок(проект / "пакеты" / "м");
    fs::copy(проект, корень / "запас", fs::copy_options::recursive);
    const auto снаружи = снимок(корень, {проект, временная});

    int с_остатками = 0;
    int шаг = 1;
    for (;; ++шаг) {
        вернуть_проект();
        const bool остановлено = выполнить_до_шага(шаг, [] { return удалить_пакет("м", false); });

        const auto пакет = снимок(проект / "пакеты" / "м");
        EXPECT_TRUE(пакет == целый || пакет.empty()) << шаг;
        const auto список = пакеты({"список"}).вывод;
        EXPECT_EQ(список.find("  м\n") != std::string::npos, !пакет.empty()) << список;
        с_остатками += содержимое(проект / "пакеты").size() > (пакет.empty() ? 0u : 1u);

        const auto снова = пакеты({"удалить", "м"});
        EXPECT_EQ(снова.код, пакет.empty() ? 1 : 0) << шаг << снова.ошибки;
        EXPECT_EQ(содержимое(проект / "пакеты"), std::vector<std::string>{}) << шаг;
        if (!остановлено || шаг > 20)
            break;
    }
    EXPECT_GT(шаг, 2);
    EXPECT_GT(с_остатками, 0);
    EXPECT_EQ(снимок(корень, {проект, временная}), снаружи);
}

// SIGINT or SIGTERM while git waits on a server that never answers: git is
// ended too, the temporary folders go, the project stays as it was, and the
// program ends by the signal.
TEST_F(Прерывание, СигналВоВремяGit) {
    const auto а = репозиторий("а", {{"v1.0.0", {{"а.код", "1"}}}});
    записать(проект / "вокра.зависимости", "а = git " + а + "\n");
    ASSERT_EQ(пакеты({"установить"}).код, 0);

    struct Случай {
        int сигнал;
        std::string версия;
    };
    for (const auto& с : {Случай{SIGINT, ""}, Случай{SIGTERM, " версия=^1.0.0"}}) {
        тест::МестныйСервер сервер(тест::МестныйСервер::Ответ::молчит);
        записать(проект / "вокра.зависимости",
                 "а = git " + а + "\nб = git " + сервер.адрес("б.git") + с.версия + "\n");
        const auto в_проекте = снимок(проект);
        const auto снаружи = снимок_вне_проекта();

        const pid_t ребёнок = начать_без_вывода([] {
            ::execl(VOKRA_PAKETY_BINARY, VOKRA_PAKETY_BINARY, "установить", nullptr);
            return 127;
        });
        ASSERT_TRUE(сервер.дождаться_соединения()) << с.сигнал;
        EXPECT_NE(содержимое(временная), std::vector<std::string>{});
        ::kill(ребёнок, с.сигнал);
        int состояние = 0;
        ::waitpid(ребёнок, &состояние, 0);
        EXPECT_TRUE(WIFSIGNALED(состояние) && WTERMSIG(состояние) == с.сигнал) << состояние;
        EXPECT_TRUE(сервер.дождаться_закрытия()) << с.сигнал;
        EXPECT_EQ(содержимое(временная), std::vector<std::string>{}) << с.сигнал;
        EXPECT_EQ(снимок(проект), в_проекте) << с.сигнал;
        EXPECT_EQ(снимок_вне_проекта(), снаружи) << с.сигнал;
    }
}

// An install first removes what killed runs left: its own hidden lock
// files, and this user's temporary folders of processes that are gone. The
// folders of running processes, and anything else, stay.
TEST_F(Прерывание, УстановкаУбираетБрошенное) {
    const pid_t ушедший = ::fork();
    if (ушедший == 0)
        ::_exit(0);
    ::waitpid(ушедший, nullptr, 0);
    const std::string брошенная = "вокра_пакет_" + std::to_string(ушедший) + ".Ab12Cd";
    const std::string живая = "вокра_пакет_" + std::to_string(::getpid()) + ".Ab12Cd";
    записать(временная / брошенная / "клон" / "а.код", "");
    записать(временная / живая / "а.код", "");
    записать(временная / ("вокра_пакет_" + std::to_string(ушедший) + ".файл1"), "");
    записать(дом / "важное" / "заметки.txt", "мои");
    fs::create_symlink(дом / "важное",
                       временная / ("вокра_пакет_" + std::to_string(ушедший) + ".ссылка"));
    записать(проект / ".вокра.блокировка.Xy12Zw", "половина");
    записать(проект / ".вокра.блокировка.мой", "чужое");

    const auto а = репозиторий("а", {{"v1.0.0", {{"а.код", "1"}}}});
    записать(проект / "вокра.зависимости", "а = git " + а + " версия=^1.0.0\n");
    auto ожидается = снимок_вне_проекта();
    std::erase_if(ожидается, [&](const auto& запись) {
        return запись.first.starts_with((fs::path("tmp") / брошенная).string());
    });

    const auto итог = пакеты({"установить"});
    EXPECT_EQ(итог.код, 0) << итог.ошибки;
    EXPECT_EQ(снимок_вне_проекта(), ожидается);
    EXPECT_EQ(содержимое(проект),
              (std::vector<std::string>{".вокра.блокировка.мой", "вокра.блокировка",
                                        "вокра.зависимости", "пакеты"}));
}

}  // namespace
}  // namespace vokra::пакеты
