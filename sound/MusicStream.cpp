// The music decoded as it plays, from the file's bytes in memory.
#include "sound/MusicStream.h"

#include <SDL/SDL.h>
#include <cstdlib>
#include <cstring>
#include <mpg123.h>
#include <sys/types.h>

#include "sound/Sound.h"

// How far past damage the decoder looks for the next frame (its default).
static const size_t RESYNC_LIMIT = 1024;
static const int ID3V1_SIZE = 128;
// Reads that give nothing before the decoder is taken to have given up.
static const int FAILED_READS_TO_STOP = 8;

// The length in bytes of the MPEG audio frame whose header starts at bytes,
// or 0 when these four bytes are not a frame header.
static size_t FrameLength(const unsigned char* bytes, size_t available)
{
    static const int BITRATES[2][3][15] = {
        // MPEG 1: layers I, II, III
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        // MPEG 2 and 2.5
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    };
    static const int RATES[3] = {44100, 48000, 32000};
    if (available < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) {
        return 0;
    }
    int version = (bytes[1] >> 3) & 3;    // 0: 2.5, 1: reserved, 2: 2, 3: 1
    int layer = 4 - ((bytes[1] >> 1) & 3);  // 4: reserved
    int bitrateIndex = bytes[2] >> 4;
    int rateIndex = (bytes[2] >> 2) & 3;
    int padding = (bytes[2] >> 1) & 1;
    // Free-format frames (bitrate index 0) have no length in their header.
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return 0;
    }
    bool mpeg1 = version == 3;
    long bitrate = BITRATES[mpeg1 ? 0 : 1][layer - 1][bitrateIndex] * 1000L;
    long rate = RATES[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    if (layer == 1) {
        return static_cast<size_t>((12 * bitrate / rate + padding) * 4);
    }
    long perFrame = (layer == 3 && !mpeg1) ? 72 : 144;
    return static_cast<size_t>(perFrame * bitrate / rate + padding);
}

// A header that the next frame's header follows (or that ends the data) is
// taken for a frame; a lone sync word in other data is not.
static bool IsFrameAt(const unsigned char* bytes, size_t at, size_t end)
{
    size_t length = FrameLength(bytes + at, end - at);
    return length > 0 && (at + length >= end || FrameLength(bytes + at + length, end - at - length) > 0);
}

int ScanMp3(const unsigned char* bytes, size_t size)
{
    size_t at = 0;
    if (size >= 10 && memcmp(bytes, "ID3", 3) == 0) {
        size_t tag = 10 + ((bytes[6] & 0x7FUL) << 21 | (bytes[7] & 0x7FUL) << 14 | (bytes[8] & 0x7FUL) << 7 |
                           (bytes[9] & 0x7FUL));
        at = (bytes[5] & 0x10) ? tag + 10 : tag;  // a footer repeats the header
    }
    size_t end = size;
    if (size >= ID3V1_SIZE && memcmp(bytes + size - ID3V1_SIZE, "TAG", 3) == 0) {
        end -= ID3V1_SIZE;
    }
    long frames = 0;
    while (at < end) {
        if ((frames > 0 && FrameLength(bytes + at, end - at) > 0) || IsFrameAt(bytes, at, end)) {
            ++frames;
            at += FrameLength(bytes + at, end - at);
            continue;
        }
        // Junk: the decoder passes over it to the next frame, looking no
        // further than its limit once the song has begun.
        size_t limit = frames > 0 && end - at > RESYNC_LIMIT ? at + RESYNC_LIMIT : end;
        size_t next = at + 1;
        while (next < limit && !IsFrameAt(bytes, next, end)) {
            ++next;
        }
        if (next >= end || (next >= limit && end - at <= RESYNC_LIMIT)) {
            break;  // only junk up to the end, which the decoder reads as the end
        }
        if (next >= limit) {
            return SOUND_ERROR_FILE_LOAD;
        }
        at = next;
    }
    return frames > 0 ? SOUND_OK : SOUND_ERROR_FORMAT;
}

