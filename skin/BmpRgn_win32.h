// CBmpRgn: gives a window the outline and the size of a bitmap resource. Each row keeps the span from its first
// to its last pixel that is not the key colour (white, within 2 per colour byte); the window is sized so that its
// client area is the bitmap's size. Short-lived: construct, SetInsets, ShapeWindow, destroy.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Gdi.h"
#include "res/SkinLayout.h"
#include "skin/BmpRgnScan.h"

class CBmpRgn {
public:
    CBmpRgn() = default;
    virtual ~CBmpRgn() = default;
    CBmpRgn(const CBmpRgn&) = delete;
    CBmpRgn& operator=(const CBmpRgn&) = delete;

    // Pixels added to every left edge and taken from every right edge of the outline.
    void SetInsets(int leftInset, int rightInset);
    // Loads bitmap resource `bitmapId` from the program's own module, in the program's language (LoadSkinBitmap),
    // and shapes `window` from it. Any failure (no window, no such bitmap, a bitmap the scan cannot read, no
    // memory) leaves the window as it was.
    void ShapeWindow(HWND window, UINT bitmapId);
    // Shapes `window` from a bitmap the caller keeps (ReleaseBitmap then gives nothing).
    void ShapeWindow(HWND window, HBITMAP bitmap);
    // Whether the outline of `bitmap` keeps every pixel of its every row (with no insets): shaping a window from
    // it would only cut off the last column and row. False when the bitmap cannot be read.
    bool CoversFace(HBITMAP bitmap);
    // The bitmap ShapeWindow loaded (null if it could not), given to the caller, who then owns it: a window that
    // also paints its face from the bitmap need not load it a second time.
    HBITMAP ReleaseBitmap() { return m_bitmap.Release(); }

private:
    bool Shape();
    bool MeasureFrame(SIZE& extra, SIZE& windowSize);
    std::vector<BmpRgnVertex> Scan(const BITMAP& info) const;
    std::vector<POINT> Outline(const BITMAP& info) const;

    HWND m_window = nullptr;
    fw::Bitmap m_bitmap;        // loaded by ShapeWindow, until released
    HBITMAP m_source = nullptr; // what the outline is cut from
    fw::Region m_region;        // handed to the window once set on it
    COLORREF m_keyColour = SKIN_COLOUR_KEY;
    int m_leftInset = 0;
    int m_rightInset = 0;
    int m_frameWidth = 0; // client area's offset inside the window
    int m_frameHeight = 0;
};
