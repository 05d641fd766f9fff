#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "sandbox.hpp"
#include "вокра_пакеты/files.hpp"
#include "вокра_пакеты/install.hpp"

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
    // Runs an install in a child process that ends abruptly after the given
    // number of steps on disk, as a kill would. True when it was stopped,
    // false when it finished first.
    bool установить_до_шага(int шаг) {
        std::fflush(nullptr);
        const pid_t ребёнок = ::fork();
        if (ребёнок == 0) {
            const int пусто = ::open("/dev/null", O_WRONLY);
            ::dup2(пусто, STDOUT_FILENO);
            ::dup2(пусто, STDERR_FILENO);
            шагов_до_остановки = шаг;
            после_шага = остановить_на_шаге;
            ::_exit(установить_зависимости(false) ? 0 : 1);
        }
        int состояние = 0;
        ::waitpid(ребёнок, &состояние, 0);
        EXPECT_TRUE(WIFEXITED(состояние) && WEXITSTATUS(состояние) != 1) << шаг;
        return WIFEXITED(состояние) && WEXITSTATUS(состояние) == код_остановки;
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
        // The project folder itself stays: it is the current folder.
        for (const auto& запись : fs::directory_iterator(проект))
            fs::remove_all(запись.path());
        fs::copy(корень / "запас", проект, fs::copy_options::recursive);
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
    // A kill leaves only the temporary clones, which nothing else owns.
    for (const auto& имя : содержимое(временная))
        EXPECT_TRUE(имя.starts_with("вокра_пакет_")) << имя;
}

}  // namespace
}  // namespace vokra::пакеты
