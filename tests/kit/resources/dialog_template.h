// Reader of extended dialog templates (DLGTEMPLATEEX) as the resource
// compiler stores them: the dialog's frame and font, and every item with its
// id, class, styles and rectangle in dialog units. Used to check the status
// window's template without running it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace krxtest {

struct TemplateItem {
    DWORD id = 0;
    std::string className; // "Button", "Edit", "Static", ... or the registered name
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {}; // dialog units
};

struct DialogTemplate {
    DWORD style = 0;
    RECT rect = {};
    std::string caption;
    std::string fontName;
    int fontPoints = 0;
    std::vector<TemplateItem> items;

    const TemplateItem* Find(DWORD id) const;
};

// Parses the template; false when it is not a well-formed extended template
// (the reader never reads past the given size).
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out);

// Loads and parses dialog `id` of `module`.
bool LoadDialogTemplate(HMODULE module, int id, DialogTemplate& out);

} // namespace krxtest
