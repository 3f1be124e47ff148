// daviz_assets: writes the game's board bitmaps and cue waves, the About emblem and the icon.
//   daviz_assets <data-dir> <res-dir>

#include "BoardArt.h"
#include "DataFiles.h"
#include "EmblemArt.h"
#include "FileFormats.h"
#include "IconFiles.h"
#include "SoundCues.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace
{

bool Write(const std::string& dir, const char* name, const Bytes& bytes)
{
    const std::string path = dir + "/" + name;
    if (!WriteFileBytes(path, bytes))
    {
        std::fprintf(stderr, "daviz_assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WriteData(const std::string& dir)
{
    static_assert(kTileSlotCount == kTileCount);
    bool ok = true;
    // The plain set and one drawn at twice the pixels for screens that have them.
    for (const int scale : {1, 2})
    {
        const char* const* names = scale == 1 ? kImageFiles : kImageFiles2x;
        const BoardPictures board = PaintBoard(scale);
        ok = ok && Write(dir, names[kTileCount], EncodeBmp(board.cellMap));
        for (int slot = 0; slot < kTileSlotCount; ++slot)
        {
            ok = ok && Write(dir, names[slot], EncodeBmp(board.tiles[std::size_t(slot)]));
        }
    }
    // In the order of the names.
    const Cue cues[kCueFileCount] = {Cue::Select, Cue::Remove, Cue::Empty, Cue::GameOver};
    for (int i = 0; i < kCueFileCount; ++i)
    {
        ok = ok && Write(dir, kCueFiles[i], EncodeWav(SynthesizeCue(cues[i]), kCueSampleRate));
    }
    return ok;
}

bool WriteResources(const std::string& dir)
{
    const bool ok = Write(dir, "emblem.bmp", EncodeBmp(PaintEmblem()));
    return WriteIconFiles(dir) && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: daviz_assets <data-dir> <res-dir>\n");
        return 2;
    }
    for (int i = 1; i <= 2; ++i)
    {
        std::error_code ec;
        if (!std::filesystem::is_directory(argv[i], ec))
        {
            std::fprintf(stderr, "daviz_assets: %s is not a folder\n", argv[i]);
            return 1;
        }
    }
    const bool ok = WriteData(argv[1]) && WriteResources(argv[2]);
    return ok ? 0 : 1;
}
