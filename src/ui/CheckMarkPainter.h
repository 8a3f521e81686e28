// Draws the check boxes of a check list as the system draws its own, so that the check lists look
// like the entry lists beside them: with the theme's check box while a visual style is active,
// and otherwise with the system's colours. The theme library is looked up when first needed, so
// that the program also starts on a system that has none.
#pragma once

#include <windows.h>

class CheckMarkPainter {
  public:
    CheckMarkPainter() = default;
    ~CheckMarkPainter();
    CheckMarkPainter(const CheckMarkPainter&) = delete;
    CheckMarkPainter& operator=(const CheckMarkPainter&) = delete;

    // Takes the theme of the window's check boxes, when one is active (and lets go of any
    // earlier one): at creation and whenever the window is told the theme changed.
    void Open(HWND window);
    void Close();
    void Draw(HDC dc, const RECT& box, bool checked) const;

  private:
    HANDLE theme_ = nullptr; // the theme's data for buttons, an HTHEME
};
