// Starts the real game in-process as its entry point does (the heap's
// settings, SDL, the game's Init), for the programs that then drive its
// frames themselves: the benchmark, the soak and the screenshot program.
#ifndef TESTS_SUPPORT_START_GAME_H
#define TESTS_SUPPORT_START_GAME_H

class Game;

// The started game, or NULL (with SDL's reason on standard error) when SDL
// cannot start. Run from the directory holding the assets. A level seed of 0
// is the game's own (the time in seconds).
Game* StartGame(unsigned int levelSeed = 0);

#endif
