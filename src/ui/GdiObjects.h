// Owners of device contexts, GDI objects and selections, released on every path.
#pragma once

#include "SectionLayout.h"

#include <windows.h>

#include <string_view>
#include <utility>

class UniqueFont {
  public:
    UniqueFont() = default;
    explicit UniqueFont(HFONT font) : font_(font) {}
    UniqueFont(const UniqueFont&) = delete;
    UniqueFont& operator=(const UniqueFont&) = delete;
    UniqueFont(UniqueFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
    UniqueFont& operator=(UniqueFont&& other) noexcept {
        std::swap(font_, other.font_);
        return *this;
    }
    ~UniqueFont() {
        if (font_)
            DeleteObject(font_);
    }
    HFONT Get() const { return font_; }

  private:
    HFONT font_ = nullptr;
};

// The device context of one window, for measuring text in that window's font.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back at the end.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_)
            SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// Measures text in a control's own font; one device context serves a whole load.
class TextMeasurer {
  public:
    explicit TextMeasurer(HWND control)
        : dc_(control), font_(dc_.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0))) {}
    SIZE Extent(std::string_view text) const {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc_.Get(), text.data(), static_cast<int>(text.size()), &size);
        return size;
    }
    SIZE Extent(std::wstring_view text) const {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc_.Get(), text.data(), static_cast<int>(text.size()), &size);
        return size;
    }
    int Width(std::string_view text) const { return Extent(text).cx; }
    int Width(std::wstring_view text) const { return Extent(text).cx; }
    // The height h of the layout rules: the height of "REM" in the control's font.
    int LineHeight() const { return Extent("REM").cy; }

  private:
    WindowDC dc_;
    SelectedObject font_;
};

// The system's dots per inch, as the screen's device context gives them to a program that is
// aware of them; the system reads it once when the program starts, and so does this.
inline int SystemDpi() {
    static const int dpi = [] {
        const HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
        if (screen)
            ReleaseDC(nullptr, screen);
        return value > 0 ? value : kDesignDpi;
    }();
    return dpi;
}

// A designed pixel size of the layout at the system's dots per inch.
inline int Scaled(int designed) {
    return ScaledPixels(designed, SystemDpi());
}

// Turns a window's redrawing off and, at the end, on again with a full repaint.
class RedrawSuspender {
  public:
    explicit RedrawSuspender(HWND window) : window_(window) { SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
    RedrawSuspender(const RedrawSuspender&) = delete;
    RedrawSuspender& operator=(const RedrawSuspender&) = delete;
    ~RedrawSuspender() {
        SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }

  private:
    HWND window_;
};
