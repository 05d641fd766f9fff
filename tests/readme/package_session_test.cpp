#include <gtest/gtest.h>
#include <stdlib.h>

#include "readme.hpp"
#include "sandbox.hpp"
#include "unicode/lines.hpp"
#include "вокра_пакеты/process.hpp"

namespace vokra::readme {
namespace {

namespace fs = std::filesystem;

// One command of the session and the lines the README shows under it.
struct Шаг {
    std::string команда;
    std::vector<std::string> вывод;
};

// Every line that is no comment is a command, run as written; the comment
// lines right under it are what it prints.
std::vector<Шаг> шаги_сеанса(std::string_view блок) {
    std::vector<Шаг> шаги;
    for (std::string_view строка : unicode::строки_без_возврата_каретки(блок)) {
        if (!строка.starts_with('#')) {
            шаги.push_back({std::string(строка), {}});
        } else if (!шаги.empty()) {
            строка.remove_prefix(строка.starts_with("# ") ? 2 : 1);
            шаги.back().вывод.emplace_back(строка);
        }
    }
    return шаги;
}

// Whether the line is the one shown, each "…" of it standing for any text.
bool подходит(std::string_view образец, std::string_view строка) {
    constexpr std::string_view пропуск = "…";
    std::size_t где = образец.find(пропуск);
    if (где == std::string_view::npos)
        return образец == строка;
    if (!строка.starts_with(образец.substr(0, где)))
        return false;
    строка.remove_prefix(где);
    образец.remove_prefix(где + пропуск.size());
    while ((где = образец.find(пропуск)) != std::string_view::npos) {
        const std::size_t часть = строка.find(образец.substr(0, где));
        if (часть == std::string_view::npos)
            return false;
        строка.remove_prefix(часть + где);
        образец.remove_prefix(где + пропуск.size());
    }
    return строка.ends_with(образец);
}

// The first shown line that the output lacks, the shown lines taken in order
// and the output's other lines passed over; nothing when it has them all.
std::optional<std::string> недостающая_строка(const std::vector<std::string>& показано,
                                              std::string_view вывод) {
    auto ждём = показано.begin();
    for (const std::string_view строка : unicode::строки_без_возврата_каретки(вывод))
        if (ждём != показано.end() && подходит(*ждём, строка))
            ++ждём;
    if (ждём == показано.end())
        return std::nullopt;
    return *ждём;
}

class СеансПакетов : public пакеты::тест::Песочница {
  protected:
    void SetUp() override {
        Песочница::SetUp();
        // The session commits as the README writes it, with no identity of
        // the test's to lean on.
        for (const char* имя :
             {"GIT_AUTHOR_NAME", "GIT_AUTHOR_EMAIL", "GIT_COMMITTER_NAME", "GIT_COMMITTER_EMAIL"})
            ::unsetenv(имя);
        const std::string папка = fs::path(VOKRA_PAKETY_BINARY).parent_path().string();
        ::setenv("PATH", (папка + ":" + std::getenv("PATH")).c_str(), 1);
    }
};

// The session runs in one shell as the README prints it; after each command
// a line of the test's prints a mark with the command's status, which
// divides the output between the commands.
TEST_F(СеансПакетов, КаждаяКомандаУдаётсяИПечатаетПоказанное) {
    const auto блок = блок_раздела(текст_readme(), "Use", "sh");
    ASSERT_TRUE(блок) << "no ```sh block in the section «Use» of " VOKRA_README;
    const auto шаги = шаги_сеанса(*блок);
    ASSERT_FALSE(шаги.empty());
    constexpr std::string_view метка = "\n\x1d";
    std::string сценарий = "exec 2>&1\n";
    for (const auto& шаг : шаги)
        сценарий += шаг.команда + "\nprintf '\\n\\035%s\\n' \"$?\"\n";

    const auto итог = пакеты::выполнить_процесс({"sh", "-c", сценарий});
    ASSERT_TRUE(итог) << итог.error();
    std::string_view вывод = итог->вывод;
    for (const auto& шаг : шаги) {
        SCOPED_TRACE(шаг.команда);
        const std::size_t конец = вывод.find(метка);
        ASSERT_NE(конец, std::string_view::npos) << "the session stopped before it:\n"
                                                 << итог->вывод;
        const std::string_view свой = вывод.substr(0, конец);
        вывод.remove_prefix(конец + метка.size());
        const std::size_t конец_статуса = вывод.find('\n');
        EXPECT_EQ(вывод.substr(0, конец_статуса), "0") << свой;
        вывод.remove_prefix(конец_статуса + 1);
        if (const auto строка = недостающая_строка(шаг.вывод, свой))
            ADD_FAILURE() << "not printed: «" << *строка << "» in:\n" << свой;
    }
}

}  // namespace
}  // namespace vokra::readme
