// Music and sound effects. The music starts once at the end of start-up and
// plays through to its end; each effect request starts a new playback of the
// whole file on a free channel, overlapping the others and the music. The
// error codes and texts are the game's own (see ErrorText).
#ifndef SOUND_SOUND_H
#define SOUND_SOUND_H

// Error codes of the sound layer.
enum SoundError {
    SOUND_OK = 0,
    SOUND_ERROR_INIT = 3,            // "Error initializing output device."
    SOUND_ERROR_PLAY = 5,            // "Playing the sound failed."
    SOUND_ERROR_FILE_NOT_FOUND = 9,
    SOUND_ERROR_FORMAT = 10,         // "Unknown file format"
    SOUND_ERROR_FILE_LOAD = 11,      // "Error loading file"
    SOUND_ERROR_MEMORY = 12,
    SOUND_ERROR_CHANNEL_ALLOC = 17   // "Failed to allocate a new channel"
};

// Checks the mixer library's version, opens a 44100 Hz mix with 32 channels,
// prints "Loading the song..." and an empty line, reads "techno.mp3" into
// memory, checks its frames and starts it, decoded as it plays. Any failure
// prints its text on standard output and ends the process with status 1.
// The music plays at musicPercent of its full volume, every effect at
// effectsPercent (0 is silent).
void StartMusic(int musicPercent = 100, int effectsPercent = 100);

// Sets the music's and the effects' volumes, heard from the next sound
// buffer on. Does nothing before StartMusic.
void SetVolumes(int musicPercent, int effectsPercent);

// Starts one playback of the sound file (WAV). A file that cannot be loaded
// or played plays nothing, silently. Requires StartMusic to have run.
void PlayEffect(const char* fileName);

// The text for an error code; "Unknown error" for codes outside 0..19.
const char* ErrorText(int code);

#endif
