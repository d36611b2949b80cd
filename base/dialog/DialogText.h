// The words of a message box as the dialog shows them: any bytes made into
// valid UTF-8, and long texts broken into lines that fit a width. Nothing
// here touches X, so the dialog's text handling is testable alone.
#ifndef BASE_DIALOG_TEXT_H
#define BASE_DIALOG_TEXT_H

#include <string>
#include <vector>

// The text as valid UTF-8: every byte that does not begin a well-formed
// sequence (a stray continuation, an overlong form, a surrogate, a code
// point past U+10FFFF, a sequence cut short) becomes U+FFFD.
std::string ValidUtf8(const char* bytes);

// Valid UTF-8 cut to at most maxBytes (never inside a character), with an
// ellipsis after it when anything was cut.
std::string ShortenUtf8(const std::string& text, size_t maxBytes);

// Width in pixels of a run of UTF-8 text, as the dialog's font draws it.
typedef int (*TextMeasure)(const std::string& text, void* context);

// Breaks valid UTF-8 into lines no wider than maxWidth: at newlines, then
// between words; a word wider than a line is broken between characters.
// At most maxLines lines: when the text goes on, the last one ends in an
// ellipsis. Never returns an empty list.
std::vector<std::string> WrapText(const std::string& text, int maxWidth, int maxLines, TextMeasure measure,
                                  void* context);

#endif
