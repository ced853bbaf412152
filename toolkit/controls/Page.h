// Page: the plain container element. It draws nothing (its canvas stays 1 x 1, which the core
// decides by the class type id, so subclasses created with their own type ids keep full
// canvases) and handles no message itself: subclasses draw and react through their pre-filter.
#pragma once

#include <cstdint>
#include <optional>

#include "core/Element.h"

namespace toolkit {

class Page : public Element {
public:
    Page() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slot 91. parent: a host window's HWND or a parent element's handle. The page is neither
    // focusable nor a Tab stop, tracks no pointer and has no transition.
    virtual ElementHandle CreatePage(std::uint32_t parent, std::int32_t x, std::int32_t y,
                                     std::int32_t width, std::int32_t height,
                                     std::optional<std::int32_t> elementStyle = std::nullopt);
};

constexpr std::uint32_t kSlotCreatePage = 91;

}  // namespace toolkit
