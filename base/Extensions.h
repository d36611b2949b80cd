// The entry points the drawing takes from OpenGL beyond 1.1, looked up once
// at start-up: multitexturing, without which the game cannot draw its
// ground and ends, and buffer objects (OpenGL 1.5), without which the ground
// is drawn from client arrays and the models vertex by vertex.
#ifndef BASE_EXTENSIONS_H
#define BASE_EXTENSIONS_H

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

// Whether a context of this version and extension list has buffer objects:
// OpenGL 1.5 or later, or GL_ARB_vertex_buffer_object.
bool HasBufferObjects(const char* version, const char* extensions);
// Whether the current context's buffer-object entry points were found by
// LoadMultitextureExtensions.
bool BufferObjectsLoaded();

// Selects the texture unit that texture state calls affect.
void ActiveTexture(unsigned int unit);
// Selects the unit that texture-coordinate array calls affect.
void ClientActiveTexture(unsigned int unit);

// The buffer-object calls (ARB names and tokens are those of OpenGL 1.5).
void GenBuffers(int count, unsigned int* outNames);
void BindBuffer(unsigned int target, unsigned int buffer);
void BufferData(unsigned int target, long size, const void* data, unsigned int usage);
void GetBufferSubData(unsigned int target, long offset, long size, void* outData);
void DeleteBuffers(int count, const unsigned int* names);

#endif
