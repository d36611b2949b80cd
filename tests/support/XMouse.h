// Relative mouse motion as a person makes it, through the XTest extension on
// the current X display. (Kept apart: X's headers clash with the game's Font.)
#ifndef TESTS_SUPPORT_X_MOUSE_H
#define TESTS_SUPPORT_X_MOUSE_H

class XMouse {
public:
    XMouse();
    ~XMouse();

    bool IsOpen() const { return m_Display != 0; }
    // Moves the pointer by (dx, dy) pixels and waits until the X server has
    // passed the motion on.
    void MoveBy(int dx, int dy);

private:
    struct _XDisplay* m_Display;

    XMouse(const XMouse&);
    XMouse& operator=(const XMouse&);
};

#endif
