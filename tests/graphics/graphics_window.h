// Helpers of the graphics tests: the test dialog (modeless, with owner-drawn
// items reflected to their controls) and a 32-bit memory canvas into which a
// control paints through WM_PRINTCLIENT, for reading back pixels.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace graphicstest {

// The test dialog of graphics_test.rc, created hidden and destroyed with the
// fixture; the language resource module is the test program itself, which
// holds the test icons. Controls paint into a Canvas whether shown or not.
class GraphicsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    HWND Dialog() const { return dialog_; }
    // Only a shown window keeps an update region. Wine then takes about two
    // seconds to destroy it, so only the tests that look at invalidation
    // show the dialog.
    void ShowDialog();
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    // Handles the messages already queued (paints, focus changes).
    static void Pump();

  private:
    HWND dialog_ = nullptr;
};

// Pixels of a 96-DPI layout at the display's DPI, as the controls draw them
// (the same at 96 DPI; the graphics tests also run at 144 DPI).
int Px(int pixels);

// Sets the client size of a dialog item, in pixels.
void SetClientSize(HWND hwnd, int width, int height);

class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill = RGB(1, 2, 3));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    void Fill(COLORREF colour);
    // The control paints itself into the canvas.
    void PrintClient(HWND hwnd);
    // The smallest rectangle holding every pixel of `colour` (empty when none).
    RECT BoundsOf(COLORREF colour) const;

  private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

std::string Hex(COLORREF c);

} // namespace graphicstest
