// The gallery: one page per building block of the plug-in's windows, each
// shown on its own so that it can be looked at or photographed. Every
// page_*.cpp registers its pages with a static PageRegistration, so adding a
// page touches no shared list. A page runs its window modally and returns
// when the window closes; in capture mode the gallery itself waits until the
// window has settled, reports it, and closes it once the picture is taken.
#pragma once

#include <windows.h>

namespace gallery {

struct PageContext {
    HINSTANCE gallery; // this program: the gallery's own page templates
    HMODULE language;  // the language resource library (also ThisCall().resourceModule)
    HMODULE pictures;  // the picture library ("BMPDLL")
    HMODULE ink;       // the ink library ("InkDll"): the ink gauge class
};

using PageFn = int (*)(const PageContext& context);

struct Page {
    const char* name;        // file name of its screenshot, without ".png"
    const char* description; // one line for --list
    PageFn run;
};

class PageRegistration {
  public:
    PageRegistration(const char* name, const char* description, PageFn run);
};

const Page* FindPage(const char* name);

} // namespace gallery
