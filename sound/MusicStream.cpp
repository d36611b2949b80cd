// The music decoded as it plays, from the file's bytes in memory.
#include "sound/MusicStream.h"

#include <SDL/SDL.h>
#include <cstdlib>
#include <cstring>
#include <mpg123.h>
#include <sys/types.h>

#include "sound/Sound.h"

// Reads that give nothing before the decoder is taken to have given up.
static const int FAILED_READS_TO_STOP = 8;

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
    // Resample to the mix.
    mpg123_param(m_Decoder, MPG123_FORCE_RATE, rate, 0.0);
    mpg123_param(m_Decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(m_Decoder);
    mpg123_format(m_Decoder, rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, encoding);
    if (mpg123_replace_reader_handle(m_Decoder, ReadMemory, SeekMemory, NULL) != MPG123_OK) {
        return SOUND_ERROR_MEMORY;
    }
    // The decoder is the judge: a file plays when it decodes at least one
    // frame of it. Then it starts again from the first byte.
    if (!Rewind() || !DecodesAFrame() || !Rewind()) {
        return SOUND_ERROR_FORMAT;
    }
    long decodedRate = 0;
    int decodedChannels = 0;
    int decodedEncoding = 0;
    if (mpg123_getformat(m_Decoder, &decodedRate, &decodedChannels, &decodedEncoding) != MPG123_OK) {
        return SOUND_ERROR_FORMAT;
    }
    m_Finished = false;
    return SOUND_OK;
}

bool MusicStream::Rewind()
{
    mpg123_close(m_Decoder);
    m_Offset = 0;
    return mpg123_open_handle(m_Decoder, this) == MPG123_OK;
}

bool MusicStream::DecodesAFrame()
{
    // Each call parses the next frame, passing over junk as the decoder
    // does in play; the end of the data, or junk it gives up on, ends it.
    // Every frame takes at least its 4-byte header, which bounds the calls.
    for (size_t calls = 0; calls <= m_Size / 4 + 16; ++calls) {
        int status = mpg123_framebyframe_next(m_Decoder);
        if (status == MPG123_DONE || status == MPG123_ERR) {
            return false;
        }
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) {
            continue;
        }
        off_t frame = 0;
        unsigned char* audio = NULL;
        size_t bytes = 0;
        if (mpg123_framebyframe_decode(m_Decoder, &frame, &audio, &bytes) == MPG123_OK && bytes > 0) {
            return true;
        }
    }
    return false;
}

void MusicStream::SetVolume(int percent)
{
    mpg123_volume(m_Decoder, percent / 100.0);
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
