// Device contexts handed to the painters. A CDC only wraps a handle; a
// CPaintDC owns one painting of a window, from BeginPaint in its constructor
// to EndPaint in its destructor.
#pragma once

#include <windows.h>

class CDC {
  public:
    // Does not release the device context: whoever obtained it does.
    virtual ~CDC() {}

    HDC m_hDC = nullptr;
};

class CPaintDC : public CDC {
  public:
    explicit CPaintDC(HWND hWnd);
    ~CPaintDC() override;

    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};
