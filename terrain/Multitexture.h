// The two entry points of OpenGL's multitexture extension, looked up once at
// start-up. Without them the game cannot draw its ground and ends.
#ifndef TERRAIN_MULTITEXTURE_H
#define TERRAIN_MULTITEXTURE_H

// Looks up glActiveTextureARB, then glClientActiveTextureARB; if either is
// missing, shows "Multitexture Extensions not present" and ends with -1.
// Needs the current OpenGL context.
void LoadMultitextureExtensions();

// Selects the texture unit that texture state calls affect.
void ActiveTexture(unsigned int unit);
// Selects the unit that texture-coordinate array calls affect.
void ClientActiveTexture(unsigned int unit);

#endif
