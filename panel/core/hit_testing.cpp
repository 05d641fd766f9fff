#include "panel/core/hit_testing.hpp"

#include <array>

#include "panel/core/messages.hpp"

namespace vokra::panel {

bool внутри(std::int64_t px, std::int64_t py, std::int64_t x, std::int64_t y, std::int64_t w,
            std::int64_t h) {
    return x <= px && px < x + w && y <= py && py < y + h;
}

Прямоугольник прямоугольник_элемента(std::int64_t id) {
    switch (id) {
        case элементы::ВКЛАДКА_ОБЗОР:
        case элементы::ВКЛАДКА_ПАКЕТЫ:
        case элементы::ВКЛАДКА_ДОКУМЕНТАЦИЯ:
            return {0, static_cast<std::int32_t>((id - 1) * 50), 150, 50};
        case элементы::УСТАНОВИТЬ:
            return {170, 200, 220, 50};
        case элементы::УДАЛИТЬ:
            return {170, 260, 220, 50};
        case элементы::СОБРАТЬ:
            return {170, 320, 220, 50};
        case элементы::ОБНОВЛЕНИЕ:
            return {170, 380, 260, 50};
        case элементы::ОБНОВИТЬ_СПИСОК:
            return {170, 60, 220, 45};
        case элементы::ОТКРЫТЬ_README:
            return {170, 300, 260, 50};
        case элементы::СЛОТ_1:
            return {434, 428, 136, 42};
        case элементы::СЛОТ_2:
            return {288, 428, 136, 42};
        case элементы::СЛОТ_3:
            return {142, 428, 136, 42};
        default:
            return {};
    }
}

std::string_view подпись_слота(std::int64_t вид_диалога, std::int64_t слот) {
    using namespace сообщения;
    if (вид_диалога == 1) {
        switch (слот) {
            case 1:
                return СЛОТ_УСТАНОВИТЬ;
            case 2:
                return СЛОТ_ВЫБРАТЬ_ПАПКУ;
            case 3:
                return СЛОТ_ОТМЕНА;
        }
    } else if (вид_диалога == 2) {
        switch (слот) {
            case 1:
                return СЛОТ_УДАЛИТЬ;
            case 2:
                return СЛОТ_ОТМЕНА;
        }
    } else if (вид_диалога == 3 && слот == 1) {
        return СЛОТ_ПОНЯТНО;
    }
    return {};
}

ЦветКнопки цвет_слота(std::int64_t вид_диалога, std::int64_t слот) {
    constexpr ЦветКнопки приглушённый{70, 78, 100};
    if (слот != 1) {
        return приглушённый;
    }
    switch (вид_диалога) {
        case 1:
            return {60, 160, 60};
        case 2:
            return {190, 70, 70};
        default:
            return {60, 120, 200};
    }
}

namespace {

bool попадает(std::int64_t x, std::int64_t y, std::int64_t id) {
    const Прямоугольник п = прямоугольник_элемента(id);
    return внутри(x, y, п.x, п.y, п.w, п.h);
}

}  // namespace

std::int64_t элемент_в_точке(std::int64_t x, std::int64_t y, std::int64_t вкладка,
                             std::int64_t вид_диалога, bool идёт_задача) {
    if (вид_диалога > 0) {
        for (std::int64_t слот = 1; слот <= 3; ++слот) {
            const std::int64_t id = элементы::СЛОТ_1 + слот - 1;
            if (!подпись_слота(вид_диалога, слот).empty() && попадает(x, y, id)) {
                return id;
            }
        }
        return 0;
    }
    for (std::int64_t id = элементы::ВКЛАДКА_ОБЗОР; id <= элементы::ВКЛАДКА_ДОКУМЕНТАЦИЯ; ++id) {
        if (попадает(x, y, id)) {
            return id;
        }
    }
    if (идёт_задача) {
        return 0;
    }
    static constexpr std::array<std::array<std::int64_t, 4>, 3> кнопки_вкладок{{
        {элементы::УСТАНОВИТЬ, элементы::УДАЛИТЬ, элементы::СОБРАТЬ, элементы::ОБНОВЛЕНИЕ},
        {элементы::ОБНОВИТЬ_СПИСОК, 0, 0, 0},
        {элементы::ОТКРЫТЬ_README, 0, 0, 0},
    }};
    if (вкладка < 0 || вкладка > 2) {
        return 0;
    }
    for (std::int64_t id : кнопки_вкладок[static_cast<std::size_t>(вкладка)]) {
        if (id > 0 && попадает(x, y, id)) {
            return id;
        }
    }
    return 0;
}

}  // namespace vokra::panel
