// The two entry points of OpenGL's multitexture extension, looked up once at
// start-up. Without them the game cannot draw its ground and ends.
#ifndef TERRAIN_MULTITEXTURE_H
#define TERRAIN_MULTITEXTURE_H

// Checks that the current context has multitexturing, then looks up
// glActiveTextureARB and glClientActiveTextureARB; if the context lacks it
// or either entry point is missing, shows "Multitexture Extensions not
// present" and ends with -1. Needs the current OpenGL context.
void LoadMultitextureExtensions();
// The same, judging the context by the given version and extension strings
// (as glGetString returns them; NULL counts as missing).
void LoadMultitextureExtensions(const char* version, const char* extensions);

// Whether a context of this version and extension list has multitexturing:
// OpenGL 1.3 or later, or GL_ARB_multitexture among the extensions.
bool HasMultitexture(const char* version, const char* extensions);

// Selects the texture unit that texture state calls affect.
void ActiveTexture(unsigned int unit);
// Selects the unit that texture-coordinate array calls affect.
void ClientActiveTexture(unsigned int unit);

#endif
