// FittedLabel: measuring with the label's own font.
#include "graphics/fitted_label.h"

#include <new>
#include <string>
#include <vector>

#include "common/gdi.h"

namespace krx {

FittedLabel::FittedLabel()
    : m_pIsLead([](unsigned char b) { return IsDBCSLeadByte(b) != FALSE; }) {}

void FittedLabel::SetFittedText(const char* text) {
    if (Hwnd() == nullptr) {
        return;
    }
    if (text == nullptr) {
        text = "";
    }
    try {
        std::string given(text);
        RECT client;
        GetClientRect(Hwnd(), &client);

        // Measure with a copy of the font the label draws with (the system
        // font when it was given none).
        HFONT current = reinterpret_cast<HFONT>(SendMessageA(Hwnd(), WM_GETFONT, 0, 0));
        if (current == nullptr) {
            current = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        }
        LOGFONTA description{};
        unique_hfont copy;
        if (GetObjectA(current, sizeof description, &description) != 0) {
            copy.reset(CreateFontIndirectA(&description));
        }
        std::string shown;
        {
            ClientDC dc(Hwnd());
            SelectObjectScope select(dc.get(), copy ? copy.get() : current);
            TextMeasure measure = [&dc](const std::string& s) -> long {
                SIZE extent{};
                GetTextExtentPoint32A(dc.get(), s.c_str(), static_cast<int>(s.size()), &extent);
                return extent.cx;
            };
            PrefixMeasure prefixes = [&dc](const std::string& s, std::vector<long>* widths) {
                // Room for a width per byte even if the system counted a
                // double-byte character's two bytes as two characters.
                std::vector<INT> dx(2 * s.size() + 2, 0);
                SIZE extent{};
                if (!GetTextExtentExPointA(dc.get(), s.c_str(), static_cast<int>(s.size()), 0,
                                           nullptr, dx.data(), &extent)) {
                    return false;
                }
                widths->assign(dx.begin(), dx.begin() + static_cast<long>(s.size()));
                return true;
            };
            shown = FitText(given, client.right - client.left, measure, m_pIsLead, prefixes);
        }
        SetWindowTextA(Hwnd(), shown.c_str());
    } catch (const std::bad_alloc&) {
        // Without room to shorten it, the whole text is better than none.
        SetWindowTextA(Hwnd(), text);
    }
}

} // namespace krx
