// assetgen ROOT: writes the game's whole asset tree under ROOT (models/,
// images/, the effects and the music) and its desktop icon, the same bytes
// on every run.
#include <cstdio>
#include <sys/stat.h>

#include "AssetGen.h"

static bool MakeDirectory(const std::string& path)
{
    if (mkdir(path.c_str(), 0755) == 0) {
        return true;
    }
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return true;
    }
    perror(path.c_str());
    return false;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s ROOT\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    bool made = MakeDirectory(root) && MakeDirectory(root + "/models") && MakeDirectory(root + "/images") &&
                WritePictures(root) && WriteModels(root) && WriteEffects(root) && WriteMusic(root) && WriteIcon(root);
    return made ? 0 : 1;
}
