// SysButton: the caption buttons (close, maximise, minimise and further kinds) that host
// windows place in their caption, drawn from the theme part "SysButton." + the kind's name.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Element.h"

namespace toolkit {

// Caption-button kinds; they are also the host window's caption flags for these buttons.
enum SysButtonKind : std::uint32_t {
    kSysButtonClose = 4,
    kSysButtonMax = 8,
    kSysButtonMin = 16,
    kSysButtonMenu = 32,
    kSysButtonSkin = 64,
    kSysButtonReport = 128,
    kSysButtonSetting = 256,
};

// The theme section of every caption button's shared values, and the prefix of each kind's
// own section.
constexpr char kSysButtonSection[] = "SysButton";
constexpr char kSysButtonPartPrefix[] = "SysButton.";
// Shown by the maximise button of a maximised window and the minimise button of a minimised one.
constexpr char kSysButtonRestoreName[] = "Restore";

// "SysButton." + the kind's name ("Close", "Max", "Min", ...), or the bare prefix for an
// unknown kind. showRestore picks "Restore" for the maximise and minimise kinds.
const char* SysButtonPartName(std::uint32_t kind, bool showRestore = false);

// Every caption button fades between looks in this many frames of this interval, except the
// pressed look, which is drawn at once.
constexpr std::int32_t kSysButtonFadeInterval = 25;
constexpr std::int32_t kSysButtonFadeFrames = 8;

class SysButton : public Element {
public:
    SysButton();

    void FreeMembers() override;
    std::uint32_t Clone() override;
    LRESULT ClassMessageHandler(HWND window, ElementHandle handle, UINT message, WPARAM wParam,
                                LPARAM lParam) override;

    // Slots 91-94.
    virtual void DrawSysButton(HWND window, ElementHandle handle, UINT message);
    virtual void OnSysButtonThemeChanged();
    // parent: a host window's HWND, or a parent element's handle. The size is the theme's
    // "size" of the kind's part.
    virtual ElementHandle CreateSysButton(std::uint32_t parent, std::uint32_t theme, std::int32_t x,
                                          std::int32_t y, std::uint32_t kind);
    virtual std::uint32_t GetSysButtonKind();

    // Not a slot: the next drawing is made whatever the canvas shows. The host window calls it
    // on every theme change, refreshed or not, because a theme loaded anew may get the handle of
    // the one it replaces, and the handle is part of the look the button compares.
    void ForgetDrawnLook() { m_lookDrawn = false; }

    std::uint32_t m_kind;  // field 69

private:
    // What the canvas shows: a drawing of the same look into the same canvas is skipped.
    struct DrawnLook {
        const char* part;
        std::uint32_t state;
        std::int32_t width;
        std::int32_t height;
        std::uint32_t theme;
        HBITMAP canvas;

        bool operator==(const DrawnLook& other) const;
    };

    const char* PartName() const;

    DrawnLook m_drawnLook{};
    bool m_lookDrawn = false;
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(SysButton, m_kind) == kElementFieldCount * engine_abi::kFieldBytes,
              "the kind follows the element record");
#pragma GCC diagnostic pop

}  // namespace toolkit
