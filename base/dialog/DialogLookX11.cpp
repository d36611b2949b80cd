// The look of the X11 message box: Xft fonts and colours, layout, drawing.
#include "base/dialog/DialogX11.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/dialog/DialogText.h"

namespace {

const char* const COLOUR_NAMES[COLOUR_COUNT] = {"#f6f5f4", "#2e3436", "#deddda", "#ebebea", "#b6b4b0",
                                                "#3584e4", "#4a90e8", "#ffffff", "#1c71d8", "#2a7de1",
                                                "#e01b24"};
// The widest a line of text may grow, in lines' heights, and the most lines
// shown: a text of any length still makes a box that fits on the screen.
const int WRAP_WIDTH_IN_LINES = 22;
const int MAX_LINES = 20;
// The most bytes of a text looked at; any more would not show.
const size_t MAX_TEXT_BYTES = 16384;

int MeasureText(const std::string& text, void* context)
{
    // Xft's extents are 16-bit: a long run is measured a piece at a time.
    const size_t PIECE = 256;
    Dialog* dialog = static_cast<Dialog*>(context);
    int width = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.size(), start + PIECE);
        while (end < text.size() && end > start + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        XGlyphInfo extents;
        XftTextExtentsUtf8(dialog->display, dialog->font, reinterpret_cast<const FcChar8*>(text.data() + start),
                           static_cast<int>(end - start), &extents);
        width += extents.xOff;
        start = end;
    }
    return width;
}

}  // namespace

void LayOut(Dialog& dialog, const char* text)
{
    int unit = dialog.lineHeight;
    dialog.lines = WrapText(ShortenUtf8(ValidUtf8(text), MAX_TEXT_BYTES), WRAP_WIDTH_IN_LINES * unit, MAX_LINES,
                            MeasureText, &dialog);
    int textWidth = 0;
    for (const std::string& line : dialog.lines) {
        textWidth = std::max(textWidth, MeasureText(line, &dialog));
    }
    int signSize = unit * 5 / 2;
    int textHeight = static_cast<int>(dialog.lines.size()) * unit;
    if (dialog.question) {
        dialog.buttons[0] = DialogButton{"Yes", ANSWER_YES, 0, 0, 0, 0};
        dialog.buttons[1] = DialogButton{"No", ANSWER_NO, 0, 0, 0, 0};
        dialog.buttonCount = 2;
    } else {
        dialog.buttons[0] = DialogButton{"OK", ANSWER_OK, 0, 0, 0, 0};
        dialog.buttonCount = 1;
    }
    int rowWidth = 0;
    for (int i = 0; i < dialog.buttonCount; ++i) {
        DialogButton& button = dialog.buttons[i];
        button.width = std::max(unit * 5, MeasureText(button.label, &dialog) + unit * 2);
        button.height = unit * 2;
        rowWidth += button.width + (i > 0 ? unit / 2 : 0);
    }
    dialog.width = std::max(unit + signSize + unit + textWidth + unit * 3 / 2, rowWidth + unit * 2);
    dialog.width = std::max(dialog.width, unit * 18);
    dialog.height = unit + std::max(signSize, textHeight) + unit + dialog.buttons[0].height + unit;
    // The buttons sit at the bottom right, the default one first.
    int x = dialog.width - unit - rowWidth;
    for (int i = 0; i < dialog.buttonCount; ++i) {
        dialog.buttons[i].x = x;
        dialog.buttons[i].y = dialog.height - unit - dialog.buttons[i].height;
        x += dialog.buttons[i].width + unit / 2;
    }
}

