// Texture: one OpenGL 2D texture made from one image file, with a full
// mipmap chain, trilinear minification and repeating wrap. Textures are not
// shared by file name: every construction reads the file and makes a new
// texture. A registry in Texture.cpp, keyed by OpenGL id, holds every texture
// made; ListTextures and FindTexture read it.
//
// Pictures whose pixels are not 3 bytes are converted to blue-green-red
// before upload; a picture that cannot be loaded becomes a 1 x 1 magenta
// placeholder, so what is missing shows on screen.
#ifndef ASSETS_TEXTURE_H
#define ASSETS_TEXTURE_H

static const int TEXTURE_NAME_SIZE = 400;

class Image;
struct SDL_Surface;

// The blue-green-red pixels a texture is built from, worked out without
// OpenGL: the picture's own rows when they are already 3-byte pixels padded
// to 4-byte rows (as OpenGL unpacks them), else a converted copy, else the
// 1 x 1 magenta placeholder (also for a picture with no pixels). Borrows from the image, which must outlive it.
class TexturePixels {
public:
    int m_Width;
    int m_Height;
    unsigned char* m_Pixels;     // width x height pixels in rows padded to 4 bytes
    SDL_Surface* m_Converted;    // owned; NULL unless the picture was converted

    TexturePixels(const Image& image, const char* path);
    ~TexturePixels();

private:
    TexturePixels(const TexturePixels&);
    TexturePixels& operator=(const TexturePixels&);
};

class Texture {
public:
    unsigned int m_Id;          // the OpenGL texture name
    int m_Height;
    int m_Width;
    char* m_Name;               // owned, TEXTURE_NAME_SIZE bytes: the file path
    unsigned char* m_Pixels;    // only while the texture is being built

    // Builds the texture from the file and registers it. Needs a current
    // OpenGL context.
    explicit Texture(const char* path);
    ~Texture();

    // Binds the texture to GL_TEXTURE_2D and enables 2D texturing.
    void Bind() const;

private:
    Texture(const Texture&);
    Texture& operator=(const Texture&);
};

// Writes "Texture id %d bound to %s" to the log for every registry entry, in
// ascending id order. An entry whose texture was destroyed is listed as
// "Texture id %d bound to nothing".
void ListTextures();

// The registry's entry for an id: the texture, or NULL.
const Texture* FindTexture(unsigned int id);

#endif
