#include "tests/support/XMouse.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

XMouse::XMouse()
    : m_Display(XOpenDisplay(NULL))
{
}

XMouse::~XMouse()
{
    if (m_Display != NULL) {
        XCloseDisplay(m_Display);
    }
}

void XMouse::MoveBy(int dx, int dy)
{
    XTestFakeRelativeMotionEvent(m_Display, dx, dy, CurrentTime);
    XSync(m_Display, False);
}
