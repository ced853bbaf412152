// Link: a Label that behaves as a hyperlink. It is underlined and recoloured while the pointer
// is over it, opens its target through the shell when clicked and keeps a visited colour after
// that. It is created with CreateLabel and retags itself (type id, class name) on WM_CREATE;
// caption, painting and the Label slots 91-110 are Label's own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controls/Label.h"

namespace toolkit {

class Link : public Label {
public:
    Link() = default;

    void FreeMembers() override;
    std::uint32_t Clone() override;
    // Slot 111.
    LRESULT PreHandleMessage(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                             LPARAM lParam) override;

    // Slot 112: the GBK target; setting copies it.
    virtual std::string LinkTarget(std::optional<const char*> target = std::nullopt);
    // Slot 113: the flag becomes (value == 1).
    virtual bool LinkPlainTarget(std::optional<std::int32_t> value = std::nullopt);
    // Slot 114: setting also makes it the current text colour.
    virtual Gdiplus::ARGB LinkNormalColor(std::optional<Gdiplus::ARGB> value = std::nullopt);
    // Slot 115.
    virtual Gdiplus::ARGB LinkHoverColor(std::optional<Gdiplus::ARGB> value = std::nullopt);
    // Slot 116: setting also makes it the current text colour once the link was visited.
    virtual Gdiplus::ARGB LinkVisitedColor(std::optional<Gdiplus::ARGB> value = std::nullopt);

    bool Visited() const { return m_visited != 0; }

private:
    void OnCreate();
    void SetUnderline(bool on);
    LRESULT OnClick();

    char* m_target = nullptr;  // owned GBK text
    Gdiplus::ARGB m_normalColour = 0;
    Gdiplus::ARGB m_hoverColour = 0;
    Gdiplus::ARGB m_visitedColour = 0;
    std::uint32_t m_visited = 0;
    std::uint32_t m_plainTarget = 1;
};

enum LinkSlot : std::uint32_t {
    kSlotLinkTarget = 112,
    kSlotLinkPlainTarget = 113,
    kSlotLinkNormalColor = 114,
    kSlotLinkHoverColor = 115,
    kSlotLinkVisitedColor = 116,
};

// Put in front of a target that is not plain, so that the shell opens a mail to it.
constexpr char kLinkMailPrefix[] = "mailto:";

// The file the shell is asked to open for a target.
std::string LinkShellFile(const char* target, bool plainTarget);

}  // namespace toolkit
