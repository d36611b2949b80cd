// MusicStream: an MP3 held whole in memory, checked by decoding its first
// playable frame and then decoded a little at a time as the mix asks for
// samples, so the game never holds the decoded song.
#ifndef SOUND_MUSIC_STREAM_H
#define SOUND_MUSIC_STREAM_H

#include <cstddef>

struct mpg123_handle_struct;

class MusicStream {
public:
    const unsigned char* m_Bytes;      // owned (malloc): the whole file
    size_t m_Size;
    size_t m_Offset;                   // the decoder's reading position
    mpg123_handle_struct* m_Decoder;   // owned
    bool m_Finished;                   // the song has played to its end
    unsigned char m_Silence;           // the byte of a silent sample in the mix

    MusicStream();
    ~MusicStream();

    // Takes the bytes (from malloc) and readies the decoder to give the
    // mix's rate and channel count in the SDL audio format given. Returns
    // SOUND_OK when the decoder can play at least one frame of the bytes,
    // SOUND_ERROR_FORMAT when it cannot, or another error code.
    int Open(unsigned char* bytes, size_t size, int rate, int channels, unsigned short format);

    // Fills the buffer with the next samples; silence after the end.
    void Read(unsigned char* buffer, int length);
    // The samples Read gives from now on, at percent of the song's own
    // volume (0 to 100; 0 is silence). Needs an open stream.
    void SetVolume(int percent);

private:
    // Opens the decoder on the bytes from their start.
    bool Rewind();
    // Whether a frame decodes to sound before the decoder meets the end
    // of the bytes or gives up on them.
    bool DecodesAFrame();

    MusicStream(const MusicStream&);
    MusicStream& operator=(const MusicStream&);
};

#endif