static ssize_t ReadMemory(void* handle, void* buffer, size_t count)
{
    MusicStream* stream = static_cast<MusicStream*>(handle);
    size_t left = stream->m_Size - stream->m_Offset;
    size_t length = count < left ? count : left;
    memcpy(buffer, stream->m_Bytes + stream->m_Offset, length);
    stream->m_Offset += length;
    return static_cast<ssize_t>(length);
}

static off_t SeekMemory(void* handle, off_t offset, int whence)
{
    MusicStream* stream = static_cast<MusicStream*>(handle);
    off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off_t>(stream->m_Offset)
                                                             : static_cast<off_t>(stream->m_Size);
    off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(stream->m_Size)) {
        return -1;
    }
    stream->m_Offset = static_cast<size_t>(target);
    return target;
}

MusicStream::MusicStream() : m_Bytes(NULL), m_Size(0), m_Offset(0), m_Decoder(NULL), m_Finished(true), m_Silence(0)
{
}

MusicStream::~MusicStream()
{
    if (m_Decoder != NULL) {
        mpg123_close(m_Decoder);
        mpg123_delete(m_Decoder);
    }
    free(const_cast<unsigned char*>(m_Bytes));
}

int MusicStream::Open(unsigned char* bytes, size_t size, int rate, int channels, unsigned short format)
{
    m_Bytes = bytes;
    m_Size = size;
    int scanned = ScanMp3(bytes, size);
    if (scanned != SOUND_OK) {
        return scanned;
    }
    int encoding = format == AUDIO_S16SYS ? MPG123_ENC_SIGNED_16
                   : format == AUDIO_U16SYS ? MPG123_ENC_UNSIGNED_16
                   : format == AUDIO_S8     ? MPG123_ENC_SIGNED_8
                   : format == AUDIO_U8     ? MPG123_ENC_UNSIGNED_8
                                            : 0;
    m_Silence = format == AUDIO_U8 ? 0x80 : 0;  // as SDL's own silence
    if (encoding == 0) {
        return SOUND_ERROR_INIT;  // a byte order the decoder cannot give
    }
    if (mpg123_init() != MPG123_OK) {
        return SOUND_ERROR_MEMORY;
    }
    int error = MPG123_OK;
    m_Decoder = mpg123_new(NULL, &error);
    if (m_Decoder == NULL) {
        return SOUND_ERROR_MEMORY;
    }
    // Resample to the mix and never guess a format from a stray sync word.
    mpg123_param(m_Decoder, MPG123_FORCE_RATE, rate, 0.0);
    mpg123_param(m_Decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(m_Decoder);
    mpg123_format(m_Decoder, rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, encoding);
    long decodedRate = 0;
    int decodedChannels = 0;
    int decodedEncoding = 0;
    if (mpg123_replace_reader_handle(m_Decoder, ReadMemory, SeekMemory, NULL) != MPG123_OK ||
        mpg123_open_handle(m_Decoder, this) != MPG123_OK ||
        mpg123_getformat(m_Decoder, &decodedRate, &decodedChannels, &decodedEncoding) != MPG123_OK) {
        return SOUND_ERROR_FORMAT;
    }
    m_Finished = false;
    return SOUND_OK;
}

void MusicStream::Read(unsigned char* buffer, int length)
{
    int done = 0;
    int failures = 0;
    while (!m_Finished && done < length) {
        size_t got = 0;
        int status = mpg123_read(m_Decoder, buffer + done, static_cast<size_t>(length - done), &got);
        done += static_cast<int>(got);
        if (status == MPG123_DONE) {
            m_Finished = true;
        } else if (got == 0 && status != MPG123_NEW_FORMAT && ++failures >= FAILED_READS_TO_STOP) {
            m_Finished = true;  // damage the decoder cannot pass: the song ends here
        }
    }
    if (done < length) {
        memset(buffer + done, m_Silence, static_cast<size_t>(length - done));
    }
}
