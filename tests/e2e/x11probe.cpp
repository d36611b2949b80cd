// A small X client for the end-to-end tests, doing what a person or a window
// manager would:
//   x11probe close WINDOW        ask the window to close (WM_DELETE_WINDOW)
//   x11probe red WINDOW          count clearly red pixels of the window
//   x11probe geometry WINDOW     print "WIDTHxHEIGHT+X+Y" (position on the root)
//   x11probe bands WINDOW        print the mean "R G B" of the top and the bottom
//                                tenth of the window, one line each
//   x11probe ink WINDOW          print "LEFT RIGHT", the columns of the leftmost and
//                                rightmost dark pixel in the upper half of the window
//   x11probe greys WINDOW        print the number of distinct grey levels (of near-neutral
//                                pixels) in the upper half (anti-aliased text has many)
//   x11probe lines WINDOW TOP BOTTOM  print a hash of where the clearly red pixels
//                                are in the rows TOP to BOTTOM (overlay text, whatever
//                                lies behind it)
//   x11probe colour WINDOW RRGGBB  print "COUNT X Y": the pixels of exactly that
//                                colour and the centre of their bounding box
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The window's pixels, the top 1/part of them; NULL when it cannot be read.
static XImage* Grab(Display* display, Window window, int part)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return NULL;
    }
    return XGetImage(display, window, 0, 0, attributes.width, attributes.height / part, AllPlanes, ZPixmap);
}

static int Close(Display* display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

struct Rgb {
    unsigned r, g, b;
};

// The red, green and blue (0..255) of the pixel at (x, y) of a 24-bit image.
static Rgb PixelAt(XImage* image, int x, int y)
{
    unsigned long pixel = XGetPixel(image, x, y);
    Rgb rgb = {static_cast<unsigned>((pixel & image->red_mask) >> 16),
               static_cast<unsigned>((pixel & image->green_mask) >> 8),
               static_cast<unsigned>(pixel & image->blue_mask)};
    return rgb;
}

static int CountRed(XImage* image)
{
    long red = 0;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            Rgb c = PixelAt(image, x, y);
            red += (c.r > 200 && c.g < 60 && c.b < 60) ? 1 : 0;
        }
    }
    printf("%ld\n", red);
    return 0;
}

static void PrintBand(XImage* image, int top, int bottom)
{
    double sum[3] = {0.0, 0.0, 0.0};
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image->width; ++x) {
            Rgb c = PixelAt(image, x, y);
            sum[0] += c.r;
            sum[1] += c.g;
            sum[2] += c.b;
        }
    }
    double count = static_cast<double>(bottom - top) * image->width;
    printf("%.0f %.0f %.0f\n", sum[0] / count, sum[1] / count, sum[2] / count);
}

static int Bands(XImage* image)
{
    PrintBand(image, 0, image->height / 10);
    PrintBand(image, image->height * 9 / 10, image->height);
    return 0;
}

static int Ink(XImage* image)
{
    int left = image->width;
    int right = -1;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            Rgb c = PixelAt(image, x, y);
            bool dark = c.r < 128 && c.g < 128 && c.b < 128;
            if (dark) {
                left = x < left ? x : left;
                right = x > right ? x : right;
            }
        }
    }
    printf("%d %d\n", left, right);
    return 0;
}

static int Greys(XImage* image)
{
    bool seen[256] = {};
    int levels = 0;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            Rgb c = PixelAt(image, x, y);
            unsigned r = c.r;
            unsigned g = c.g;
            unsigned b = c.b;
            unsigned high = r > g ? (r > b ? r : b) : (g > b ? g : b);
            unsigned low = r < g ? (r < b ? r : b) : (g < b ? g : b);
            unsigned grey = (r + g + b) / 3;
            if (high - low < 24 && !seen[grey]) {
                seen[grey] = true;
                ++levels;
            }
        }
    }
    printf("%d\n", levels);
    return 0;
}

static int FindColour(XImage* image, unsigned long rgb)
{
    long count = 0;
    int left = image->width, right = -1, top = image->height, bottom = -1;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            if ((XGetPixel(image, x, y) & 0xFFFFFF) == rgb) {
                ++count;
                left = x < left ? x : left;
                right = x > right ? x : right;
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
        }
    }
    printf("%ld %d %d\n", count, (left + right) / 2, (top + bottom) / 2);
    return 0;
}

static int Geometry(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return 1;
    }
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    printf("%dx%d+%d+%d\n", attributes.width, attributes.height, x, y);
    return 0;
}

static int RedLines(XImage* image, int top, int bottom)
{
    unsigned long long hash = 14695981039346656037ULL;
    for (int y = top; y <= bottom && y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            Rgb c = PixelAt(image, x, y);
            hash = (hash ^ ((c.r > 200 && c.g < 60 && c.b < 60) ? 1 : 0)) * 1099511628211ULL;
        }
    }
    printf("%016llx\n", hash);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s close|red|geometry|bands|ink|greys WINDOW, %s colour WINDOW RRGGBB\n", argv[0],
                argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x11probe: no display\n");
        return 1;
    }
    Window window = static_cast<Window>(strtoul(argv[2], NULL, 0));
    const char* command = argv[1];
    int status = 2;
    if (strcmp(command, "close") == 0) {
        status = Close(display, window);
    } else if (strcmp(command, "geometry") == 0) {
        status = Geometry(display, window);
    } else {
        // The rest read the window's pixels: the text area (the upper half) or all of them.
        bool upper = strcmp(command, "ink") == 0 || strcmp(command, "greys") == 0;
        XImage* image = Grab(display, window, upper ? 2 : 1);
        if (image == NULL) {
            status = 1;
        } else if (strcmp(command, "red") == 0) {
            status = CountRed(image);
        } else if (strcmp(command, "bands") == 0) {
            status = Bands(image);
        } else if (strcmp(command, "ink") == 0) {
            status = Ink(image);
        } else if (strcmp(command, "greys") == 0) {
            status = Greys(image);
        } else if (strcmp(command, "lines") == 0 && argc > 4) {
            status = RedLines(image, atoi(argv[3]), atoi(argv[4]));
        } else if (strcmp(command, "colour") == 0 && argc > 3) {
            status = FindColour(image, strtoul(argv[3], NULL, 16));
        }
        if (image != NULL) {
            XDestroyImage(image);
        }
    }
    XCloseDisplay(display);
    return status;
}
