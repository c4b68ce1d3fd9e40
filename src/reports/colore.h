#pragma once

#include <QtGlobal>
#include <optional>

namespace varimo {

// The restful light grey both main windows can share (red, green, blue 192).
inline constexpr quint32 kGrigioRiposante = 0xC0C0C0;

// The background colours the command decided on, as 0xRRGGBB; an empty field
// leaves that window's colour as it is.
struct ColoriSfondo {
    std::optional<quint32> questa;  // the window whose command ran
    std::optional<quint32> altra;   // the other main window
};

// The menu entry `colorare` of either main window, given the current background colour of
// that window: offers the grey for both windows (unless this one is grey
// already), otherwise lets the user pick a colour for this window alone.
// Cancelling the colour dialog changes nothing. The caller applies the result.
ColoriSfondo colorare(quint32 coloreQuesta);

}  // namespace varimo
