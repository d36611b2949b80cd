// An SDL OpenGL window for tests that need a real context (run under Xvfb).
#ifndef TESTS_SUPPORT_GL_WINDOW_H
#define TESTS_SUPPORT_GL_WINDOW_H

class GLWindow {
public:
    GLWindow(int width = 320, int height = 240);
    ~GLWindow();

    bool IsOpen() const { return m_Open; }

private:
    bool m_Open;

    GLWindow(const GLWindow&);
    GLWindow& operator=(const GLWindow&);
};

#endif
