// Making a message box's bytes showable, and wrapping them.
#include "base/dialog/DialogText.h"

#include <algorithm>

static const char REPLACEMENT[] = "\xEF\xBF\xBD";
static const char ELLIPSIS[] = "\xE2\x80\xA6";

// Length of the well-formed UTF-8 sequence at bytes, or 0.
static int SequenceLength(const unsigned char* bytes)
{
    unsigned char lead = bytes[0];
    int length = 0;
    unsigned int codePoint = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) {
            return 0;  // cut short (this also stops at the terminating zero)
        }
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return overlong || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

std::string ValidUtf8(const char* bytes)
{
    std::string valid;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes != NULL ? bytes : "");
    while (*at != '\0') {
        int length = SequenceLength(at);
        if (length == 0) {
            valid += REPLACEMENT;
            ++at;
        } else {
            valid.append(reinterpret_cast<const char*>(at), length);
            at += length;
        }
    }
    return valid;
}

std::string ShortenUtf8(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes) {
        return text;
    }
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end) + ELLIPSIS;
}

// Splits a word too wide for a line between characters (never inside one),
// stopping once there are more than lineLimit lines.
static void BreakWord(const std::string& word, int maxWidth, size_t lineLimit, TextMeasure measure, void* context,
                      std::vector<std::string>& lines)
{
    std::string line;
    for (size_t i = 0; i < word.size() && lines.size() <= lineLimit;) {
        size_t length = 1;
        while (i + length < word.size() && (static_cast<unsigned char>(word[i + length]) & 0xC0) == 0x80) {
            ++length;
        }
        std::string longer = line + word.substr(i, length);
        if (!line.empty() && measure(longer, context) > maxWidth) {
            lines.push_back(line);
            longer = word.substr(i, length);
        }
        line = longer;
        i += length;
    }
    lines.push_back(line);
}

// Appends the lines of one paragraph, stopping once there are more than
// lineLimit lines in all.
static void WrapParagraph(const std::string& paragraph, int maxWidth, size_t lineLimit, TextMeasure measure,
                          void* context, std::vector<std::string>& lines)
{
    std::string line;
    size_t at = 0;
    while (at <= paragraph.size() && lines.size() <= lineLimit) {
        size_t space = paragraph.find(' ', at);
        std::string word = paragraph.substr(at, space == std::string::npos ? std::string::npos : space - at);
        at = space == std::string::npos ? paragraph.size() + 1 : space + 1;
        std::string longer = line.empty() ? word : line + " " + word;
        if (measure(longer, context) <= maxWidth) {
            line = longer;
        } else if (measure(word, context) <= maxWidth) {
            lines.push_back(line);
            line = word;
        } else {
            if (!line.empty()) {
                lines.push_back(line);
            }
            BreakWord(word, maxWidth, lineLimit, measure, context, lines);
            line = lines.back();
            lines.pop_back();
        }
    }
    lines.push_back(line);
}

std::vector<std::string> WrapText(const std::string& text, int maxWidth, int maxLines, TextMeasure measure,
                                  void* context)
{
    const size_t limit = static_cast<size_t>(std::max(1, maxLines));
    std::vector<std::string> lines;
    size_t start = 0;
    bool more = true;
    while (more && lines.size() <= limit) {
        size_t end = text.find('\n', start);
        more = end != std::string::npos;
        WrapParagraph(text.substr(start, more ? end - start : std::string::npos), maxWidth, limit, measure, context,
                      lines);
        start = end + 1;
    }
    if (lines.size() > limit) {
        lines.resize(limit);
        lines.back() += ELLIPSIS;
    }
    return lines;
}