namespace {

void DrawCentred(const Dialog& dialog, XftFont* font, Colour colour, const char* text, int x, int y, int width,
                 int height)
{
    XGlyphInfo extents;
    int length = static_cast<int>(strlen(text));
    XftTextExtentsUtf8(dialog.display, font, reinterpret_cast<const FcChar8*>(text), length, &extents);
    int baseline = y + (height + font->ascent - font->descent) / 2;
    XftDrawStringUtf8(dialog.draw, &dialog.colours[colour], font, x + (width - extents.xOff) / 2, baseline,
                      reinterpret_cast<const FcChar8*>(text), length);
}

void DrawSign(const Dialog& dialog)
{
    int unit = dialog.lineHeight;
    int size = unit * 5 / 2;
    GC gc = XCreateGC(dialog.display, dialog.window, 0, NULL);
    XSetForeground(dialog.display, gc, dialog.colours[dialog.question ? QUESTION_SIGN : ERROR_SIGN].pixel);
    XFillArc(dialog.display, dialog.window, gc, unit, unit, size, size, 0, 360 * 64);
    XFreeGC(dialog.display, gc);
    DrawCentred(dialog, dialog.signFont, DEFAULT_TEXT, dialog.question ? "?" : "!", unit, unit, size, size);
}

}  // namespace

void Draw(const Dialog& dialog)
{
    int unit = dialog.lineHeight;
    XftDrawRect(dialog.draw, &dialog.colours[BACKGROUND], 0, 0, dialog.width, dialog.height);
    DrawSign(dialog);
    int x = unit * 2 + unit * 5 / 2;
    int y = unit + dialog.font->ascent;
    for (const std::string& line : dialog.lines) {
        XftDrawStringUtf8(dialog.draw, &dialog.colours[TEXT], dialog.font, x, y,
                          reinterpret_cast<const FcChar8*>(line.data()), static_cast<int>(line.size()));
        y += unit;
    }
    for (int i = 0; i < dialog.buttonCount; ++i) {
        const DialogButton& b = dialog.buttons[i];
        bool isDefault = i == 0;
        bool hovered = i == dialog.hover;
        Colour fill = isDefault ? (hovered ? DEFAULT_HOVER : DEFAULT) : (hovered ? BUTTON_HOVER : BUTTON);
        int ring = i == dialog.focus ? 2 : 1;
        XftDrawRect(dialog.draw, &dialog.colours[i == dialog.focus ? FOCUS : BUTTON_BORDER], b.x - ring, b.y - ring,
                    b.width + 2 * ring, b.height + 2 * ring);
        XftDrawRect(dialog.draw, &dialog.colours[fill], b.x, b.y, b.width, b.height);
        DrawCentred(dialog, dialog.font, isDefault ? DEFAULT_TEXT : TEXT, b.label, b.x, b.y, b.width, b.height);
    }
    XFlush(dialog.display);
}

int ButtonAt(const Dialog& dialog, int x, int y)
{
    for (int i = 0; i < dialog.buttonCount; ++i) {
        const DialogButton& b = dialog.buttons[i];
        if (x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height) {
            return i;
        }
    }
    return -1;
}

bool OpenLook(Dialog& dialog)
{
    Display* display = dialog.display;
    int screen = DefaultScreen(display);
    dialog.font = XftFontOpenName(display, screen, "sans-serif:size=10");
    if (dialog.font == NULL) {
        return false;
    }
    dialog.lineHeight = std::max(8, dialog.font->ascent + dialog.font->descent + 2);
    char signPattern[64];
    snprintf(signPattern, sizeof signPattern, "sans-serif:bold:pixelsize=%d", dialog.lineHeight * 7 / 4);
    dialog.signFont = XftFontOpenName(display, screen, signPattern);
    if (dialog.signFont == NULL) {
        dialog.signFont = dialog.font;
    }
    for (int i = 0; i < COLOUR_COUNT; ++i) {
        XftColorAllocName(display, DefaultVisual(display, screen), DefaultColormap(display, screen),
                          COLOUR_NAMES[i], &dialog.colours[i]);
    }
    return true;
}

void CloseLook(Dialog& dialog)
{
    int screen = DefaultScreen(dialog.display);
    for (int i = 0; i < COLOUR_COUNT; ++i) {
        XftColorFree(dialog.display, DefaultVisual(dialog.display, screen), DefaultColormap(dialog.display, screen),
                     &dialog.colours[i]);
    }
    if (dialog.signFont != dialog.font) {
        XftFontClose(dialog.display, dialog.signFont);
    }
    XftFontClose(dialog.display, dialog.font);
}
