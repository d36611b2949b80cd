// MusicStream: an MP3 held whole in memory, checked by a scan of its frame
// headers and decoded a little at a time as the mix asks for samples, so
// the game never holds the decoded song.
#ifndef SOUND_MUSIC_STREAM_H
#define SOUND_MUSIC_STREAM_H

#include <cstddef>

struct mpg123_handle_struct;

// Walks the MPEG audio frames from the first to the last, as the decoder will
// meet them: an ID3v2 tag may come first and an ID3v1 tag last, and junk
// between frames is passed over when a frame follows within the decoder's
// resync limit. Returns SOUND_OK, SOUND_ERROR_FORMAT when no frame is found
// at all, or SOUND_ERROR_FILE_LOAD when frames are found but the decoder
// would give up partway. Damage inside a frame is not seen (the decoder
// skips it while playing).
int ScanMp3(const unsigned char* bytes, size_t size);

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

    // Takes the bytes (from malloc), scans them and readies the decoder to
    // give the mix's rate and channel count in the SDL audio format given.
    // Returns SOUND_OK or an error code.
    int Open(unsigned char* bytes, size_t size, int rate, int channels, unsigned short format);

    // Fills the buffer with the next samples; silence after the end.
    void Read(unsigned char* buffer, int length);

private:
    MusicStream(const MusicStream&);
    MusicStream& operator=(const MusicStream&);
};

#endif
