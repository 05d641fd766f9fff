#pragma once

// The panel's widgets, drawn every frame from plain values: the animated
// button and sidebar tab, the busy spinner, the progress strip and the package
// table, plus the static button, panel and input field they are built from.

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <string>
#include <vector>

#include "panel/core/state.hpp"
#include "panel/sdl/graphics.hpp"

namespace vokra::panel {

struct Кнопка {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::string подпись;
};

void Кнопка__нарисовать(const Кнопка& кнопка, SDL_Renderer* рендерер, TTF_Font* шрифт);
bool Кнопка__содержит_точку(const Кнопка& кнопка, std::int32_t px, std::int32_t py);

// A button that grows when hovered and sinks when pressed; a disabled one is
// grey and flat.
void нарисовать_кнопку(SDL_Renderer* рендерер, TTF_Font* шрифт, std::int32_t x, std::int32_t y,
                       std::int32_t w, std::int32_t h, std::uint8_t r, std::uint8_t g,
                       std::uint8_t b, const std::string& подпись, const АнимацияЭлемента& анимация,
                       bool включена);

// Sidebar tab number `номер`, 50 pixels high.
void нарисовать_вкладку(SDL_Renderer* рендерер, TTF_Font* шрифт, std::int32_t номер,
                        const std::string& подпись, const АнимацияЭлемента& анимация, bool активна);

// Offset of ring point k (of twelve) on a circle of radius 12.
std::int32_t х_кольца(std::int64_t k);
void нарисовать_спиннер(SDL_Renderer* рендерер, std::int32_t cx, std::int32_t cy,
                        std::int64_t кадр);
// A bright segment sweeping along the top of the content area.
void нарисовать_полоску_загрузки(SDL_Renderer* рендерер, std::int64_t кадр);

struct Таблица {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::vector<std::int32_t> ширины_колонок;
    std::int32_t высота_строки = 0;
};

std::int32_t Таблица__общая_ширина(const Таблица& таблица);
void Таблица__нарисовать_разделители_колонок(const Таблица& таблица, SDL_Renderer* рендерер,
                                             std::int32_t y);
// Data row `номер` (from 1) under the header.
void Таблица__нарисовать_строку(const Таблица& таблица, SDL_Renderer* рендерер, TTF_Font* шрифт,
                                std::int32_t номер, const std::vector<std::string>& ячейки,
                                bool полосатая);
void Таблица__нарисовать_заголовок(const Таблица& таблица, SDL_Renderer* рендерер, TTF_Font* шрифт,
                                   const std::vector<std::string>& заголовки);

struct Панель {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::vector<Кнопка> кнопки;
};

void Панель__нарисовать(const Панель& панель, SDL_Renderer* рендерер, TTF_Font* шрифт);
// Index of the first button containing the point, or -1.
std::int32_t Панель__кнопка_под_точкой(const Панель& панель, std::int32_t px, std::int32_t py);
void Панель__закрепить_снизу(Панель& панель, РазмерОкна размер, std::int32_t отступ);
void Панель__закрепить_сверху(Панель& панель, std::int32_t новый_y);
void Панель__растянуть_по_ширине(Панель& панель, РазмерОкна размер);

struct ПолеВвода {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::string текст;
    bool в_фокусе = false;
};

bool ПолеВвода__содержит_точку(const ПолеВвода& поле, std::int32_t px, std::int32_t py);
void ПолеВвода__добавить_текст(ПолеВвода& поле, std::string_view текст);
void ПолеВвода__удалить_символ(ПолеВвода& поле);
// The caret blinks every 15 frames while the field has the focus.
void ПолеВвода__нарисовать(const ПолеВвода& поле, SDL_Renderer* рендерер, TTF_Font* шрифт,
                           std::int64_t кадр);

}  // namespace vokra::panel
