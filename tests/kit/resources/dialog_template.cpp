// Reader of extended dialog templates.
#include "dialog_template.h"

#include <cstring>

namespace krxtest {

namespace {

class Cursor {
  public:
    Cursor(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool Word(WORD& out) { return Read(&out, sizeof(out)); }
    bool Dword(DWORD& out) { return Read(&out, sizeof(out)); }
    bool Short(short& out) { return Read(&out, sizeof(out)); }
    bool Byte(BYTE& out) { return Read(&out, sizeof(out)); }

    // A zero-terminated UTF-16 string, converted to UTF-8.
    bool String(std::string& out) {
        std::wstring text;
        for (;;) {
            WORD c = 0;
            if (!Word(c)) {
                return false;
            }
            if (c == 0) {
                break;
            }
            text.push_back(static_cast<wchar_t>(c));
        }
        out = Utf8(text);
        return true;
    }

    // Either nothing (0), an ordinal (0xFFFF, n) or a string.
    bool StringOrOrdinal(std::string& out, WORD& ordinal) {
        ordinal = 0;
        out.clear();
        WORD first = 0;
        if (!Peek(first)) {
            return false;
        }
        if (first == 0) {
            return Word(first);
        }
        if (first == 0xFFFF) {
            return Word(first) && Word(ordinal);
        }
        return String(out);
    }

    bool AlignDword() {
        size_t aligned = (pos_ + 3) & ~static_cast<size_t>(3);
        if (aligned > size_) {
            return false;
        }
        pos_ = aligned;
        return true;
    }

    bool Skip(size_t n) {
        if (n > size_ - pos_) {
            return false;
        }
        pos_ += n;
        return true;
    }

  private:
    bool Read(void* out, size_t n) {
        if (n > size_ - pos_) {
            return false;
        }
        memcpy(out, data_ + pos_, n);
        pos_ += n;
        return true;
    }
    bool Peek(WORD& out) {
        if (sizeof(out) > size_ - pos_) {
            return false;
        }
        memcpy(&out, data_ + pos_, sizeof(out));
        return true;
    }
    static std::string Utf8(const std::wstring& text) {
        if (text.empty()) {
            return {};
        }
        int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
        return out;
    }

    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool Rect(Cursor& c, RECT& out) {
    short x = 0, y = 0, cx = 0, cy = 0;
    if (!c.Short(x) || !c.Short(y) || !c.Short(cx) || !c.Short(cy)) {
        return false;
    }
    out = {x, y, x + cx, y + cy};
    return true;
}

std::string AtomClassName(WORD atom) {
    switch (atom) {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    default:
        return "#" + std::to_string(atom);
    }
}

} // namespace

const TemplateItem* DialogTemplate::Find(DWORD id) const {
    for (const TemplateItem& item : items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out) {
    out = DialogTemplate();
    Cursor c(static_cast<const BYTE*>(data), size);
    WORD version = 0, signature = 0, count = 0, ordinal = 0;
    DWORD help = 0, exStyle = 0;
    std::string menu, windowClass;
    if (!c.Word(version) || !c.Word(signature) || version != 1 || signature != 0xFFFF) {
        return false;
    }
    if (!c.Dword(help) || !c.Dword(exStyle) || !c.Dword(out.style) || !c.Word(count) ||
        !Rect(c, out.rect) || !c.StringOrOrdinal(menu, ordinal) ||
        !c.StringOrOrdinal(windowClass, ordinal) || !c.String(out.caption)) {
        return false;
    }
    if (out.style & (DS_SETFONT | DS_SHELLFONT)) {
        WORD points = 0, weight = 0;
        BYTE italic = 0, charset = 0;
        if (!c.Word(points) || !c.Word(weight) || !c.Byte(italic) || !c.Byte(charset) ||
            !c.String(out.fontName)) {
            return false;
        }
        out.fontPoints = points;
    }
    for (WORD i = 0; i < count; ++i) {
        TemplateItem item;
        WORD extra = 0;
        if (!c.AlignDword() || !c.Dword(help) || !c.Dword(item.exStyle) || !c.Dword(item.style) ||
            !Rect(c, item.rect) || !c.Dword(item.id)) {
            return false;
        }
        if (!c.StringOrOrdinal(item.className, ordinal)) {
            return false;
        }
        if (item.className.empty()) {
            item.className = AtomClassName(ordinal);
        }
        if (!c.StringOrOrdinal(item.title, ordinal) || !c.Word(extra) || !c.Skip(extra)) {
            return false;
        }
        out.items.push_back(item);
    }
    return true;
}

bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate& out) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (found == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    return data != nullptr && ParseDialogTemplate(data, SizeofResource(module, found), out);
}

} // namespace krxtest
