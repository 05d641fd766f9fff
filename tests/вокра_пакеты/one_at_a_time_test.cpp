#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sandbox.hpp"
#include "вокра_пакеты/process.hpp"

namespace vokra::пакеты {
namespace {

namespace fs = std::filesystem;

class ОднаКоманда : public тест::Песочница {
  protected:
    void SetUp() override {
        тест::Песочница::SetUp();
        const auto индекс = репозиторий(
            "индекс", {{"", {{"каталог.пакеты", "json = git " + пакет("json") + "\n"}}}});
        ASSERT_EQ(пакеты({"индекс-настроить", индекс}).код, 0);
        ASSERT_EQ(пакеты({"индекс-обновить"}).код, 0);
        записать(проект / "вокра.зависимости", "а = git " + пакет("а") + "\n");
    }
    std::string пакет(const std::string& имя) {
        return репозиторий(имя, {{"", {{имя + ".код", имя}}}});
    }
};

// While another process works in the project, a command that changes it
// waits, says so once and changes nothing, then goes on once the other is
// done; what the other left in `пакеты/` meanwhile stays while it works.
TEST_F(ОднаКоманда, ВтораяЖдётПервую) {
    const std::string жду =
        "Жду, пока другая команда вокра_пакеты закончит работу в '" + проект.string() + "'...\n";
    struct Случай {
        std::vector<std::string> команда;
        std::vector<std::string> пакеты_после;
    };
    const Случай случаи[] = {
        {{"установить"}, {"а"}},
        {{"удалить", "а"}, {}},
        {{"добавить", "json"}, {}},
    };
    for (const auto& с : случаи) {
        const int замок = ::open(проект.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_EQ(::flock(замок, LOCK_EX), 0);
        fs::create_directories(проект / "пакеты" / ".вокра_новый_Ab12Cd");
        const auto до = снимок(проект);
        const auto снаружи = снимок_вне_проекта();

        ЗапускПроцесса запуск;
        запуск.аргументы = {VOKRA_PAKETY_BINARY};
        запуск.аргументы.insert(запуск.аргументы.end(), с.команда.begin(), с.команда.end());
        std::string вывод;
        bool отпущен = false;
        запуск.вывод_частями = [&](std::string_view часть) {
            вывод += часть;
            if (!отпущен && вывод.find(жду) != std::string::npos) {
                EXPECT_EQ(снимок(проект), до) << с.команда[0];
                ::close(замок);
                отпущен = true;
            }
        };
        const auto итог = запустить_процесс(запуск);
        if (!отпущен)
            ::close(замок);
        ASSERT_TRUE(итог);
        EXPECT_TRUE(отпущен) << вывод;
        EXPECT_EQ(итог->код_выхода, 0) << итог->ошибки;
        EXPECT_TRUE(вывод.starts_with(жду)) << вывод;
        EXPECT_EQ(вывод.find(жду, 1), std::string::npos) << вывод;
        fs::remove_all(проект / "пакеты" / ".вокра_новый_Ab12Cd");
        EXPECT_EQ(содержимое(проект / "пакеты"), с.пакеты_после) << с.команда[0];
        EXPECT_EQ(снимок_вне_проекта(), снаружи);
    }
    EXPECT_TRUE(
        прочитать(проект / "вокра.зависимости")
            .ends_with("json = git " + (корень / "репозитории" / "json.git").string() + "\n"));
}

// Installs started together, each a little after the other, run one after
// the other, and each ends with the project as one install leaves it.
TEST_F(ОднаКоманда, УстановкиВместе) {
    записать(проект / "вокра.зависимости",
             "а = git " + (корень / "репозитории" / "а.git").string() + "\nб = git " +
                 репозиторий("б", {{"v1.0.0", {{"б.код", "б"}}}}) + " версия=^1.0.0\n");
    for (int круг = 0; круг < 2; ++круг) {
        fs::remove_all(проект / "пакеты");
        pid_t дети[6];
        for (auto& ребёнок : дети) {
            ::usleep(20000);
            ребёнок = ::fork();
            if (ребёнок == 0) {
                const int пусто = ::open("/dev/null", O_WRONLY);
                ::dup2(пусто, STDOUT_FILENO);
                ::dup2(пусто, STDERR_FILENO);
                ::execl(VOKRA_PAKETY_BINARY, VOKRA_PAKETY_BINARY, "установить", nullptr);
                ::_exit(127);
            }
        }
        for (const pid_t ребёнок : дети) {
            int состояние = 0;
            ::waitpid(ребёнок, &состояние, 0);
            EXPECT_TRUE(WIFEXITED(состояние) && WEXITSTATUS(состояние) == 0) << круг;
        }
        EXPECT_EQ(содержимое(проект / "пакеты"), (std::vector<std::string>{"а", "б"}));
        EXPECT_TRUE(
            прочитать(проект / "пакеты" / "б" / ".метаданные").ends_with("версия=v1.0.0\n"));
        EXPECT_TRUE(прочитать(проект / "вокра.блокировка").ends_with(" версия=v1.0.0\n"));
        EXPECT_EQ(содержимое(проект),
                  (std::vector<std::string>{"вокра.блокировка", "вокра.зависимости", "пакеты"}));
    }
}

// A project that is the settings folder itself: `добавить` fetches the index
// there without waiting for its own hold on the folder.
TEST_F(ОднаКоманда, ПроектВПапкеНастроек) {
    const fs::path настройки = дом / ".вокра";
    fs::remove_all(настройки / "индекс");
    fs::current_path(настройки);
    const auto итог = пакеты({"добавить", "json"});
    fs::current_path(проект);
    EXPECT_EQ(итог.код, 0) << итог.ошибки;
    EXPECT_EQ(итог.вывод.find("Жду"), std::string::npos) << итог.вывод;
    EXPECT_TRUE(fs::exists(настройки / "вокра.зависимости"));
}

}  // namespace
}  // namespace vokra::пакеты
