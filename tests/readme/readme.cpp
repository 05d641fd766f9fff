#include "readme.hpp"

#include "unicode/lines.hpp"
#include "вокра_пакеты/files.hpp"

namespace vokra::readme {

std::string текст_readme() {
    return пакеты::прочитать_текст(VOKRA_README).value_or("");
}

std::optional<std::string> блок_раздела(std::string_view readme, std::string_view раздел,
                                        std::string_view язык) {
    const std::string заголовок = "## " + std::string(раздел);
    const std::string начало_блока = "```" + std::string(язык);
    bool в_разделе = false;
    std::optional<std::string> блок;
    for (const std::string_view строка : unicode::строки_без_возврата_каретки(readme)) {
        if (блок) {
            if (строка == "```")
                return блок;
            *блок += строка;
            *блок += '\n';
        } else if (строка.starts_with("## ")) {
            в_разделе = строка == заголовок;
        } else if (в_разделе && строка == начало_блока) {
            блок.emplace();
        }
    }
    return std::nullopt;
}

}  // namespace vokra::readme
